#!/usr/bin/env bash
# Installs what is needed, builds both programs and runs their main jobs: Logfetch converts
# every bundled sample data log into its .PRN report and .CSV table, Tabwright captures a few
# seconds from its emulated K7RX into a Calc workbook (headless Calc without a display) and
# into a CSV file. Where a display exists it then opens Tabwright's window.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/install-deps.sh
# Only the two programs: the tests, benchmarks and developer tools wait for tools/test.sh.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DDEVELOPER_TOOLS=ON >/dev/null
cmake --build build/release --target tabwright logfetch

logfetch="$top/build/release/logfetch/logfetch"
tabwright="$top/build/release/tabwright/tabwright"
out="$top/out"
mkdir -p "$out/samples"

cp data/samples/*.bin "$out/samples/"
"$logfetch" convert "$out/samples"/*.bin
echo "Reports of the sample data logs written to $out/samples:"
ls -l "$out/samples"

# The capture runs with Calc headless even where a display exists: the demo only saves.
echo "Capturing 5 seconds from the emulated K7RX into $out/demo.ods through LibreOffice Calc ..."
(cd "$out" && env -u DISPLAY -u WAYLAND_DISPLAY "$tabwright" capture --emulate K7RX --seconds 5 \
  --output demo.ods)
echo "Capturing 5 seconds from the emulated K7RX into $out/demo.csv ..."
(cd "$out" && "$tabwright" capture --emulate K7RX --seconds 5 --output demo.csv)
echo "The captures went to $out/demo.ods and $out/demo.csv; the first lines of the CSV:"
head -n 3 "$out/demo.csv"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Opening Tabwright's window (\"Tools\" > \"Emulator\" feeds it without an instrument; close it to finish)."
  "$tabwright"
else
  echo "No display: Tabwright's window opens with $tabwright where one exists."
fi
