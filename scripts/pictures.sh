#!/usr/bin/env bash
# Makes the pictures of the project's pages from the builds in build/linux and build/windows:
#   docs/screenshot.png          Qel on Linux (Xvfb), converting #FFF00F, in its start-up skin
#   docs/screenshot-windows.png  the same under Wine, in the Windows build
#   docs/skins.png               Qel's window in each of the 33 skins it carries
# Each runs on a private Xvfb. Needs xdotool and ImageMagick (scripts/setup.sh --test installs them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

source "$root/scripts/x_session.sh"

# Shows the conversion page with #FFF00F converted, then saves the window's picture.
picture_of_window() {
  local out=$1
  local window
  window=$(wait_for_window Qel) || { echo "Qel's window never appeared" >&2; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 85)) $((Y + 12)) click 1 && sleep 0.5   # the second page
  xdotool mousemove $((X + 115)) $((Y + 48)) click 1 && sleep 0.3  # the hex field
  xdotool type --delay 60 '#FFF00F' && sleep 0.3
  xdotool mousemove $((X + 328)) $((Y + 208)) click 1 && sleep 1  # Go
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
}

if [[ -x build/linux/qel ]]; then
  start_xvfb 1024x768 "$work"
  mkdir "$work/linux"
  cp build/linux/qel "$work/linux/qel"
  "$work/linux/qel" >/dev/null 2>&1 &
  picture_of_window docs/screenshot.png
  kill %2 2>/dev/null || true
  build/linux/tools/qel_skin_contact_sheet build/linux/skin/SkinH_EL.dll docs/skins.png
  echo "docs/screenshot.png, docs/skins.png"
fi

if [[ -f build/windows/qel.exe ]]; then
  scripts/wine-prefix.sh build/wine-prefix
  # A Wine session left from another run would show the window on that run's display.
  WINEPREFIX="$root/build/wine-prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$root/build/wine-prefix" wineserver -w
  start_xvfb 1024x768 "$work"
  mkdir "$work/windows"
  cp build/windows/qel.exe "$work/windows/qel.exe"
  WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all wine "$work/windows/qel.exe" >/dev/null 2>&1 &
  picture_of_window docs/screenshot-windows.png
  WINEPREFIX="$root/build/wine-prefix" wineserver -k || true
  echo "docs/screenshot-windows.png"
fi
