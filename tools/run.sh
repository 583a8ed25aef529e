#!/usr/bin/env bash
# Installs what is needed, builds Logfetch and runs its main job: converting
# every bundled sample data log into its .PRN report and .CSV table, then,
# where a display exists, opening Logfetch's window.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/install-deps.sh
tools/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DDEVELOPER_TOOLS=ON

out="$top/out/samples"
mkdir -p "$out"
cp data/samples/*.bin "$out/"
build/release/logfetch/logfetch convert "$out"/*.bin
echo "Reports written to $out:"
ls -l "$out"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Opening Logfetch's window (close it to finish)."
  build/release/logfetch/logfetch
else
  echo "No display: Logfetch's window opens with build/release/logfetch/logfetch where one exists."
fi
