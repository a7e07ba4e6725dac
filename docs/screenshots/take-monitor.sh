#!/usr/bin/env bash
# Takes the README's screenshot of the monitor window under Xvfb: the window started on a
# recording made by `zk77q3 play` (user open code 1590, call-sign period one hour), once it
# has decoded it and shows the packet. Needs xvfb-run, xdotool and ImageMagick's import.
#   docs/screenshots/take-monitor.sh MONITOR_BINARY ZK77Q3_BINARY [OUTPUT_FOLDER]
set -euo pipefail

monitor=$(realpath "$1")
tool=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath "${3:-$here}")

if [ -z "${ZK_SHOTS_INSIDE_X:-}" ]; then
  exec env ZK_SHOTS_INSIDE_X=1 xvfb-run -a -s "-screen 0 1400x1000x24" "$0" "$@"
fi

work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
# Sent (into ALSA's null device) rather than only generated, so that the programming log holds
# the send the window compares its packet with.
echo 'pcm.!default { type null }' >"$work/asound.conf"
(cd "$work" && XDG_STATE_HOME="$work/state" ALSA_CONFIG_PATH="$work/asound.conf" \
  "$tool" play --user-open 1590 --period 1:0:0 >/dev/null 2>&1)
# A folder of its own for the remembered device, and English texts whatever the machine's.
mkdir -m 700 "$work/runtime"
XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime" \
  LANG=C.UTF-8 LANGUAGE= "$monitor" "$work/_qq.wav" &
pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name "ZK-77q3 Monitor" | head -n 1)
xdotool windowfocus --sync "$wid"
# The recording takes a fraction of a second to decode; the window shows it at its next look.
sleep 2
xdotool mousemove 1390 990
sleep 0.5
import -window "$wid" "$out/monitor-recording.png"
