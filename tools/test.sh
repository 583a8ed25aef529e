#!/usr/bin/env bash
# Installs what is needed, checks that includes keep to the layers, then builds
# and runs the whole test suite twice: a release build with warnings as errors,
# and one with AddressSanitizer and UndefinedBehaviorSanitizer, where any report
# fails the run. Between the two, the fault table against the release programs
# and the static checks of tools/tidy.sh; last, every fuzz target for 20 s. Each
# stage's time is printed at the end. QUICK=1 stops after the release tests.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
tools/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

stages=()
stage_began=$SECONDS
stage_done() {
  stages+=("$(printf '%-40s %4d s' "$1" $((SECONDS - stage_began)))")
  stage_began=$SECONDS
}

echo "== layers"
tools/check_layers.py
stage_done "layers"

echo "== release build (warnings are errors)"
tools/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DWERROR=ON -DDEVELOPER_TOOLS=ON
ctest --test-dir build/release --output-on-failure -j "$jobs" --timeout 300
stage_done "release build and tests"

if [ "${QUICK:-0}" = 1 ]; then
  printf '%s\n' "${stages[@]}"
  exit 0
fi

# The fault table, the static checks and the fuzz smoke run whatever the other stages
# gave; the run fails at the end when one of them did.
failed=()
echo "== fault table (release programs)"
tools/faults.sh build/release || failed+=("fault table")
stage_done "fault table"

echo "== static checks (clang-tidy, include-what-you-use)"
tools/tidy.sh build/release || failed+=("static checks")
stage_done "static checks"

echo "== sanitizer build (address, undefined behaviour)"
# -O1 and line tables only: what the sanitizers need for their reports (file and line in each
# frame), with less to compile than full optimisation and full debug information.
tools/build.sh build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" \
  -DSANITIZE=ON -DBENCHMARKS=OFF
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$top/testing/lsan.supp"
ctest --test-dir build/sanitize --output-on-failure -j "$jobs" --timeout 600
stage_done "sanitizer build and tests"

echo "== fuzz smoke (20 s a target)"
tools/fuzz.sh 20 || failed+=("fuzz smoke")
stage_done "fuzz build and smoke"

echo "== times"
printf '%s\n' "${stages[@]}"
echo "total: $SECONDS s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
