#!/usr/bin/env bash
# Builds every program and page that the README names (the window, the command line with the
# library its verify and listen open, the monitor window, the manual page) and starts the window
# from the repository's root, where "help.rtf" lies; "_qq.wav" and "9_fmsig.h" are written there
# too. Arguments go to the program ("xq" opens the diagnostic mode).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run

jobs=$(nproc 2>/dev/null || echo 2)
bash scripts/configure.sh
# The first command a newcomer runs: everything the README then tells them to start is built here,
# not only the window (the tests and the fuzzers stay for scripts/test.sh).
cmake --build build -j "$jobs" --target zk77q3-programmer zk77q3 zk77q3-receive zk77q3-monitor \
  zk77q3_man
exec build/src/ui/zk77q3-programmer "$@"
