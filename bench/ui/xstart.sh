#!/usr/bin/env bash
# Cold start of zk77q3-programmer (with --monitor: zk77q3-monitor) in a real X server (Xvfb)
# against a bare Qt window, both as fresh processes, in one run. Builds in build-bench/ unless
# BUILD names another folder.
#   bench/ui/xstart.sh [--runs=N] [--monitor] [--also=OTHER_BUILD]...
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_BENCH=ON -DZK_WERROR=ON \
  -DZK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target zk_ui_xstart_bench
# A screen larger than the window, as on a desktop; -a picks a free display.
exec xvfb-run -a -s "-screen 0 1400x1000x24" "$build/bench/ui/zk_ui_xstart_bench" "$@"
