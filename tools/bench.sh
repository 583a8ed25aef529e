#!/usr/bin/env bash
# tools/bench.sh [PART ...]: builds in release mode, runs every benchmark and the
# measurements of the built programs, and prints one table of figures, each with its goal
# and whether it is met; the same goes to build/release/figures/bench.json. Parts:
# conversion parsing calc download start-up captures long-capture chart (default: all).
# Figures only: nothing here fails on a slow machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/install-deps.sh
tools/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DWERROR=ON -DDEVELOPER_TOOLS=ON
mkdir -p build/release/figures
export QT_QPA_PLATFORM=offscreen
python3 tools/figures/bench.py build/release build/release/figures/bench.json "$@"
