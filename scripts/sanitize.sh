#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs the unit and view tests under them; the end-to-end tests
# stay with the normal build. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVARO_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
cd build-asan
export UBSAN_OPTIONS=print_stacktrace=1
# Each start of the kill test's helper costs far more under the sanitizers.
export KELVARO_KILL_LOOPS=${KELVARO_KILL_LOOPS:-100}
ctest --output-on-failure -j"$(nproc)" -E '^e2e\.' "$@"
