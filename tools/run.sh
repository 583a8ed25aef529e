#!/usr/bin/env bash
# Installs what is needed, builds Logfetch and runs its main job: converting
# every bundled sample data log into its .PRN report and .CSV table.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/install-deps.sh
tools/build.sh build/release -DCMAKE_BUILD_TYPE=Release

out="$top/out/samples"
mkdir -p "$out"
cp data/samples/*.bin "$out/"
build/release/logfetch/logfetch convert "$out"/*.bin
echo "Reports written to $out:"
ls -l "$out"
