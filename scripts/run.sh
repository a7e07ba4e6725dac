#!/usr/bin/env bash
# Builds the programmer and starts its window from the repository's root, where "help.rtf" lies;
# "_qq.wav" and "9_fmsig.h" are written there too. Arguments go to the program ("xq" opens the
# diagnostic mode).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build
cmake --build build -j "$jobs" --target zk77q3-programmer
exec build/src/ui/zk77q3-programmer "$@"
