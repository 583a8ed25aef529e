#!/usr/bin/env bash
# tools/build.sh DIR [cmake options...]: configures (once) and builds into DIR.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
