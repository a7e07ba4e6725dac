#!/usr/bin/env bash
# Configures the everyday build in build/ with the options that both README commands use, so
# that starting the window and running the tests share one set of objects.
#   scripts/configure.sh [CMAKE-OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DZK_WERROR=ON "$@"
