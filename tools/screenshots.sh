#!/usr/bin/env bash
# Remakes every picture in docs/screenshots/ under a virtual display (Xvfb): each window of
# both programs, and Calc filled by a capture. Builds what it needs first; needs LibreOffice.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/install-deps.sh
tools/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DDEVELOPER_TOOLS=ON

bin="$top/build/release"
shots="$top/docs/screenshots"
mkdir -p "$shots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every program gets a display of its own; the emulator run needs a wider one for its two
# windows beside Calc.
on_display() {
  local size=$1
  shift
  xvfb-run -a -s "-screen 0 ${size}x24" "$@"
}

# A plain window manager around a command, for pictures that show window titles.
with_window_manager='
  twm -f "$0" &
  manager=$!
  "$@"
  status=$?
  kill "$manager"
  exit "$status"'

for program in convert_window_screenshots com_select_window_screenshots download_window_screenshots \
  main_window_screenshots front_panel_screenshots emulator_window_screenshots; do
  echo "== $program"
  on_display 1280x800 "$bin/tools/screenshots/$program" "$shots"
done
echo "== tabwright_main_window_screenshots (with a window manager, for Calc's titles)"
on_display 1280x800 sh -c "$with_window_manager" "$top/tools/screenshots/twmrc" \
  "$bin/tools/screenshots/tabwright_main_window_screenshots" "$shots"
echo "== tabwright_dialog_screenshots (with a window manager, for the dialogs' titles)"
on_display 1280x800 sh -c "$with_window_manager" "$top/tools/screenshots/twmrc" \
  "$bin/tools/screenshots/tabwright_dialog_screenshots" "$shots"
echo "== front_panel_screenshots at 200 %"
QT_SCALE_FACTOR=2 on_display 1280x800 "$bin/tools/screenshots/front_panel_screenshots" "$shots"
echo "== tabwright_emulator_run_screenshots"
on_display 1600x900 "$bin/tools/screenshots/tabwright_emulator_run_screenshots" "$shots"
echo "== readings_chart_screenshots (with a window manager, for the windows' titles)"
on_display 1600x1000 sh -c "$with_window_manager" "$top/tools/screenshots/twmrc" \
  "$bin/tools/screenshots/readings_chart_screenshots" "$shots" "$top/data/samples"
echo "== tabwright_rebuild_screenshots"
on_display 1400x900 "$bin/tools/screenshots/tabwright_rebuild_screenshots" "$shots"

# Calc filled as a capture fills it, after the end-of-run macro, and asking to save. The
# showcase takes the template from the current folder.
echo "== calc_showcase"
(cd data && on_display 1280x800 "$bin/tools/screenshots/calc_showcase" "$bin/tools/screenshots/grab_screen $shots/%s.png")

# A command-line capture's workbook opened in Calc, as a user opens it. It is saved as .xlsx,
# which keeps the chart but not the template's Basic, so Calc opens it without a macro warning.
echo "== tabwright capture into Calc, opened afterwards"
(cd "$work" && "$bin/tabwright/tabwright" capture --emulate K7RX --seconds 8 --measurement 10:90 \
  --temperature 20:25 --output demo.xlsx --macro ChartReadings)
# Calc started on the workbook, as a user opens it, with a profile of its own; its first start in
# a fresh profile takes a while, so the picture is taken after 20 s.
# Its temporary files go into the work folder; the pipe it makes in /tmp is removed after it.
show_workbook='
  pipes_before=$(ls /tmp/OSL_PIPE_* 2>/dev/null || true)
  TMPDIR="$1" setsid soffice "-env:UserInstallation=file://$1/profile" --norestore --nologo --calc "$1/demo.xlsx" &
  office=$!
  sleep 20
  "$2" "$3"
  kill -- "-$office"
  wait "$office" || true
  for pipe in /tmp/OSL_PIPE_*; do
    grep -qxF "$pipe" <<<"$pipes_before" || rm -f "$pipe"
  done'
on_display 1280x800 bash -c "$show_workbook" show_workbook "$work" "$bin/tools/screenshots/grab_screen" \
  "$shots/tabwright-capture-demo-calc.png"
echo "Pictures written to $shots"
