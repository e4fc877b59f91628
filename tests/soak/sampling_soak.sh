#!/usr/bin/env bash
# Soak check: Qel samples for DURATION seconds (600 unless given) on a private Xvfb while the
# pointer wanders over the screen, its own window and two other windows. Every 10 s it notes Qel's
# resident memory and what Qel holds in the X server. After the warm-up (a tenth of the run, at
# most 60 s) nothing may grow: the resident set by at most SOAK_RSS_LIMIT_KIB (default 512 KiB),
# the X resource counts and pixmap bytes not at all.
#
#   tests/soak/sampling_soak.sh [DURATION]
#
# QEL_BINARY and QEL_X_RESOURCES name the programs when they were built elsewhere than build/linux;
# SOAK_SCALE (100, 125, 150 or 175; default 100) picks the display scale.
# Exit status: 0 pass, 1 fail, 2 could not run.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
qel_binary=${QEL_BINARY:-$root/build/linux/qel}
x_resources=${QEL_X_RESOURCES:-$root/build/linux/tests/soak/qel_x_resources}
duration=${1:-600}
rss_limit_kib=${SOAK_RSS_LIMIT_KIB:-512}
scale=${SOAK_SCALE:-100}
interval=10        # seconds between two samples
screen_w=1920
screen_h=1080

cannot() {
  echo "cannot run the soak: $*" >&2
  exit 2
}
fail() {
  echo "FAIL: $*"
  if [[ -s ${work:-}/qel.log ]]; then
    echo "--- Qel's output (last lines) ---"
    tail -n 20 "$work/qel.log"
  fi
  exit 1
}

[[ $duration =~ ^[0-9]+$ && $duration -ge $((2 * interval)) ]] ||
  cannot "the duration must be a whole number of seconds, at least $((2 * interval))"
[[ $rss_limit_kib =~ ^[0-9]+$ ]] || cannot "SOAK_RSS_LIMIT_KIB must be a whole number of KiB"
# The scale's radio button, in Qel's client coordinates.
case $scale in
  100) radio_x=38 ;;
  125) radio_x=102 ;;
  150) radio_x=159 ;;
  175) radio_x=215 ;;
  *) cannot "SOAK_SCALE must be 100, 125, 150 or 175" ;;
esac
radio_y=208
for tool in Xvfb xdotool xmessage; do
  command -v "$tool" >/dev/null || cannot "$tool is missing: run scripts/setup.sh --test"
done
[[ -x $qel_binary ]] || cannot "no Qel at $qel_binary: build it or set QEL_BINARY"
[[ -x $x_resources ]] ||
  cannot "no qel_x_resources at $x_resources: build the target or set QEL_X_RESOURCES"
warmup=$((duration / 10 < 60 ? duration / 10 : 60))

source "$root/scripts/x_session.sh"
begin_session

start_xvfb "${screen_w}x${screen_h}" "$work" || cannot "no X server"
children+=("$xvfb_pid")

# Two ordinary windows for the pointer to visit, clear of Qel in the middle of the screen.
xmessage -title soak-a -geometry 400x200+80+80 "soak a" >/dev/null 2>&1 &
children+=($!)
xmessage -title soak-b -geometry 400x200+1400+780 "soak b" >/dev/null 2>&1 &
children+=($!)
# Qel names the innermost window under the pointer, and xmessage's inner widgets have no names:
# give them their top-level's, so that Qel's caption tells where the pointer is.
for name in soak-a soak-b; do
  top=$(wait_for_window "$name") || cannot "the window $name never appeared"
  for inner in $(xwininfo -tree -id "$top" | awk '$1 ~ /^0x/ {print $1}'); do
    xdotool set_window --name "$name" --class "$name" "$inner"
  done
done

"$qel_binary" >"$work/qel.log" 2>&1 &
qel_pid=$!
children+=("$qel_pid")
qel_window=$(wait_for_window Qel) || fail "Qel's window never appeared"
read -r qel_x qel_y qel_w qel_h < <(xwininfo -id "$qel_window" |
  awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
       /^ *Width/ {w = $NF} /^ *Height/ {h = $NF} END {print x, y, w, h}')

qel_running() { kill -0 "$qel_pid" 2>/dev/null; }

# Rests the pointer on a place in soak-a or soak-b; true when Qel's caption, "title  class" of the
# window under the pointer while sampling, then names that window. Leaves what it saw in $seen.
caption_follows() {
  local title
  xdotool mousemove "$2" "$3" sleep 0.4
  title=$(xdotool getwindowname "$qel_window" 2>/dev/null) || title="(no caption)"
  seen="with the pointer on $1 Qel's caption is '$title'"
  [[ $title == "$1  $1" ]]
}
# Sampling runs when the caption follows the pointer there and back: a caption left over from
# before it stopped cannot match both.
sampling_runs() {
  caption_follows soak-a 280 180 || return 1
  caption_follows soak-b 1600 880
}
ms_per_check=800

xdotool mousemove --window "$qel_window" "$radio_x" "$radio_y" click 1
sleep 0.3
xdotool key F2
sleep 0.2
qel_running || fail "Qel ended when sampling started"
sampling_runs || fail "sampling did not start with F2: $seen"
echo "Qel (pid $qel_pid) samples at $scale % on $DISPLAY; ${duration} s, warm-up ${warmup} s"

now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }

