#!/usr/bin/env bash
# Runs the Wayland tests on a headless GNOME desktop of their own: grants the screen cast once by
# answering the desktop's dialog with the pointer, then runs the test program with the restore
# token, which opens every later session without asking.
#
#   tests/wayland/run.sh PORTAL_GRANT_PROGRAM TEST_PROGRAM
set -euo pipefail
grant="$(realpath "$1")"
tests="$(realpath "$2")"
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/x_session.sh"
source "$root/scripts/wayland_session.sh"
begin_session
start_gnome_wayland 1920x1080 || exit 1
QEL_SCREENCAST_TOKEN=$("$grant") || exit 1
export QEL_SCREENCAST_TOKEN
"$tests"
