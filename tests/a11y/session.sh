# Sourced by the accessibility tests: a session in which a window is read through AT-SPI as a
# screen reader reads it. Skips (exit 77) when a part is not installed, runs the sourcing script
# again under Xvfb, and gives it a session bus and an accessibility bus of its own (the
# machine's are never touched), $work (a fresh folder) and $XDG_RUNTIME_DIR in it, and `pids`:
# every process put there is stopped, with everything it started, on the way out.
launcher=/usr/libexec/at-spi-bus-launcher

skip() {
  echo "skipped: $*"
  exit 77
}
command -v xvfb-run >/dev/null || skip "xvfb-run missing (Debian: xvfb, xauth)"
command -v xdotool >/dev/null || skip "xdotool missing"
command -v dbus-daemon >/dev/null || skip "dbus-daemon missing (Debian: dbus-daemon)"
[ -x "$launcher" ] || skip "at-spi-bus-launcher missing (Debian: at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "pyatspi missing (Debian: python3-pyatspi)"

if [ -z "${ZK_A11Y_INSIDE_X:-}" ]; then
  exec env ZK_A11Y_INSIDE_X=1 xvfb-run -a -s "-screen 0 1400x1000x24" "$0" "$@"
fi

# xvfb-run has been seen to hand over no display on a loaded machine; that says nothing about the
# window, so the run is reported as skipped, not as passed.
[ -n "${DISPLAY:-}" ] || skip "xvfb-run started no X display"

work=$(mktemp -d)
pids=()
# shellcheck source=../../scripts/stopprocesses.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/stopprocesses.sh"
cleanup() {
  set +e
  stop_processes "${pids[@]}"
  rm -rf "$work"
}
trap cleanup EXIT

# A session bus of our own, in the foreground so that its process is known at once.
dbus-daemon --session --nofork --print-address=3 3>"$work/address" &
pids+=($!)
for _ in $(seq 1 100); do
  [ -s "$work/address" ] && break
  sleep 0.05
done
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/address")
export DBUS_SESSION_BUS_ADDRESS
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$launcher" --launch-immediately &
pids+=($!)