# Pointer moves every 50 ms until the given time: random places, alternately anywhere, on Qel, on
# soak-a and on soak-b.
wander() {
  local i x y
  local -a commands=()
  local moves=$((($1 - $(now_ms)) / 52))
  for ((i = 0; i < moves; i++)); do
    case $((i % 4)) in
      0) x=$((RANDOM % screen_w)) y=$((RANDOM % screen_h)) ;;
      1) x=$((qel_x + RANDOM % qel_w)) y=$((qel_y + RANDOM % qel_h)) ;;
      2) x=$((80 + RANDOM % 400)) y=$((80 + RANDOM % 200)) ;;
      3) x=$((1400 + RANDOM % 400)) y=$((780 + RANDOM % 200)) ;;
    esac
    commands+=(mousemove "$x" "$y" sleep 0.05)
  done
  ((moves > 0)) && xdotool "${commands[@]}"
  local early=$(($1 - $(now_ms)))
  if ((early > 0)); then sleep "$((early / 1000)).$(printf %03d $((early % 1000)))"; fi
}

header_printed=false
baseline=()
last=()
keys=()
start_ms=$(now_ms)
sample=0
while :; do
  follows=true
  sampling_runs || follows=false
  elapsed=$((($(now_ms) - start_ms + 500) / 1000))
  if ! qel_running; then
    status=0
    wait "$qel_pid" || status=$?
    fail "Qel ended after ${elapsed} s with status $status"
  fi
  $follows || fail "sampling stopped after ${elapsed} s: $seen"
  rss_kib=$(awk '/^VmRSS:/ {print $2}' "/proc/$qel_pid/status")
  resources=$("$x_resources" --pid "$qel_pid") || fail "could not read Qel's X resources"

  read -ra fields <<<"$resources"
  row=("$elapsed" "$rss_kib")
  if ! $header_printed; then
    keys=(seconds rss_kib)
    for field in "${fields[@]}"; do keys+=("${field%%=*}"); done
    printf '%8s %8s %7s %7s %7s %4s %8s %5s %7s %9s %5s %5s %12s\n' "${keys[@]}"
    header_printed=true
  fi
  for field in "${fields[@]}"; do row+=("${field#*=}"); done
  printf '%8s %8s %7s %7s %7s %4s %8s %5s %7s %9s %5s %5s %12s\n' "${row[@]}"
  ((${#baseline[@]} == 0 && elapsed >= warmup)) && baseline=("${row[@]}")
  last=("${row[@]}")

  ((sample >= duration / interval)) && break
  sample=$((sample + 1))
  wander $((start_ms + sample * interval * 1000 - ms_per_check))
done

((${#baseline[@]} > 0)) || fail "no sample after the warm-up"
problems=()
rss_growth=$((last[1] - baseline[1]))
((rss_growth <= rss_limit_kib)) ||
  problems+=("resident memory grew by ${rss_growth} KiB (${baseline[1]} -> ${last[1]})")
for ((i = 2; i < ${#keys[@]}; i++)); do
  ((last[i] <= baseline[i])) ||
    problems+=("X ${keys[i]} grew from ${baseline[i]} to ${last[i]}")
done

changes=()
for ((i = 2; i < ${#keys[@]}; i++)); do changes+=("${keys[i]} ${baseline[i]}->${last[i]}"); done
echo "from ${baseline[0]} s to ${last[0]} s: resident memory ${baseline[1]}->${last[1]} KiB" \
  "(${rss_growth} KiB, limit ${rss_limit_kib})"
summary=$(printf '%s, ' "${changes[@]}")
echo "X resources: ${summary%, }"
if ((${#problems[@]} > 0)); then
  for problem in "${problems[@]}"; do echo "  $problem"; done
  fail "Qel leaks while sampling"
fi
echo "PASS: Qel sampled for ${last[0]} s with flat memory and X resources"
