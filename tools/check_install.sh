#!/usr/bin/env bash
# tools/check_install.sh BUILD_DIR: installs the build into a scratch root under /usr, as the
# Debian packages place it, and checks what was installed: every file in its place, the desktop
# entries valid, the manual pages shown without a warning, and both installed programs doing
# their command-line jobs from a folder of their own, with the sample logs they ship.
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"

for file in bin/tabwright bin/logfetch share/tabwright/spreadsheet.ods \
  share/applications/tabwright.desktop share/applications/logfetch.desktop \
  share/man/man1/tabwright.1.gz share/man/man1/logfetch.1.gz \
  share/doc/tabwright/copyright share/doc/logfetch/copyright \
  share/logfetch/samples/worked-example.bin share/logfetch/samples/expected/WORKED-EXAMPLE.PRN; do
  [ -f "$usr/$file" ] || fail "$file is not installed"
done
for program in tabwright logfetch; do
  [ -f "$usr/share/icons/hicolor/scalable/apps/$program.svg" ] || fail "the SVG icon of $program is not installed"
  for size in 16 22 24 32 48 64 128 256; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/$program.png"
    if [ ! -f "$png" ]; then
      fail "the ${size}x${size} icon of $program is not installed"
    elif ! file "$png" | grep -q "PNG image data, $size x $size"; then
      fail "the ${size}x${size} icon of $program is $(file -b "$png")"
    fi
  done
  desktop-file-validate "$usr/share/applications/$program.desktop" || fail "$program.desktop is not valid"
  grep -qx "Exec=$program" "$usr/share/applications/$program.desktop" || fail "$program.desktop does not start $program"
  warnings=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$program.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $program warns: $warnings"
done

# The installed programs, started from a folder of the user's own, not from the build tree,
# by a user of the scratch root's own: their journals and settings stay out of this user's.
work="$scratch/work"
mkdir -p "$work" "$scratch/home"
export HOME="$scratch/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME
cd "$work"
cp "$usr/share/logfetch/samples/"*.bin .
"$usr/bin/logfetch" convert ./*.bin >/dev/null || fail "the installed logfetch did not convert the samples"
for report in "$usr/share/logfetch/samples/expected/"*; do
  cmp -s "$report" "$(basename "$report")" || fail "$(basename "$report") differs from the shipped report"
done
"$usr/bin/tabwright" capture --emulate K7RX --seconds 1 --output run.csv >/dev/null 2>&1 ||
  fail "the installed tabwright did not capture into a CSV file"
grep -q "0000" run.csv || fail "the installed tabwright's capture holds no K7RX line"

[ "$failures" -eq 0 ] && echo "The installed files and programs are as they should be."
exit $((failures > 0))
