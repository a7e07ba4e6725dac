#!/usr/bin/env bash
# Configures the everyday build in build/ with the options that both README commands use, so
# that starting the window and running the tests share one set of objects.
#   scripts/configure.sh [CMAKE-OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."
# Optimised, with line tables only (-g1): backtraces and the sanitizers still name file and line,
# and the build takes a quarter less time than with full debugging information. A build for the
# debugger is one with -DCMAKE_BUILD_TYPE=Debug.
cmake -S . -B build -DZK_WERROR=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "$@"
