#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, view and
# end-to-end). Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
