#!/usr/bin/env bash
# qel-find as a shell script drives it, on a private X server against another program's window
# showing a known scene: each command's answer on the screen, in the window and in a file, the
# exit statuses, and bad arguments and bad files answered with status 2 and one line naming them.
#
#   tests/tools/qel_find_test.sh QEL_FIND SCENE_PICTURE_PROGRAM
set -uo pipefail
qel_find="$(realpath "$1")"
scene_picture="$(realpath "$2")"
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/x_session.sh"
source "$root/tests/tools/scene.sh"
begin_session
start_xvfb 1920x1080 "$work" || exit 1
children+=("$xvfb_pid")
show_scene "$scene_picture" || exit 1
cd "$work"

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# expect STATUS OUTPUT ARGUMENT...: qel-find with the arguments exits with STATUS and prints
# OUTPUT (lines joined by "|") on standard output, nothing on standard error.
expect() {
  local status=$1 output=$2
  shift 2
  local printed got
  printed=$("$qel_find" "$@" 2>"$work/stderr")
  got=$?
  printed=${printed//$'\n'/|}
  [[ $got == "$status" ]] || fail "qel-find $* exited with $got, not $status: $(cat "$work/stderr")"
  [[ $printed == "$output" ]] || fail "qel-find $* printed '$printed', not '$output'"
  [[ ! -s $work/stderr ]] || fail "qel-find $* wrote to standard error: $(cat "$work/stderr")"
}

# refused NAMED ARGUMENT...: qel-find exits with status 2, prints nothing, and says why in one
# line on standard error that names NAMED.
refused() {
  local named=$1
  shift
  local printed got
  printed=$("$qel_find" "$@" 2>"$work/stderr")
  got=$?
  [[ $got == 2 ]] || fail "qel-find $* exited with $got, not 2"
  [[ -z $printed ]] || fail "qel-find $* printed '$printed'"
  [[ $(wc -l <"$work/stderr") == 1 ]] || fail "qel-find $* did not say why in one line: $(cat "$work/stderr")"
  grep -qF -- "$named" "$work/stderr" || fail "qel-find $* did not name $named: $(cat "$work/stderr")"
  grep -q '^qel-find: ' "$work/stderr" || fail "qel-find $* did not say who speaks: $(cat "$work/stderr")"
}

on_screen() { echo "$((SCENE_X + $1)) $((SCENE_Y + $2))"; }
area="$SCENE_X,$SCENE_Y,$SCENE_WIDTH,$SCENE_HEIGHT"
block="$BLOCK_FIRST_X $BLOCK_FIRST_Y"

echo "== pixel"
expect 0 "#$BLOCK_COLOR $BLOCK_DECIMAL" pixel $((SCENE_X + BLOCK_FIRST_X)) $((SCENE_Y + BLOCK_FIRST_Y))
expect 0 "#$BLOCK_COLOR $BLOCK_DECIMAL" pixel "$BLOCK_FIRST_X" "$BLOCK_FIRST_Y" --window "$SCENE_WINDOW"
expect 0 "#$BLOCK_COLOR $BLOCK_DECIMAL" pixel "$BLOCK_FIRST_X" "$BLOCK_FIRST_Y" --window "$SCENE_WINDOW" --through-window
expect 0 "[{\"hex\": \"#$BLOCK_COLOR\", \"decimal\": $BLOCK_DECIMAL}]" pixel "$BLOCK_FIRST_X" "$BLOCK_FIRST_Y" --window "$SCENE_WINDOW" --json

echo "== color"
for color in "#$BLOCK_COLOR" "$BLOCK_COLOR" "$BLOCK_DECIMAL"; do
  expect 0 "$(on_screen $BLOCK_FIRST_X $BLOCK_FIRST_Y)" color "$color"
done
expect 0 "$(on_screen $BLOCK_FIRST_X $BLOCK_FIRST_Y)" color "$BLOCK_COLOR" --area "$area"
expect 0 "$block" color "$BLOCK_COLOR" --window "$SCENE_WINDOW"
expect 0 "$block" color "$BLOCK_COLOR" --in "$SCENE_DIR/scene.bmp"
expect 0 "[{\"x\": $BLOCK_FIRST_X, \"y\": $BLOCK_FIRST_Y}]" color "$BLOCK_COLOR" --in "$SCENE_DIR/scene.bmp" --json
all=$("$qel_find" color "$BLOCK_COLOR" --in "$SCENE_DIR/scene.bmp" --all)
[[ $(wc -l <<<"$all") == "$BLOCK_PIXELS" && $(head -n 1 <<<"$all") == "$block" ]] ||
  fail "color --all gave $(wc -l <<<"$all") places from '$(head -n 1 <<<"$all")'"
expect 1 "" color 123456 --in "$SCENE_DIR/scene.bmp"
expect 1 "[]" color 123456 --window "$SCENE_WINDOW" --all --json

echo "== grab"
expect 0 "" grab --area "$area" -o screen.bmp
expect 0 "" grab --window "$SCENE_WINDOW" --bits 8 -o window8.bmp
[[ $(compare -metric AE screen.bmp "$SCENE_DIR/scene.bmp" null: 2>&1) == 0 ]] ||
  fail "the grabbed area is not the scene"
[[ $(identify -format '%w %h' window8.bmp) == "$SCENE_WIDTH $SCENE_HEIGHT" ]] ||
  fail "the grabbed window is $(identify -format '%w %h' window8.bmp)"
expect 0 "$block" color "$BLOCK_COLOR" --in window8.bmp

echo "== image"
expect 0 "$(on_screen $IMAGE_X $IMAGE_Y)" image "$SCENE_DIR/small.bmp"
expect 0 "$IMAGE_X $IMAGE_Y" image "$SCENE_DIR/small.bmp" --window "$SCENE_WINDOW"
expect 0 "$IMAGE_X $IMAGE_Y" image "$SCENE_DIR/small.bmp" --in "$SCENE_DIR/scene.bmp" --all
expect 1 "" image "$SCENE_DIR/scene.bmp" --in "$SCENE_DIR/small.bmp"

echo "== pattern"
expect 0 "$(on_screen $PATTERN_X $PATTERN_Y)" pattern "$SCENE_DIR/pattern.bmp" --background FFFFFF --area "$area"
expect 0 "$PATTERN_X $PATTERN_Y" pattern "$SCENE_DIR/pattern.bmp" --background FFFFFF --in "$SCENE_DIR/scene.bmp"
expect 0 "$PATTERN_X $PATTERN_Y" pattern "$SCENE_DIR/pattern.bmp" --background "#FFFFFF" --in "$SCENE_DIR/scene.bmp" --all

echo "== text"
text_options=(--font "$TEXT_FONT" --size "$TEXT_SIZE" --color "$TEXT_COLOR")
in_file=$("$qel_find" text "$TEXT" "${text_options[@]}" --in "$SCENE_DIR/scene.bmp")
read -r text_x text_y <<<"$in_file"
((text_x >= TEXT_LEFT && text_x < TEXT_RIGHT && text_y >= TEXT_TOP && text_y < TEXT_BOTTOM)) ||
  fail "the text was found at '$in_file', outside its line"
expect 0 "$(on_screen "$text_x" "$text_y")" text "$TEXT" "${text_options[@]}" --area "$area"
expect 0 "$text_x $text_y" text "$TEXT" "${text_options[@]}" --in "$SCENE_DIR/scene.bmp" --all
expect 1 "" text "Zzz" "${text_options[@]}" --in "$SCENE_DIR/scene.bmp"
# Qt, which draws the text, says nothing on standard error, even without a runtime folder.
runtime=$XDG_RUNTIME_DIR
unset XDG_RUNTIME_DIR
expect 0 "$text_x $text_y" text "$TEXT" "${text_options[@]}" --in "$SCENE_DIR/scene.bmp"
export XDG_RUNTIME_DIR=$runtime

echo "== number"
expect 0 "$NUMBER" number "${text_options[@]}" --in "$SCENE_DIR/number.bmp"
expect 0 "[$NUMBER]" number "${text_options[@]}" --in "$SCENE_DIR/number.bmp" --json
expect 1 "" number "${text_options[@]}" --in "$SCENE_DIR/small.bmp"

echo "== bad arguments and files"
printf 'not a picture' >text.bmp
head -c 60 "$SCENE_DIR/scene.bmp" >cut.bmp
refused frobnicate frobnicate
refused ZZZ color ZZZ
refused --area color "$BLOCK_COLOR" --area 1,2,3
refused --tolerance color "$BLOCK_COLOR" --tolerance -4
refused --in color "$BLOCK_COLOR" --in missing.bmp
refused --in color "$BLOCK_COLOR" --in text.bmp
refused --in image "$SCENE_DIR/small.bmp" --in cut.bmp
refused cut.bmp image cut.bmp --in "$SCENE_DIR/scene.bmp"
refused --window color "$BLOCK_COLOR" --window 12345
refused --bits grab --bits 7 -o x.bmp
refused -o grab --area 0,0,4,4 -o missing/folder/x.bmp
refused --font number --size 12 --color 0 --in "$SCENE_DIR/number.bmp"
refused pixel pixel 1
convert -size 3x3 xc:white -fill black -draw 'point 1 1' BMP3:lone.bmp
refused lone.bmp pattern lone.bmp --background FFFFFF --in "$SCENE_DIR/scene.bmp"
printf 'XX' >large.bmp
truncate -s 3G large.bmp
refused --in color "$BLOCK_COLOR" --in large.bmp

echo "== help"
"$qel_find" --help >help.txt || fail "qel-find --help failed"
for command in pixel grab color image pattern text number; do
  grep -q "$command" help.txt || fail "qel-find --help does not name $command"
  "$qel_find" "$command" --help | grep -q -- "--" || fail "qel-find $command --help says nothing"
done

if ((failures > 0)); then
  echo "qel-find: $failures checks failed"
  exit 1
fi
echo "qel-find: every check passed"
