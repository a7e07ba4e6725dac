#!/usr/bin/env bash
# Memory of zk77q3-monitor over an hour of listening: the window (in Xvfb) listens to ALSA's
# "default" device, which here is the file plugin reading 48 kHz S16_LE mono from a named pipe
# (infile): the same capture path as a sound card's, fed faster than real time. The hour holds a
# packet of `zk77q3 generate` every 5 s (720 packets, more than the list keeps). After the first
# minute the feed pauses until the window has shown what it brought, and the resident memory
# (VmRSS) then is the start figure; it is read again after each minute fed and at the end.
# Goal: growth from the first minute to the end at most +1 MiB.
#   bench/monitor/listen_memory.sh MONITOR ZK77Q3 [MINUTES [SPEED]]
# MINUTES is 60 unless told. SPEED paces the feed at that many times real time, a second of input
# at a time (20 unless told: the hour in 3 minutes); 0 feeds it as fast as the monitor reads (the
# hour in about 20 s), but then each look of the window takes up to 1000 waterfall rows at once
# where live it takes three, and the figure varies by a MiB from run to run.
set -euo pipefail

monitor=$(realpath "$1")
tool=$(realpath "$2")
minutes=${3:-60}
speed=${4:-20}
here=$(cd "$(dirname "$0")" && pwd)
goal_kib=1024
bytes_per_minute=$((48000 * 2 * 60))
settle_seconds=2
minute_timeout_seconds=120

if [ -z "${ZK_BENCH_INSIDE_X:-}" ]; then
  exec env ZK_BENCH_INSIDE_X=1 xvfb-run -a -s "-screen 0 1400x1000x24" "$0" "$@"
fi
# shellcheck source=window.sh
source "$here/window.sh"

# A minute of air: the signal, then silence, 5 s a packet; then the whole input.
(cd "$work" && "$tool" generate >/dev/null 2>&1)
sox "$work/_qq.wav" -r 48000 -t raw -e signed -b 16 -c 1 "$work/minute.raw" pad 0 1.952 repeat 11
[ "$(stat -c %s "$work/minute.raw")" -eq "$bytes_per_minute" ] || {
  echo "minute.raw is not one minute long" >&2
  exit 1
}
mkfifo "$work/air.pipe"
printf '%s\n' "pcm.!default { type file slave { pcm { type null } } file \"/dev/null\"" \
  "  infile \"$work/air.pipe\" format \"raw\" }" >"$work/asound.conf"

mkdir -m 700 "$work/runtime"
start_monitor "$monitor" ALSA_CONFIG_PATH="$work/asound.conf" XDG_RUNTIME_DIR="$work/runtime" \
  XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
start_rss=$(rss_kib "$monitor_pid")
# Open for reading and writing, so that neither side waits for the other to open it.
exec 3<>"$work/air.pipe"
press_listen
opened=
for _ in $(seq 1 100); do
  opened=$(find "/proc/$monitor_pid/fd" -lname "$work/air.pipe" 2>/dev/null | head -n 1)
  [ -n "$opened" ] && break
  sleep 0.1
done
[ -n "$opened" ] || {
  echo "the monitor did not open the input" >&2
  cat "$work/monitor.log" >&2
  exit 1
}

bytes_per_second=$((bytes_per_minute / 60))
# Writes a minute of input into the pipe: at once, or a second at a time at `speed` times real
# time from `began`, the time the feed began, with `fed` the seconds fed before.
fed=0
feed_minute() {
  if [ "$speed" = 0 ]; then
    timeout "$minute_timeout_seconds" cat "$work/minute.raw" >&3 || return 1
    fed=$((fed + 60))
    return
  fi
  local s pause
  for s in $(seq 0 59); do
    timeout "$minute_timeout_seconds" \
      dd if="$work/minute.raw" bs="$bytes_per_second" skip="$s" count=1 status=none >&3 || return 1
    fed=$((fed + 1))
    pause=$(awk -v b="$began" -v n="$EPOCHREALTIME" -v f="$fed" -v x="$speed" \
      'BEGIN { w = b + f / x - n; printf "%.3f", (w > 0) ? w : 0 }')
    sleep "$pause"
  done
}

# A minute is read when its last bytes are in the pipe (at most 64 KiB, 0.7 s, behind).
declare -a at_minute=()
began=$EPOCHREALTIME
feed_minute || {
  echo "the first minute was not taken within $minute_timeout_seconds s" >&2
  exit 1
}
# The window looks every 33 ms: let it show the first minute's packets before the start figure.
sleep "$settle_seconds"
at_minute[1]=$(rss_kib "$monitor_pid")
began=$EPOCHREALTIME
fed=0
for m in $(seq 2 "$minutes"); do
  feed_minute || {
    echo "minute $m was not taken within $minute_timeout_seconds s" >&2
    exit 1
  }
  at_minute[m]=$(rss_kib "$monitor_pid")
done
took=$(awk -v a="$began" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
sleep "$settle_seconds"
end_rss=$(rss_kib "$monitor_pid")
peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$monitor_pid/status")
total=$((bytes_per_minute * minutes))

first=${at_minute[1]}
growth=$((end_rss - first))
verdict=$([ "$growth" -le "$goal_kib" ] && echo met || echo MISSED)
echo "listening to $minutes min of 48 kHz S16_LE mono through ALSA's file plugin ($total bytes,"
pace=$([ "$speed" = 0 ] && echo "as fast as read" || echo "paced at ${speed}x real time")
echo "a packet every 5 s, $pace); minutes 2..$minutes read in $took s; resident memory (VmRSS)"
echo "in KiB:"
echo "  before Listen $start_rss"
for m in $(seq 1 "$minutes"); do
  if [ "$m" -le 2 ] || [ $((m % 10)) -eq 0 ] || [ "$m" -eq "$minutes" ]; then
    printf '  minute %-6s %s\n' "$m" "${at_minute[m]}"
  fi
done
echo "  end           $end_rss   (peak $peak)"
printf 'growth from the first minute to the end: %+d KiB  %s\n' "$growth" "$verdict"
echo "goal: <= +$goal_kib KiB"
