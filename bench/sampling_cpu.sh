#!/usr/bin/env bash
# Qel's own CPU while it samples at 10 Hz, measured from outside: on a private 1920 x 1080 Xvfb,
# with the pointer stepping over another program's window every 20 ms, Qel's user + system time
# (all its threads, from /proc/<pid>/stat) over 10 s, first with sampling off as a reference, then
# with sampling on. Goal: at most 1 % of one core while sampling.
#
#   bench/sampling_cpu.sh [--no-skin] [SECONDS]
#
# QEL_BINARY names the program when it was built elsewhere than build/linux. --no-skin runs a copy
# of it beside a skin library whose two operations attach nothing, to tell the skin's share apart.
# Exit status: 0 measured, 1 Qel failed, 2 could not run.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
qel_binary=${QEL_BINARY:-$root/build/linux/qel}
skin=true
if [[ ${1:-} == --no-skin ]]; then
  skin=false
  shift
fi
seconds=${1:-10}
warmup_s=2
step_ms=20
# The other program's window, well clear of Qel in the middle of the screen.
target_x=100 target_y=100 target_w=600 target_h=400

cannot() {
  echo "cannot measure: $*" >&2
  exit 2
}
fail() {
  echo "FAIL: $*"
  [[ -s ${work:-}/qel.log ]] && tail -n 20 "$work/qel.log"
  exit 1
}

[[ $seconds =~ ^[0-9]+$ && $seconds -ge 1 ]] || cannot "SECONDS must be a whole number, at least 1"
for tool in Xvfb xdotool xmessage xwininfo; do
  command -v "$tool" >/dev/null || cannot "$tool is missing: run scripts/setup.sh --test"
done
$skin || command -v cc >/dev/null || cannot "--no-skin builds a library with cc, which is missing"
[[ -x $qel_binary ]] || cannot "no Qel at $qel_binary: build it or set QEL_BINARY"
clock_ticks=$(getconf CLK_TCK)

source "$root/scripts/x_session.sh"
begin_session

# Qel loads the skin library from beside itself and writes its own there only when none is.
if ! $skin; then
  mkdir "$work/noskin"
  cp "$qel_binary" "$work/noskin/qel"
  qel_binary=$work/noskin/qel
  cc -shared -fPIC -x c -o "$work/noskin/SkinH_EL.dll" - <<'EOF'
int SkinH_AttachRes(const unsigned char* d, int n, const char* p, int a, int b, int c) {
  (void)d, (void)n, (void)p, (void)a, (void)b, (void)c;
  return 1;
}
int SkinH_SetAero(int enable) {
  (void)enable;
  return 1;
}
EOF
fi

start_xvfb 1920x1080 "$work" || cannot "no X server"
children+=("$xvfb_pid")

xmessage -title bench-target -geometry "${target_w}x${target_h}+${target_x}+${target_y}" \
  "the pointer wanders over this window while Qel samples" >/dev/null 2>&1 &
children+=($!)
target=$(wait_for_window bench-target) || cannot "the other window never appeared"
# Qel names the innermost window under the pointer: give xmessage's unnamed inner widgets their
# top-level's name, as a window with a title would show.
for inner in $(xwininfo -tree -id "$target" | awk '$1 ~ /^0x/ {print $1}'); do
  xdotool set_window --name bench-target --class bench-target "$inner"
done

"$qel_binary" >"$work/qel.log" 2>&1 &
qel_pid=$!
children+=("$qel_pid")
qel_window=$(wait_for_window Qel) || fail "Qel's window never appeared"
# The 100 % scale's radio button, in Qel's client coordinates.
xdotool mousemove --window "$qel_window" 38 208 click 1
sleep 0.3

# Sets $ticks to Qel's user + system time so far, in clock ticks.
read_ticks() {
  local stat
  local -a fields
  stat=$(<"/proc/$qel_pid/stat") || fail "Qel ended"
  stat=${stat##*) } # the name may hold spaces; the fields after it do not
  read -ra fields <<<"$stat"
  ticks=$((fields[11] + fields[12])) # utime and stime, fields 14 and 15 of the line
}
now_us() { echo "${EPOCHREALTIME/./}"; }

# Steps the pointer across the other window row by row, a few pixels every step_ms, for the
# warm-up, the measurement and a second more, in one xdotool started in the background: $mover.
start_wandering() {
  local i row x y step_s
  local -a commands=()
  local steps=$((((warmup_s + seconds) * 1000 + 1000) / step_ms))
  local per_row=$(((target_w - 20) / 7))
  step_s=$(printf '%d.%03d' $((step_ms / 1000)) $((step_ms % 1000)))
  for ((i = 0; i < steps; i++)); do
    row=$((i / per_row))
    x=$((target_x + 10 + (i * 7) % (target_w - 20)))
    y=$((target_y + 10 + (row * 23) % (target_h - 20)))
    commands+=(mousemove "$x" "$y" sleep "$step_s")
  done
  xdotool "${commands[@]}" &
  mover=$!
}

# Prints Qel's CPU over `seconds` of wandering as a share of one core.
measure() {
  local label=$1 note=$2 before after start end
  start_wandering
  sleep "$warmup_s"
  read_ticks
  before=$ticks
  start=$(now_us)
  sleep "$seconds"
  read_ticks
  after=$ticks
  end=$(now_us)
  kill "$mover" 2>/dev/null || true
  wait "$mover" 2>/dev/null || true
  awk -v t=$((after - before)) -v hz="$clock_ticks" -v us=$((end - start)) -v label="$label" \
    -v s="$seconds" -v note="$note" 'BEGIN { printf "%s: %.2f %% of one core over %d s (%s)\n",
                                           label, 100 * t / hz / (us / 1e6), s, note }'
}

skin_note=$($skin && echo "with the skin" || echo "without the skin")
measure "idle CPU" "$skin_note, sampling off"

xdotool key F2
xdotool mousemove $((target_x + 50)) $((target_y + 50)) sleep 0.4
caption=$(xdotool getwindowname "$qel_window" 2>/dev/null) || caption=""
[[ $caption == "bench-target  bench-target" ]] ||
  fail "sampling did not start with F2: Qel's caption is '$caption'"
measure "sampling CPU" "$skin_note"
kill -0 "$qel_pid" 2>/dev/null || fail "Qel ended while sampling"
