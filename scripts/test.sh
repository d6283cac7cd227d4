#!/usr/bin/env bash
# Builds everything and runs every test. `scripts/test.sh asan` does the same in the
# AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}

scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)" --timeout 300
