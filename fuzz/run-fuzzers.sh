#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# their own build folder, then runs each for a bounded time starting from its seed corpus in
# fuzz/corpus/<target>. Fails on the first crash, leak, time-out or broken invariant; the input
# that caused it is kept in <build>/artifacts/<target>/.
#
#   fuzz/run-fuzzers.sh [SECONDS] [TARGET...]      (default: 30 s each, every target)
#   KEYTONER_FUZZ_RUNS=N   stop a target after N executions if that comes first
#   KEYTONER_FUZZ_BUILD=D  build folder (default: build-fuzz beside fuzz/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
shift || true
build=${KEYTONER_FUZZ_BUILD:-$root/build-fuzz}
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
    targets=(frame_parser item_reader config_file image_decoder rtf_reader key_filters wav_reader)

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for target in "${targets[@]}"; do
    # New inputs go to a scratch corpus; the seeds in the repository stay as they are.
    work="$build/corpus/$target"
    artifacts="$build/artifacts/$target/"
    log="$build/logs/$target.log"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    limits=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
    [ -z "${KEYTONER_FUZZ_RUNS:-}" ] || limits+=(-runs="$KEYTONER_FUZZ_RUNS")
    if "$build/fuzz_$target" "${limits[@]}" -artifact_prefix="$artifacts" \
        "$work" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
        coverage=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
        echo "fuzz_$target: clean, ${runs:-?} executions, ${coverage:-no coverage line}"
    else
        echo "fuzz_$target: FAILED (log: $log; inputs: $artifacts)" >&2
        grep -E 'ERROR|invariant|SUMMARY|runtime error' "$log" | head -n 5 >&2 || true
        status=1
    fi
done
exit $status
