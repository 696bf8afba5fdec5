#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) into build-fuzz/
# and runs each for SECONDS (10 by default; CI runs them briefly). By hand, for
# a longer hunt:  bash scripts/fuzz.sh 600
# Prints the executions per target; a finding stops with its input saved in
# build-fuzz/findings/ and a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
bash scripts/deps.sh
cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
mkdir -p build-fuzz/findings
for target in ini command_line paths index; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    log=build-fuzz/$target.log
    # New inputs go into the first folder (the build tree), never into the seeds.
    if ! "build-fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/findings/"$target"- "$corpus" "fuzz/seeds/$target" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "fuzz_$target: FINDING (input in build-fuzz/findings/)" >&2
        exit 1
    fi
    runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    echo "fuzz_$target: $runs executions in ${seconds}s, nothing found"
done
