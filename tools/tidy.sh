#!/usr/bin/env bash
# tools/tidy.sh BUILD_DIR: static checks on all processors, every finding an error.
#  - clang-tidy (the checks of .clang-tidy) over the product code of both programs:
#    every source in common/, serial/, logfetch/ and tabwright/, windows included;
#    tests, benchmarks, fuzzers and the test helpers are left out (about 120 more
#    files, slow to check for the test framework's macros).
#  - include-what-you-use over the folders of plain C++: each file includes
#    what it uses and nothing else. Its mappings for Qt (written for Qt 5)
#    name headers Qt 6 code does not use, so Qt code is left to the compiler.
# BUILD_DIR must hold compile_commands.json from a finished build.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
jobs=$(nproc)
plain=(logfetch/convert logfetch/ports tabwright/emulator)
product=(common serial logfetch tabwright)

# The sources under the given folders, without tests, benchmarks, fuzzers and test helpers.
sources_of() {
  (cd "$top" && find "$@" -name '*.cpp' ! -path '*/testing/*' \
    ! -name '*_test.cpp' ! -name '*_benchmark.cpp' ! -name '*_fuzzer.cpp' | sort | sed "s|^|$top/|")
}

mapfile -t sources < <(sources_of "${product[@]}")
echo "== clang-tidy over ${#sources[@]} files"
tidy_log="$build/clang-tidy.log"
printf '%s\n' "${sources[@]}" |
  xargs -P "$jobs" -n 4 clang-tidy -p "$build" --quiet --extra-arg=-Wno-unknown-warning-option \
    >"$tidy_log" 2>&1 || {
  grep -E 'warning:|error:' "$tidy_log" | sort -u
  echo "clang-tidy found the above (whole log: $tidy_log)" >&2
  exit 1
}

mapfile -t sources < <(sources_of "${plain[@]}")
echo "== include-what-you-use over ${#sources[@]} files"
iwyu_log="$build/include-what-you-use.log"
iwyu_tool -p "$build" -j "$jobs" "${sources[@]}" -- \
  -Xiwyu --mapping_file="$top/tools/iwyu.imp" -Xiwyu --no_fwd_decls -Xiwyu --cxx17ns \
  >"$iwyu_log" 2>&1 || true
# A clean file is "has correct #includes/fwd-decls"; any other verdict lists lines to add or remove.
changes=$(awk '/should (add|remove) these lines:/ {open = 1; header = $0; next}
               open && NF {if (header) print header; header = ""; print}
               !NF {open = 0}' "$iwyu_log")
if [ -n "$changes" ] || grep -q -E 'error:' "$iwyu_log"; then
  printf '%s\n' "$changes"
  grep -E 'error:' "$iwyu_log" || true
  echo "include-what-you-use wants the changes above (whole log: $iwyu_log)" >&2
  exit 1
fi
echo "tidy: no findings"
