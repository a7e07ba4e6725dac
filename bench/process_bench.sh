#!/usr/bin/env bash
# Times `zk77q3 generate` as a whole process against sox writing a bare 3.048 s tone of the same
# format, both run in one temporary folder, and prints the ratio of the medians. The goal is
# zk77q3 at most half the time of sox.
#
#   bench/process_bench.sh [runs]        runs per command, 50 unless given
#
# Two cases: "rewrite" runs each command over the files of its previous run (the operator
# programming one repeater after another in the same folder); "fresh" removes the files before
# every run (untimed). Installs sox and hyperfine with apt-get when missing, builds zk77q3 in
# build-bench/ (Release, benchmarks on). Without hyperfine, or with ZK_BENCH_NO_HYPERFINE=1, it
# times with a bash loop instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-50}
warmup=5

bash scripts/install-deps.sh bench
# hyperfine is a convenience: the loop below stands in for it when it cannot be installed.
bash scripts/install-deps.sh bench hyperfine || true

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_BENCH=ON -DZK_WERROR=ON \
  -DZK_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j "$jobs" --target zk77q3 >/dev/null
zk="$root/build-bench/src/cli/zk77q3"
sox_bin=$(command -v sox)

work=$(mktemp -d "${TMPDIR:-/tmp}/zk77q3-process-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

zk_args=("$zk" generate)
sox_args=("$sox_bin" -n -r 16000 -b 16 -c 1 tone.wav synth 3.048 sine 1000)
outputs=(_qq.wav 9_fmsig.h tone.wav)

# Median wall time in microseconds of `runs` runs of the command in "$@", output discarded;
# with FRESH=1 the output files are removed before each run, outside the timing.
median_us() {
  local i start end
  local -a times=()
  for ((i = 0; i < warmup; i++)); do
    "$@" >/dev/null
  done
  for ((i = 0; i < runs; i++)); do
    if [ "${FRESH:-0}" = 1 ]; then
      rm -f "${outputs[@]}"
    fi
    start=${EPOCHREALTIME/./}
    "$@" >/dev/null
    end=${EPOCHREALTIME/./}
    times+=($((end - start)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 }
    END { if (NR % 2) print t[(NR + 1) / 2]; else print (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
}

use_hyperfine() {
  [ "${ZK_BENCH_NO_HYPERFINE:-0}" != 1 ] && command -v hyperfine >/dev/null
}

# Prints "<zk77q3 median µs> <sox median µs>" for one case.
measure() {
  local fresh=$1
  if use_hyperfine; then
    local -a prepare=()
    if [ "$fresh" = 1 ]; then
      prepare=(--prepare "rm -f ${outputs[*]}")
    fi
    hyperfine -N --style none --warmup "$warmup" --runs "$runs" "${prepare[@]}" \
      --export-csv times.csv "$(printf '%q ' "${zk_args[@]}")" "$(printf '%q ' "${sox_args[@]}")" \
      >/dev/null
    # CSV columns: command,mean,stddev,median,user,system,min,max (seconds).
    awk -F, 'NR > 1 { printf "%.0f ", $4 * 1e6 } END { print "" }' times.csv
  else
    echo "$(FRESH=$fresh median_us "${zk_args[@]}") $(FRESH=$fresh median_us "${sox_args[@]}")"
  fi
}

tool="bash loop (EPOCHREALTIME)"
if use_hyperfine; then
  tool="hyperfine -N"
fi
echo "Process timing: median of $runs runs after $warmup warm-up runs, $tool, in $work"
for fresh in 0 1; do
  read -r zk_us sox_us < <(measure "$fresh")
  label=rewrite
  if [ "$fresh" = 1 ]; then
    label=fresh
  fi
  awk -v label="$label" -v zk="$zk_us" -v sox="$sox_us" 'BEGIN {
    ratio = zk / sox
    printf "  %-8s zk77q3 generate %8.3f ms   sox tone %8.3f ms   ratio %.2f   goal <= 0.50: %s\n",
      label, zk / 1000, sox / 1000, ratio, ratio <= 0.5 ? "met" : "MISSED"
  }'
done
