#!/usr/bin/env bash
# Builds everything and runs every test: installs what is missing, configures, builds, runs ctest.
#   scripts/test.sh             the normal build, in build/
#   scripts/test.sh --sanitize  the same built by clang under AddressSanitizer and
#                               UndefinedBehaviorSanitizer, in build-sanitize/, with the libFuzzer
#                               targets, each of which replays its corpus under ctest
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
  # -O1 and line tables only: the sanitizers' reports keep their file:line, the build takes less
  # time than the everyday one.
  cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZK_WERROR=ON \
    -DZK_FUZZ=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG"
else
  build=build  # the same build as scripts/run.sh's, configured the same way
  bash scripts/configure.sh
fi
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"
