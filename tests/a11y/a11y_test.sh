#!/usr/bin/env bash
# Starts zk77q3-programmer in the diagnostic mode under Xvfb with a session bus and an
# accessibility bus of its own, and lets a11y_check.py read it through AT-SPI as a screen reader
# would. Everything started here is stopped again on the way out.
#   a11y_test.sh PROGRAMMER_BINARY HELP_RTF
set -euo pipefail

programmer=$(realpath "$1")
help=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=session.sh
source "$here/session.sh"

mkdir "$work/window"
cp "$help" "$work/window/help.rtf"
cat >"$work/asound.conf" <<CONF
pcm.!default { type file slave { pcm { type null } } file "/dev/null" format "raw" }
CONF
(cd "$work/window" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ALSA_CONFIG_PATH="$work/asound.conf" \
  exec "$programmer" xq) &
pids+=($!)

wid=$(timeout 60 xdotool search --sync --onlyvisible --name "Программатор" | head -n 1) || {
  echo "FAIL: the window did not appear" >&2
  exit 1
}
# Without a window manager nobody gives the window the keyboard: give it, as a click would.
xdotool windowfocus --sync "$wid"
sleep 0.5
/usr/bin/python3 "$here/a11y_check.py" "$wid" ${ZK_A11Y_VERBOSE:+-v}
