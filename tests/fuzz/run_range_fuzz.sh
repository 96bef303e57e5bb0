#!/usr/bin/env bash
# Builds the range fuzz targets with clang (once) and runs one of them a fixed number of times
# with a fixed seed, on a fresh copy of the seed corpus, so that every run does the same work.
# Usage: run_range_fuzz.sh HARNESS_DIR BUILD_DIR build
#        run_range_fuzz.sh HARNESS_DIR BUILD_DIR TARGET RUNS SEED SEED_CORPUS
set -euo pipefail
harness="$1" build="$2" target="$3"
if ! command -v clang++ >/dev/null; then
    echo "clang++ is not installed: fuzzing skipped"
    exit 77
fi
if [ "$target" = build ]; then
    cmake -S "$harness" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
    exec cmake --build "$build" -j2
fi
runs="$4" seed="$5" seeds="$6"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$seeds" "$work/corpus"
mkdir -p "$build/artifacts"
# Allocation stacks cost most of the time of these allocation-heavy targets; rerun a failing
# input without these options for a full report.
export ASAN_OPTIONS="malloc_context_size=0:quarantine_size_mb=16${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
status=0
"$build/fuzz_range_$target" "$work/corpus" -runs="$runs" -seed="$seed" -max_len=128 \
    -timeout=20 -rss_limit_mb=4096 -dict="$(dirname "$0")/range_expression.dict" \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 >"$work/log" 2>&1 || status=$?
if [ "$status" -eq 0 ]; then
    grep -E "^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)" "$work/log"
else
    tail -80 "$work/log"
    echo "the failing input is in $build/artifacts/"
fi
exit "$status"
