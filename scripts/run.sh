#!/usr/bin/env bash
# Builds the programmer and starts its window from the repository's root, where "help.rtf" lies;
# "_qq.wav" and "9_fmsig.h" are written there too. Arguments go to the program ("xq" opens the
# diagnostic mode).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run

jobs=$(nproc 2>/dev/null || echo 2)
bash scripts/configure.sh
cmake --build build -j "$jobs" --target zk77q3-programmer
exec build/src/ui/zk77q3-programmer "$@"
