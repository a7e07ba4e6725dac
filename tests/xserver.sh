# Sourced by the tests that show a window in a real X server. start_x_server starts an Xvfb of
# the test's own and exports DISPLAY. The server takes a free display number itself and names it
# once it listens (-displayfd), so that tests started side by side never share one, as two
# `xvfb-run -a` can. It never resets (-noreset): an X server resets when its last client leaves,
# and a window started during the reset found no display (about one run in ten of the monitor's
# test did, after the check below had come and gone).
#   start_x_server FOLDER    returns 1 when no client gets through (FOLDER/xvfb.log says why);
#                            the server's process id is $x_server_pid
start_x_server() {
  local number="$1/display"
  Xvfb -displayfd 3 -screen 0 1400x1000x24 -nolisten tcp -noreset 3>"$number" \
    2>"$1/xvfb.log" &
  x_server_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$number" ] && break
    kill -0 "$x_server_pid" 2>/dev/null || return 1
    sleep 0.05
  done
  [ -s "$number" ] || return 1
  DISPLAY=":$(head -n 1 "$number")"
  export DISPLAY
  for _ in $(seq 1 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "no client gets through to $DISPLAY" >>"$1/xvfb.log"
  return 1
}
