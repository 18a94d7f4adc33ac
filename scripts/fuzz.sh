#!/bin/bash
# Builds the libFuzzer tree (clang, ASan + UBSan) under build/fuzz and runs every fuzz target for
# the given seconds each (default 60), starting from its corpus in tests/fuzz/corpus/<target>.
# Inputs that add coverage are merged back into the corpus; crashes, hangs (over 1 s for one
# input) and runaway allocations of the last run are kept under build/fuzz/artifacts/<target>/.
#
#   scripts/fuzz.sh [seconds] [target...]
#
# Environment: FUZZ_JOBS fuzzers at once (default 2), FUZZ_BUILD_JOBS build jobs (default 3),
# FUZZ_NICE niceness of the fuzzers (default 19), FUZZ_TIMEOUT seconds one input may take before it
# counts as a hang (default 1; raise it only where a loaded machine makes 1 s meaningless).
set -euo pipefail

seconds=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
corpora=$root/tests/fuzz/corpus
jobs=${FUZZ_JOBS:-2}
nice=${FUZZ_NICE:-19}
timeout=${FUZZ_TIMEOUT:-1}

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for src in "$root"/tests/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$src" .cpp)")
    done
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDORRIK_FUZZ=ON -DDORRIK_SANITIZE=ON -DDORRIK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"${FUZZ_BUILD_JOBS:-3}" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_one() {
    local target=$1
    local work=$build/fuzzwork/$target
    local artifacts=$build/artifacts/$target/
    rm -rf "$work" "$artifacts"
    mkdir -p "$work/new" "$artifacts" "$corpora/$target"
    local start=$SECONDS
    # New inputs land in the scratch folder; the corpus is only read while fuzzing.
    nice -n "$nice" "$build/tests/$target" "$work/new" "$corpora/$target" \
        -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -malloc_limit_mb=1024 \
        -max_len=1024 -print_final_stats=1 -artifact_prefix="$artifacts" \
        >"$work/log" 2>&1 || true
    local took=$((SECONDS - start))
    # Only inputs that add coverage join the corpus, so it stays small. The merge's first input
    # also pays for the process start, hence its longer time-out.
    (cd "$work" && nice -n "$nice" "$build/tests/$target" -merge=1 "$corpora/$target" "$work/new" \
        -timeout=30 -rss_limit_mb=2048 -malloc_limit_mb=1024 -max_len=1024 \
        >"$work/merge.log" 2>&1) || echo "$target: merge failed, see $work/merge.log" >&2
    local runs cov ft crashes files
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$work/log" | tail -n 1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$work/log" | tail -n 1 | cut -d' ' -f2)
    crashes=$(find "$artifacts" -type f \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' \
        -o -name 'leak-*' \) | wc -l)
    files=$(find "$corpora/$target" -type f | wc -l)
    echo "$target: runs ${runs:-0}, cov ${cov:-?}, ft ${ft:-?}, corpus $files files," \
        "crashes $crashes, ${took} s (log: $work/log)"
}

export -f run_one
export build corpora seconds nice timeout
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}'
