#!/usr/bin/env bash
# Takes the README's screenshots from the real window under Xvfb, started with "xq": the title
# page, the programmer page after "сформировать", the help page, and the chart page after
# "выдать" (the sound goes to a null device). Needs xvfb-run, xdotool and ImageMagick's import.
#   docs/screenshots/take.sh PROGRAMMER_BINARY [OUTPUT_FOLDER]
set -euo pipefail

programmer=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath "${2:-$here}")
help="$here/../../help.rtf"

if [ -z "${ZK_SHOTS_INSIDE_X:-}" ]; then
  exec env ZK_SHOTS_INSIDE_X=1 xvfb-run -a -s "-screen 0 1400x1000x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$help" "$work/help.rtf"
printf 'pcm.!default { type file slave { pcm { type null } } file "/dev/null" format "raw" }\n' \
  >"$work/asound.conf"
cd "$work"
ALSA_CONFIG_PATH="$work/asound.conf" "$programmer" xq &
pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name "Программатор" | head -n 1)
xdotool windowfocus --sync "$wid"
sleep 1

click() {  # a point of the client area
  xdotool mousemove --window "$wid" "$1" "$2" click 1
  sleep 0.5
}
shoot() {  # the client area, with the pointer out of the way
  xdotool mousemove 1390 990
  sleep 0.5
  import -window "$wid" "$out/$1"
}

click 70 496 # "сформировать"
shoot programmer-diagnostic.png
click 22 14 # the title page's tab
shoot title-page.png
click 203 14 # "Справка"
shoot help-page.png
click 103 14 # "Программатор"
click 71 582 # "выдать"
sleep 1
click 273 14 # the chart page's tab
shoot chart-page.png
