#!/usr/bin/env bash
# Builds everything and runs every test: installs what is missing, configures, builds, runs ctest.
#   scripts/test.sh             the normal build, in build/
#   scripts/test.sh --sanitize  the same under AddressSanitizer and UndefinedBehaviorSanitizer, in
#                               build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
options=(-DZK_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  options+=(-DZK_SANITIZE=ON)
  # Any report fails the test that caused it. fontconfig keeps its caches until exit on purpose.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
fi

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build" "${options[@]}"
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"
