#!/usr/bin/env bash
# Starts zk77q3-programmer in a fresh folder with help.rtf under Xvfb, types a user open code,
# presses "сформировать" and "выдать" with the sound routed to a capture file, checks both files
# and the captured sound against the command line's output for the same settings, checks that
# the window is still alive, then tabs to the hidden exit button, presses it and expects status 0.
#   e2e_test.sh PROGRAMMER_BINARY ZK77Q3_BINARY HELP_RTF
set -euo pipefail

programmer=$1
cli=$2
help=$3

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "Xvfb or xdotool missing: skipped"
  exit 77
fi

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

work=$(mktemp -d)
trap 'for p in ${pid:-} ${x_server_pid:-}; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
# shellcheck source=../xserver.sh
source "$(dirname "$0")/../xserver.sh"
start_x_server "$work" || fail "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
mkdir "$work/window" "$work/reference"
cp "$help" "$work/window/help.rtf"
capture="$work/captured.raw"
cat > "$work/asound.conf" <<CONF
pcm.!default { type file slave { pcm { type null } } file "$capture" format "raw" }
CONF

cd "$work/window"
ALSA_CONFIG_PATH="$work/asound.conf" "$programmer" &
pid=$!

wid=$(timeout 60 xdotool search --sync --onlyvisible --name "Программатор" | head -n 1) ||
  fail "the window did not appear"
sleep 1

# Positions inside the client area, as the programmer page lays its controls out.
click() {
  xdotool mousemove --window "$wid" "$1" "$2" click 1
  sleep 0.3
}
wait_for() {  # wait_for FILE SIZE
  for _ in $(seq 1 100); do
    if [ -f "$1" ] && [ "$(stat -c %s "$1")" -eq "$2" ]; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

click 66 131                       # LabeledEdit_KodOtkrPols
xdotool key --window "$wid" ctrl+a
xdotool type --window "$wid" --delay 50 "1590"
click 70 496                       # "сформировать"
click 71 582                       # "выдать"

wait_for "$work/window/_qq.wav" 97580 || fail "_qq.wav was not written"
wait_for "$capture" 97536 || fail "the sound did not reach the device"
wait_for "$work/window/9_fmsig.h" 42020 || fail "9_fmsig.h was not written"

(cd "$work/reference" && "$cli" generate --user-open 1590 >/dev/null) || fail "zk77q3 generate"
cmp "$work/window/_qq.wav" "$work/reference/_qq.wav" || fail "_qq.wav differs from zk77q3's"
cmp "$work/window/9_fmsig.h" "$work/reference/9_fmsig.h" || fail "9_fmsig.h differs from zk77q3's"
tail -c 97536 "$work/window/_qq.wav" | cmp - "$capture" || fail "the captured sound differs"
kill -0 "$pid" 2>/dev/null || fail "the window ended after output"

# Tab from "выдать" until the focus reaches the exit button; Space presses whatever has the
# focus, and only the exit button ends the process.
for _ in $(seq 1 80); do
  xdotool key --window "$wid" Tab
  sleep 0.1
  xdotool key --window "$wid" space
  sleep 0.3
  if ! kill -0 "$pid" 2>/dev/null; then
    break
  fi
done
if kill -0 "$pid" 2>/dev/null; then
  fail "Tab and Space never reached the exit button"
fi
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
echo "e2e: files, sound and exit as expected"
