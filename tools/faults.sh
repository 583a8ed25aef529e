#!/usr/bin/env bash
# tools/faults.sh [BUILD] [CASE ...]: plays the faults a lab meets (pulled cables, a killed
# Calc, signals, full disks, a read-only program folder, bad input, shared ports) against
# the programs of BUILD (default build/release, built first when missing) and prints one
# table. Every case has a time limit; cases this machine cannot run say so. Fails when a
# case crashes, hangs, loses received bytes or ends without a clear message.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
build=${1:-build/release}
[ $# -gt 0 ] && shift
if [ ! -x "$build/tabwright/tabwright" ]; then
  tools/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DWERROR=ON -DDEVELOPER_TOOLS=ON
fi
export QT_QPA_PLATFORM=offscreen
# The whole table has an outer limit too, should a case's own limits fail.
timeout --kill-after=30 3600 python3 tools/figures/faults.py "$build" "$@"
