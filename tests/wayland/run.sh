#!/usr/bin/env bash
# Runs the Wayland tests on a headless GNOME desktop of their own: grants the screen cast once by
# answering the desktop's dialog with the pointer, then runs the test program with the restore
# token, which opens every later session without asking, and qel-find as a script would.
#
#   tests/wayland/run.sh PORTAL_GRANT_PROGRAM TEST_PROGRAM QEL_FIND
set -euo pipefail
grant="$(realpath "$1")"
tests="$(realpath "$2")"
qel_find="$(realpath "$3")"
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/x_session.sh"
source "$root/scripts/wayland_session.sh"
begin_session
start_gnome_wayland 1920x1080 || exit 1
QEL_SCREENCAST_TOKEN=$("$grant") || exit 1
export QEL_SCREENCAST_TOKEN
"$tests"

# qel-find keeps the grant where the user's would be kept: in the configuration folder.
mkdir -p "$XDG_CONFIG_HOME/qel"
echo "$QEL_SCREENCAST_TOKEN" >"$XDG_CONFIG_HOME/qel/screencast-token"
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
pixel=$("$qel_find" pixel 100 100 2>"$work/stderr") || fail "qel-find pixel: $(cat "$work/stderr")"
[[ $pixel =~ ^#[0-9A-F]{6}\ [0-9]+$ ]] || fail "qel-find pixel printed '$pixel'"
[[ ! -s $work/stderr ]] || fail "qel-find pixel wrote to standard error: $(cat "$work/stderr")"
colour=${pixel%% *}
found=$("$qel_find" color "${colour#\#}" --area 100,100,1,1 2>"$work/stderr") ||
  fail "qel-find color: $(cat "$work/stderr")"
[[ $found == "100 100" ]] || fail "qel-find color found '$found', not the pixel it read"
status=0
"$qel_find" pixel 1 1 --window 4242 >/dev/null 2>"$work/stderr" || status=$?
[[ $status == 2 ]] || fail "a window's pixel on Wayland exited with $status, not 2"
if ((failures > 0)); then
  echo "qel-find on Wayland: $failures checks failed"
  exit 1
fi
echo "qel-find on Wayland: every check passed"
