#!/usr/bin/env bash
# Builds everything and runs every test: installs what is missing, configures, builds, runs ctest.
#   scripts/test.sh             the normal build, in build/
#   scripts/test.sh --sanitize  the same under AddressSanitizer and UndefinedBehaviorSanitizer, in
#                               build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=false
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=true
  # Any report fails the test that caused it. fontconfig keeps its caches until exit on purpose.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
fi

bash scripts/install-deps.sh test

jobs=$(nproc 2>/dev/null || echo 2)
if $sanitize; then
  build=build-sanitize
  cmake -S . -B "$build" -DZK_WERROR=ON -DZK_SANITIZE=ON
else
  build=build  # the same build as scripts/run.sh's, configured the same way
  bash scripts/configure.sh
fi
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"
