# Sourced by the tests of qel-find and of the Python module, after scripts/x_session.sh's
# begin_session and start_xvfb: draws the scene (qel_scene_picture) into "$work/scene" and shows
# scene.bmp in a window of another program, ImageMagick's display.
#
#   show_scene SCENE_PICTURE_PROGRAM
#
# Exports what scene.env says (the places in the scene's own coordinates), SCENE_DIR, SCENE_X and
# SCENE_Y (the screen position of the scene's top-left pixel) and SCENE_WINDOW (the window showing
# it, whose client area is the scene). Returns 1, saying why, when the scene cannot be shown.
show_scene() {
  SCENE_DIR="$work/scene"
  mkdir -p "$SCENE_DIR"
  "$1" "$SCENE_DIR" || { echo "the scene was not drawn" >&2; return 1; }
  set -a
  # shellcheck source=/dev/null
  source "$SCENE_DIR/scene.env"
  set +a
  SCENE_X=150
  SCENE_Y=100
  display -title qel-scene -geometry "+$SCENE_X+$SCENE_Y" -borderwidth 0 "$SCENE_DIR/scene.bmp" &
  children+=("$!")
  SCENE_WINDOW=$(wait_for_window qel-scene) || { echo "the scene's window did not show" >&2; return 1; }
  # With no window manager the window sits where it was asked to; wait until the server has drawn
  # the picture in it.
  local placed
  for _ in $(seq 100); do
    placed=$(xdotool getwindowgeometry "$SCENE_WINDOW" | sed -n 's/.*Position: \([0-9]*,[0-9]*\).*/\1/p')
    [[ $placed == "$SCENE_X,$SCENE_Y" ]] && break
    sleep 0.1
  done
  [[ $placed == "$SCENE_X,$SCENE_Y" ]] ||
    { echo "the scene's window is at $placed, not $SCENE_X,$SCENE_Y" >&2; return 1; }
  export SCENE_DIR SCENE_X SCENE_Y SCENE_WINDOW
}
