#!/usr/bin/env bash
# Builds everything and runs every test: installs what is missing, configures, builds, runs ctest.
#   scripts/test.sh            the normal build, in build/
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DZK_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
