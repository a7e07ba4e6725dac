#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ (Release) and runs them, each beside its baseline measured
# in the same run.
#   bench/run.sh                  every set below, in this order
#   bench/run.sh output [ARGS]    the output action against its in-process baseline (ARGS go to
#                                 zk_output_bench, e.g. --benchmark_filter=Table), then
#                                 zk77q3 generate against sox as whole processes
#   bench/run.sh window           the window: cold start as a process under Xvfb and offscreen
#                                 against a bare Qt window, chart and help refreshes
#   bench/run.sh receive [TRIALS] the receiving side: Eb/N0 needed per impairment, estimate
#                                 error, false packets, speed (100 trials unless told)
#   bench/run.sh monitor [SECONDS [MINUTES [SPEED]]]
#                                 the monitor window: cold start under Xvfb against the same bare
#                                 Qt window; CPU while listening live through a PulseAudio null
#                                 sink for SECONDS (60) against arecord on the same device; memory
#                                 over MINUTES (60) of input fed through ALSA's file plugin at
#                                 SPEED (20) times real time, 0: as fast as it is read (the hour
#                                 in 20 s instead of 3 min, but the figure then varies by 1 MiB)
#   bench/run.sh keying [RUNS]    the transmitter's key against the sound: how long play and tone
#                                 keep it down beyond lead + sound + tail, and how soon after the
#                                 lead the first sample is heard, through a PulseAudio null sink
#                                 and rigctld's dummy rig (5 sends of each unless told)
# A first argument that starts with "--" is taken as ARGS of the output set.
set -euo pipefail
cd "$(dirname "$0")/.."

sets=(output window receive monitor keying)
args=()
if [ $# -gt 0 ]; then
  case "$1" in
    output | window | receive | monitor | keying)
      sets=("$1")
      shift
      args=("$@")
      ;;
    --*)
      sets=(output)
      args=("$@")
      ;;
    *)
      echo "usage: bench/run.sh [output [ARGS] | window | receive [TRIALS] |" \
        "monitor [SECONDS [MINUTES [SPEED]]] | keying [RUNS]]" >&2
      exit 2
      ;;
  esac
fi

bash scripts/install-deps.sh bench

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_BENCH=ON -DZK_WERROR=ON \
  -DZK_BUILD_TESTS=OFF >/dev/null

for set in "${sets[@]}"; do
  echo "== $set"
  case "$set" in
    output)
      cmake --build build-bench -j "$jobs" --target zk_output_bench zk77q3
      # Disk waits make single runs of the file writers vary: repetitions in random order, medians.
      build-bench/bench/zk_output_bench --benchmark_repetitions=10 \
        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
        "${args[@]}"
      echo
      bench/process_bench.sh
      ;;
    window)
      cmake --build build-bench -j "$jobs" --target zk_ui_xstart_bench zk_ui_bench \
        zk_ui_refresh_bench
      BUILD=build-bench bench/ui/xstart.sh --runs=41
      echo
      build-bench/bench/ui/zk_ui_bench --benchmark_repetitions=10 \
        --benchmark_report_aggregates_only=true
      echo
      build-bench/bench/ui/zk_ui_refresh_bench \
        --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
      ;;
    receive)
      cmake --build build-bench -j "$jobs" --target zk_receive_bench
      build-bench/bench/zk_receive_bench "${args[0]:-100}" all
      ;;
    monitor)
      cmake --build build-bench -j "$jobs" --target zk_ui_xstart_bench zk77q3-monitor zk77q3
      # A configuration folder of its own, so that no remembered device changes the start.
      config=$(mktemp -d)
      XDG_CONFIG_HOME="$config" BUILD=build-bench bench/ui/xstart.sh --runs=41 --monitor
      rm -rf "$config"
      echo
      bench/monitor/listen_cpu.sh build-bench/src/monitor/zk77q3-monitor \
        build-bench/src/cli/zk77q3 "${args[0]:-60}"
      echo
      bench/monitor/listen_memory.sh build-bench/src/monitor/zk77q3-monitor \
        build-bench/src/cli/zk77q3 "${args[1]:-60}" "${args[2]:-20}"
      ;;
    keying)
      cmake --build build-bench -j "$jobs" --target zk77q3
      bench/keying.py build-bench/src/cli/zk77q3 "${args[0]:-5}"
      ;;
  esac
  echo
done
