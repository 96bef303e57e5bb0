#!/usr/bin/env bash
# Builds the range-expression fuzz target with clang and runs it for a bounded time.
# Usage: run_range_fuzz.sh HARNESS_DIR BUILD_DIR SECONDS SEED_CORPUS
set -euo pipefail
harness="$1" build="$2" seconds="$3" seeds="$4"
if ! command -v clang++ >/dev/null; then
    echo "clang++ is not installed: fuzzing skipped"
    exit 77
fi
cmake -S "$harness" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" >/dev/null
mkdir -p "$build/corpus" "$build/artifacts"
# New inputs go to the first (work) corpus; the seeds stay untouched.
status=0
"$build/fuzz_range_expression" "$build/corpus" "$seeds" \
    -max_total_time="$seconds" -max_len=128 -timeout=20 -rss_limit_mb=4096 \
    -dict="$(dirname "$0")/range_expression.dict" -artifact_prefix="$build/artifacts/" \
    -print_final_stats=1 >"$build/fuzz.log" 2>&1 || status=$?
if [ "$status" -eq 0 ]; then
    tail -6 "$build/fuzz.log"
else
    tail -80 "$build/fuzz.log"
    echo "the failing input is in $build/artifacts/"
fi
exit "$status"
