#!/usr/bin/env bash
# Installs what is needed, checks that includes keep to the layers, then builds
# and runs the whole test suite twice: a release build with warnings as errors,
# followed by the static checks of tools/tidy.sh, and one with AddressSanitizer
# and UndefinedBehaviorSanitizer, where any report fails the run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== layers"
tools/check_layers.py

echo "== release build (warnings are errors)"
tools/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DWERROR=ON -DDEVELOPER_TOOLS=ON
ctest --test-dir build/release --output-on-failure -j "$jobs" --timeout 300

echo "== static checks (clang-tidy, include-what-you-use)"
tools/tidy.sh build/release

echo "== sanitizer build (address, undefined behaviour)"
tools/build.sh build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON -DBENCHMARKS=OFF
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$top/testing/lsan.supp"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs" --timeout 600
