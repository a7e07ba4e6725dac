#!/usr/bin/env bash
# Starts zk77q3-monitor under Xvfb with a session bus and an accessibility bus of its own and
# lets monitor_a11y_check.py read it through AT-SPI as a screen reader would. The signal comes
# from zk77q3 generate.
#   monitor_a11y_test.sh file MONITOR ZK77Q3   a recording given on the command line
#   monitor_a11y_test.sh live MONITOR ZK77Q3   live capture, fed by ALSA's file plugin (infile);
#                                               the device listened to is remembered
#   monitor_a11y_test.sh pulse MONITOR ZK77Q3  live capture from a PulseAudio null sink's monitor
#                                               while `zk77q3 play` sends into the sink: the
#                                               packet is shown as sent, with its margin
# Everything started here is stopped again on the way out.
set -euo pipefail

mode=$1
monitor=$(realpath "$2")
tool=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
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
[ -n "${DISPLAY:-}" ] || skip "xvfb-run started no X display"

work=$(mktemp -d)
pids=()
tree() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    tree "$child"
  done
  echo "$1"
}
cleanup() {
  set +e
  local all=() p
  for p in "${pids[@]}"; do
    mapfile -t -O "${#all[@]}" all < <(tree "$p")
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
  rm -rf "$work"
}
trap cleanup EXIT

dbus-daemon --session --nofork --print-address=3 3>"$work/address" &
pids+=($!)
for _ in $(seq 1 100); do
  [ -s "$work/address" ] && break
  sleep 0.05
done
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/address")
export DBUS_SESSION_BUS_ADDRESS
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$launcher" --launch-immediately &
pids+=($!)

# The signal, with a user open code of its own so that the settings shown are this send's.
code=2468
(cd "$work" && "$tool" generate --user-open "$code" >/dev/null 2>&1)

args=()
case "$mode" in
  file)
    args=("$work/_qq.wav")
    conf='pcm.!default { type null }'
    ;;
  live)
    # The capture device's input: the signal at the 48 kHz the monitor captures at, between
    # seconds of silence.
    /usr/bin/python3 "$here/upsample3.py" "$work/_qq.wav" "$work/in.raw"
    conf="pcm.!default { type file slave { pcm { type null } } file \"/dev/null\" infile \"$work/in.raw\" format \"raw\" }"
    ;;
  pulse)
    command -v pulseaudio >/dev/null || skip "pulseaudio missing (Debian: pulseaudio)"
    [ -n "$(find /usr/lib -name 'libasound_module_pcm_pulse.so' -print -quit 2>/dev/null)" ] ||
      skip "ALSA's pulse plugin missing (Debian: libasound2-plugins)"
    # A sound server of this test's own: a null sink "radio" (a transmitter) whose monitor the
    # monitor window listens to (a receiver), both through ALSA's "default".
    printf 'load-module module-native-protocol-unix\nload-module module-null-sink sink_name=radio rate=48000\nset-default-sink radio\n' >"$work/radio.pa"
    export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
    pulseaudio -n -F "$work/radio.pa" --exit-idle-time=-1 --daemonize=yes --disallow-exit \
      --log-target="file:$work/pulse.log" || skip "the PulseAudio server did not start"
    pids+=("$(cat "$XDG_RUNTIME_DIR/pulse/pid")")
    conf='pcm.!default { type pulse }'
    export ZK_PLAY="$tool play --user-open $code"
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
echo "$conf" >"$work/asound.conf"

export ALSA_CONFIG_PATH="$work/asound.conf"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PULSE_SOURCE=radio.monitor LANG=C.UTF-8 \
  "$monitor" "${args[@]}" &
pids+=($!)

wid=$(timeout 60 xdotool search --sync --onlyvisible --name "ZK-77q3 Monitor" | head -n 1) || {
  echo "FAIL: the window did not appear" >&2
  exit 1
}
xdotool windowfocus --sync "$wid"
/usr/bin/python3 "$here/monitor_a11y_check.py" "$wid" "$mode" "$code" ${ZK_A11Y_VERBOSE:+-v}

if [ "$mode" = live ]; then
  # The device listened to is remembered for the next start, in the monitor's own file.
  grep -qx 'device=default' "$XDG_CONFIG_HOME/zk77q3/monitor.conf" || {
    echo "FAIL: the device was not remembered" >&2
    cat "$XDG_CONFIG_HOME/zk77q3/monitor.conf" >&2 || true
    exit 1
  }
fi
