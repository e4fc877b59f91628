# Sourced by the scripts that run Qel on a private X server of their own (the soak check, the
# sampling CPU benchmark, the pictures): starting the server and finding windows on it.

# begin_session: a fresh folder in `work` and a list `children` of the processes the script starts
# in the background (it adds each), all taken down and removed when the script exits. The session's
# runtime folder is a private one inside it, as a desktop login has, so that Qt programs find one.
begin_session() {
  work=$(mktemp -d)
  children=()
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  trap end_session EXIT
}

end_session() {
  local i _ state
  for ((i = ${#children[@]} - 1; i >= 0; i--)); do
    kill "${children[i]}" 2>/dev/null || true
    # Given five seconds to end (gnome-shell may wait for services already gone), then killed.
    for _ in $(seq 50); do
      state=$(ps -o stat= -p "${children[i]}" 2>/dev/null) || true
      [[ -z $state || $state == Z* ]] && break
      sleep 0.1
    done
    kill -KILL "${children[i]}" 2>/dev/null || true
    wait "${children[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}

# start_xvfb WIDTHxHEIGHT FOLDER: starts an Xvfb on a free display, notes its pid in xvfb_pid and
# exports DISPLAY. Returns 1, having said why on standard error, when the server does not start.
start_xvfb() {
  local number
  number=$(mktemp "$2/display.XXXXXX")
  # Xvfb writes the display number it took once it accepts connections.
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$number" 2>"$number.log" &
  xvfb_pid=$!
  for _ in $(seq 200); do
    grep -q . "$number" 2>/dev/null && break
    sleep 0.1
  done
  if ! grep -q . "$number"; then
    echo "Xvfb did not start: $(tail -n 3 "$number.log")" >&2
    return 1
  fi
  DISPLAY=":$(head -n 1 "$number")"
  # An X session, even when the tests are run from a Wayland desktop.
  export DISPLAY XDG_SESSION_TYPE=x11
  unset WAYLAND_DISPLAY
}

# wait_for_window TITLE: prints the id of the visible window with exactly this title, waiting up
# to 20 s for it; returns 1 when none comes.
wait_for_window() {
  local found
  for _ in $(seq 200); do
    found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
    [[ -n $found ]] && echo "$found" && return 0
    sleep 0.1
  done
  return 1
}
