#!/usr/bin/env bash
# tools/fuzz.sh [SECONDS]: builds the libFuzzer targets with clang into build/fuzz and runs
# each for SECONDS (default 60) on its seeds kept in the repository. What a run finds new
# stays in build/fuzz/corpus/TARGET for the next run; a crash leaves its input in
# build/fuzz/crashes/ and makes the script fail. Prints one line per target.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
seconds=${1:-60}
case "$seconds" in '' | *[!0-9]*) echo "usage: tools/fuzz.sh [SECONDS]" >&2; exit 2 ;; esac
tools/install-deps.sh

# Absolute paths: a target may change its working folder.
build=$top/build/fuzz
# TARGET|PROGRAM|SEED FOLDER|libFuzzer options
targets=(
  "convert_fuzzer|logfetch/convert/convert_fuzzer|data/samples|-max_len=4096"
  "transfer_fuzzer|logfetch/download/transfer_fuzzer|$build/seeds/transfer|-max_len=12000"
  "capture_parse_fuzzer|tabwright/capture/capture_parse_fuzzer|tabwright/capture/fuzz_seeds/capture_parse|-entropic=0 -max_len=8192"
  "capture_options_fuzzer|tabwright/cli/capture_options_fuzzer|tabwright/cli/fuzz_seeds/capture_options|-max_len=512"
  "download_options_fuzzer|logfetch/cli/download_options_fuzzer|logfetch/cli/fuzz_seeds/download_options|-max_len=512"
  "port_mapping_fuzzer|serial/port_mapping_fuzzer|serial/fuzz_seeds/port_mapping|-max_len=2048"
  "journal_reads_fuzzer|tabwright/capture/journal_reads_fuzzer|tabwright/capture/fuzz_seeds/journal_reads|-max_len=4096"
)

names=(make_transfer_seeds)
for target in "${targets[@]}"; do names+=("${target%%|*}"); done
echo "== fuzz build (clang, libFuzzer, address and undefined behaviour sanitizers)"
cmake -S . -B "$build" -G Ninja -DFUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBENCHMARKS=OFF -DDEVELOPER_TOOLS=ON >/dev/null
cmake --build "$build" --target "${names[@]}"
mkdir -p "$build/seeds/transfer" "$build/crashes"
"$build/tools/generators/make_transfer_seeds" "$build/seeds/transfer" >/dev/null

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$top/testing/lsan.supp"
export QT_QPA_PLATFORM=offscreen

failed=0
summary=()
for target in "${targets[@]}"; do
  IFS='|' read -r name program seeds options <<<"$target"
  [[ "$seeds" = /* ]] || seeds="$top/$seeds"
  corpus="$build/corpus/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus" "$(dirname "$log")"
  echo "== $name: $seconds s"
  # The outer limit only guards against a fuzzer that stops answering.
  status=0
  # shellcheck disable=SC2086  # the options are words
  timeout --kill-after=10 $((seconds + 120)) "$build/$program" $options -max_total_time="$seconds" \
    -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" \
    "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$status" -eq 0 ]; then
    summary+=("$(printf '%-24s passed   %10s inputs, corpus %s files' "$name" "${runs:-?}" "$(find "$corpus" -type f | wc -l)")")
  else
    failed=1
    summary+=("$(printf '%-24s FAILED   exit %s; see %s and %s' "$name" "$status" "$log" "$build/crashes/")")
    tail -40 "$log"
  fi
done

echo "== fuzzing, $seconds s a target"
printf '%s\n' "${summary[@]}"
exit "$failed"
