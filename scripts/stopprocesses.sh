# Sourced by the scripts that start servers and windows of their own (the accessibility tests,
# the monitor's benchmarks): stops processes with everything they started, so that nothing of a
# run is left behind, whatever way it ends.

# A process and everything it started, children first.
process_tree() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    process_tree "$child"
  done
  echo "$1"
}

# Stops each PID given and its descendants, in the order given: asked first (SIGTERM), then,
# after up to 3 s, ended (SIGKILL).
stop_processes() {
  local all=() p alive
  for p in "$@"; do
    mapfile -t -O "${#all[@]}" all < <(process_tree "$p")
  done
  for p in "${all[@]}"; do
    kill "$p" 2>/dev/null || true
  done
  for _ in $(seq 1 30); do
    alive=0
    for p in "${all[@]}"; do
      kill -0 "$p" 2>/dev/null && alive=1
    done
    [ "$alive" -eq 0 ] && break
    sleep 0.1
  done
  for p in "${all[@]}"; do
    kill -KILL "$p" 2>/dev/null || true
  done
}
