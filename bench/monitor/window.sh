# Shared by the monitor's listening benchmarks (sourced, not run): a work folder removed on the
# way out with everything started here, the monitor window started and set listening, and the
# kernel's accounts of a process.
#   work            the folder
#   started PID     stops PID (and its children) on the way out
#   start_monitor MONITOR [ENV=VALUE...]   starts the window, sets `monitor_pid` and `window_id`
#   press_listen    presses Listen (Alt+L), as the operator would
#   cpu_ticks PID   user + system CPU time of every thread so far, in clock ticks
#   rss_kib PID     resident memory now, in KiB
work=$(mktemp -d "${TMPDIR:-/tmp}/zk77q3-monitor-bench.XXXXXX")
pids=()
started() {
  pids+=("$1")
}
# shellcheck source=../../scripts/stopprocesses.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/stopprocesses.sh"
cleanup() {
  set +e
  local reversed=() i
  # The last started first: the sound server outlives those that record from it.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    reversed+=("${pids[i]}")
  done
  stop_processes "${reversed[@]}"
  rm -rf "$work"
}
trap cleanup EXIT

start_monitor() {
  local monitor=$1
  shift
  env "$@" LANG=C.UTF-8 "$monitor" >"$work/monitor.log" 2>&1 &
  monitor_pid=$!
  started "$monitor_pid"
  window_id=$(timeout 60 xdotool search --sync --onlyvisible --name "ZK-77q3 Monitor" | head -n 1)
  if [ -z "$window_id" ]; then
    echo "the monitor window did not appear" >&2
    cat "$work/monitor.log" >&2
    exit 1
  fi
}

press_listen() {
  xdotool windowfocus --sync "$window_id"
  xdotool key --window "$window_id" alt+l
}

cpu_ticks() {
  # The fields after the command name (which may hold blanks): utime and stime are the 12th and
  # 13th of them.
  sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

rss_kib() {
  awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}
