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
#   monitor_a11y_test.sh held MONITOR ZK77Q3   live capture from a device that never answers
#                                               (ALSA's file plugin on a pipe nobody writes):
#                                               the window goes on, and closing it ends the
#                                               process
# Everything started here is stopped again on the way out.
set -euo pipefail

mode=$1
monitor=$(realpath "$2")
tool=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=session.sh
source "$here/session.sh"
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"

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
  held)
    mkfifo "$work/held"
    conf="pcm.!default { type file slave { pcm { type null } } file \"/dev/null\" infile \"$work/held\" format \"raw\" }"
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
monitor_pid=$!
pids+=("$monitor_pid")

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

if [ "$mode" = held ]; then
  # Closed as a window manager closes it, with the device still held: the process ends.
  /usr/bin/python3 "$here/close_window.py" "$wid"
  for _ in $(seq 1 30); do
    kill -0 "$monitor_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$monitor_pid" 2>/dev/null; then
    echo "FAIL: the monitor went on running 3 s after its window was closed" >&2
    exit 1
  fi
  wait "$monitor_pid" || {
    echo "FAIL: the monitor ended with status $? after its window was closed" >&2
    exit 1
  }
fi
