# Sourced by the accessibility tests: a session in which a window is read through AT-SPI as a
# screen reader reads it. Skips (exit 77) when a part is not installed, starts an Xvfb of its own,
# and gives the sourcing script a session bus and an accessibility bus of its own (the
# machine's are never touched), $work (a fresh folder) and $XDG_RUNTIME_DIR in it, and `pids`:
# every process put there is stopped, with everything it started, on the way out.
launcher=/usr/libexec/at-spi-bus-launcher

skip() {
  echo "skipped: $*"
  exit 77
}
command -v Xvfb >/dev/null || skip "Xvfb missing (Debian: xvfb)"
command -v xdotool >/dev/null || skip "xdotool missing"
command -v dbus-daemon >/dev/null || skip "dbus-daemon missing (Debian: dbus-daemon)"
[ -x "$launcher" ] || skip "at-spi-bus-launcher missing (Debian: at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "pyatspi missing (Debian: python3-pyatspi)"

work=$(mktemp -d)
pids=()
# shellcheck source=../../scripts/stopprocesses.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/stopprocesses.sh"
# The X server last, once nothing it shows is left.
cleanup() {
  set +e
  stop_processes "${pids[@]}" ${x_server_pid:+"$x_server_pid"}
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=../xserver.sh
source "$(dirname "${BASH_SOURCE[0]}")/../xserver.sh"
start_x_server "$work" || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"

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
