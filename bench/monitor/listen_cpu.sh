#!/usr/bin/env bash
# CPU of zk77q3-monitor while it listens live, against arecord capturing the same device at the
# same time (the floor of just capturing). The sound comes from a PulseAudio server of this run's
# own: a null sink at 48 kHz that paces like a sound card, with `paplay` playing packets of
# `zk77q3 generate` (one every 5 s) into it. Both capture its monitor through ALSA's pulse
# plugin, 48 kHz S16_LE mono; the window is in a real X server (Xvfb), so it really draws. The
# figure is user + system CPU time from /proc/PID/stat over SECONDS of wall time, as a share of
# one core. Goal: the monitor at most 5 %.
#   bench/monitor/listen_cpu.sh MONITOR ZK77Q3 [SECONDS]     60 s unless told
# With ZK_BENCH_PICTURE=FILE.png it takes a picture of the window at the end, to see that it heard
# the packets.
set -euo pipefail

monitor=$(realpath "$1")
tool=$(realpath "$2")
seconds=${3:-60}
here=$(cd "$(dirname "$0")" && pwd)
goal_percent=5
settle_seconds=3

if [ -z "${ZK_BENCH_INSIDE_X:-}" ]; then
  exec env ZK_BENCH_INSIDE_X=1 xvfb-run -a -s "-screen 0 1400x1000x24" "$0" "$@"
fi
# shellcheck source=window.sh
source "$here/window.sh"

export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The sound server, its null sink "radio", and the sink's monitor as the default source, which
# is what ALSA's "pulse" device records.
printf '%s\n' 'load-module module-native-protocol-unix' \
  'load-module module-null-sink sink_name=radio rate=48000' 'set-default-sink radio' \
  'set-default-source radio.monitor' >"$work/server.pa"
pulseaudio -n -F "$work/server.pa" --exit-idle-time=-1 --daemonize=no --disallow-exit \
  --log-target=file:"$work/pulse.log" &
started $!
for _ in $(seq 1 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
pactl info >/dev/null

# Packets as they come over the air: the signal, then silence, 5 s a packet, long enough for the
# whole run.
(cd "$work" && "$tool" generate >/dev/null 2>&1)
periods=$(((seconds + 3 * settle_seconds + 20) / 5))
sox "$work/_qq.wav" -r 48000 "$work/air.wav" pad 0 1.952 repeat "$((periods - 1))"
paplay --device=radio "$work/air.wav" &
started $!

# The device remembered, as after the operator's last Listen.
mkdir -p "$XDG_CONFIG_HOME/zk77q3"
printf '[capture]\ndevice=pulse\n' >"$XDG_CONFIG_HOME/zk77q3/monitor.conf"
start_monitor "$monitor"
press_listen
arecord -q -D pulse -f S16_LE -r 48000 -c 1 -t raw >/dev/null 2>"$work/arecord.log" &
arecord_pid=$!
started "$arecord_pid"

sleep "$settle_seconds"
listeners=$(pactl list short source-outputs | wc -l)
if [ "$listeners" -ne 2 ]; then
  echo "expected the monitor and arecord recording from the sink, found $listeners" >&2
  pactl list short source-outputs >&2
  cat "$work/monitor.log" >&2
  exit 1
fi

ticks_per_second=$(getconf CLK_TCK)
# Each thread of the monitor too: the window's (the main thread), the session's, Qt's and
# PulseAudio's helpers.
thread_ticks() {
  local task
  for task in "/proc/$monitor_pid/task"/*; do
    printf '%s %s %s\n' "${task##*/}" "$(cpu_ticks "$monitor_pid/task/${task##*/}")" \
      "$(tr ' ' '_' <"$task/comm")"
  done
}
# The X server, which puts on screen what the window draws: xvfb-run started it beside this
# script.
xvfb_pid=$(ps -o pid=,comm= --ppid "$PPID" | awk '$2 == "Xvfb" { print $1 }')
thread_ticks >"$work/threads.before"
monitor_before=$(cpu_ticks "$monitor_pid")
arecord_before=$(cpu_ticks "$arecord_pid")
xvfb_before=$(cpu_ticks "$xvfb_pid")
sleep "$seconds"
monitor_after=$(cpu_ticks "$monitor_pid")
arecord_after=$(cpu_ticks "$arecord_pid")
xvfb_after=$(cpu_ticks "$xvfb_pid")
thread_ticks >"$work/threads.after"
if [ -n "${ZK_BENCH_PICTURE:-}" ]; then
  import -window "$window_id" "$ZK_BENCH_PICTURE"
fi

percent() {  # ticks over the run as % of one core
  awk -v t="$1" -v hz="$ticks_per_second" -v s="$seconds" \
    'BEGIN { printf "%.2f", 100 * t / hz / s }'
}
monitor_percent=$(percent $((monitor_after - monitor_before)))
arecord_percent=$(percent $((arecord_after - arecord_before)))
verdict=$(awk -v p="$monitor_percent" -v g="$goal_percent" \
  'BEGIN { print (p <= g) ? "met" : "MISSED" }')
echo "listening live, 48 kHz S16_LE mono through PulseAudio, $seconds s, CPU as % of one core:"
printf '  %-30s %6s %%\n' "arecord (capture alone)" "$arecord_percent"
printf '  %-30s %6s %%  %s\n' "zk77q3-monitor, drawing" "$monitor_percent" "$verdict"
echo "  of which, by thread:"
join --nocheck-order "$work/threads.before" "$work/threads.after" |
  while read -r tid before name after _; do
    [ "$after" -gt "$before" ] || continue
    [ "$tid" = "$monitor_pid" ] && name="the window's"
    printf '    %-28s %6s %%\n' "$name ($tid)" "$(percent $((after - before)))"
  done
printf '  %-30s %6s %%  (not counted: the X server of this run)\n' "Xvfb" \
  "$(percent $((xvfb_after - xvfb_before)))"
echo "goal: the monitor <= $goal_percent % of one core"
