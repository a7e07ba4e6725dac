#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ (Release) and runs both sets: the output action against
# its in-process baseline, then zk77q3 generate against sox as whole processes.
#   bench/run.sh                 both sets
#   bench/run.sh ARGS...         ARGS go to zk_output_bench (e.g. --benchmark_filter=Table)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh bench

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_BENCH=ON -DZK_WERROR=ON \
  -DZK_BUILD_TESTS=OFF
cmake --build build-bench -j "$jobs" --target zk_output_bench zk77q3

# Disk waits make single runs of the file writers vary: repetitions in random order, medians.
build-bench/bench/zk_output_bench --benchmark_repetitions=10 \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true "$@"
echo
bench/process_bench.sh
