# Sourced by the tests that show a window in a real X server. start_x_server starts an Xvfb of
# the test's own and exports DISPLAY. The server picks a free display number itself and names it
# only once it takes clients (-displayfd): tests started side by side never meet on one number,
# as two `xvfb-run -a` can (one then talks to the other's server, or to none), and nothing
# connects before the server listens.
#   start_x_server FOLDER    returns 1 when no server started; its process id is $x_server_pid
start_x_server() {
  local number="$1/display"
  Xvfb -displayfd 3 -screen 0 1400x1000x24 -nolisten tcp 3>"$number" 2>"$1/xvfb.log" &
  x_server_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$number" ] && break
    kill -0 "$x_server_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ -s "$number" ] || return 1
  DISPLAY=":$(head -n 1 "$number")"
  export DISPLAY
}
