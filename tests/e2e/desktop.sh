#!/usr/bin/env bash
# The real game as a player's desktop treats it: two starts seconds apart deal different first
# boards; at GDK_SCALE=2 (or Xft.dpi 192) the window is twice the size, every game pixel a 2 x 2 block of one
# colour, and a click at twice a position is a press at it; a held Esc closes only the window it
# was pressed in; a drag by a label follows the pointer exactly; a main window destroyed by another
# program ends the game as its close box does.
# Usage: desktop.sh KELVORA-EXECUTABLE DESTROY-WINDOW-TOOL WORK-DIR
set -euo pipefail
program=$1
destroy=$2
work=$3

for tool in Xvfb xdotool xwininfo import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work/game"
  cp "$program" "$work/game/kelvora"
  KELVORA_E2E_INNER=1 exec bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/with-xvfb.sh" --screen 1280x1024x24 \
    bash "$0" "$program" "$destroy" "$work"
fi

game="$work/game"
pid=""
fail() { echo "FAIL: $*"; [ -z "$pid" ] || kill "$pid" 2>/dev/null || true; exit 1; }
. "$(dirname "$0")/screen_play.sh"

start_game() {
  SDL_AUDIODRIVER=dummy "$@" "$game/kelvora" > "$work/stdout.txt" 2> "$work/stderr.txt" &
  pid=$!
}
stop_game() {
  kill -TERM "$pid"
  wait "$pid" || true
  pid=""
}

# Two starts a few seconds apart: the first boards differ, colours and places.
boards=()
for run in 1 2; do
  start_game env
  wait_for_main_window 100
  import -window root -crop "360x360+$boardX+$boardY" +repage "$work/board$run.png"
  boards+=("$(convert "$work/board$run.png" rgb:- | md5sum)")
  stop_game
  sleep 2
done
[ "${boards[0]}" != "${boards[1]}" ] || fail "two starts dealt the same first board"

# Twice the size at GDK_SCALE=2. xwininfo gives the window's real pixels; the board's top-left
# game pixel (8, 8) is then at (16, 16).
start_game env GDK_SCALE=2
wait_for_main_window 100
[ "$WIDTH" = 1046 ] && [ "$HEIGHT" = 780 ] || fail "at scale 2 the client area is ${WIDTH}x${HEIGHT}, not 1046x780"
import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$work/scaled.png"
convert "$work/scaled.png" -sample 50% -sample 200% "$work/blocks.png"
[ "$(compare -metric AE "$work/scaled.png" "$work/blocks.png" null: 2>&1 || true)" = 0 ] ||
  fail "at scale 2 some game pixel is not a 2 x 2 block of one colour"
# The honour-roll button at game pixel (445, 262) answers a click at (890, 524).
xdotool mousemove --sync $((X + 890)) $((Y + 524)) click 1
roll=""
for _ in $(seq 1 30); do roll=$(window_named "荣誉榜"); [ -n "$roll" ] && break; sleep 0.1; done
[ -n "$roll" ] || fail "a click at twice the honour-roll button's position did not press it"

stop_game

# A desktop that sets only its text resolution, 192 dots per inch, gets scale 2 as well.
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	192"
start_game env -u GDK_SCALE
wait_for_main_window 100
xprop -root -remove RESOURCE_MANAGER
[ "$WIDTH" = 1046 ] && [ "$HEIGHT" = 780 ] || fail "at 192 dpi the client area is ${WIDTH}x${HEIGHT}, not 1046x780"
xdotool mousemove --sync $((X + 890)) $((Y + 524)) click 1
roll=""
for _ in $(seq 1 30); do roll=$(window_named "荣誉榜"); [ -n "$roll" ] && break; sleep 0.1; done
[ -n "$roll" ] || fail "the honour-roll button did not open the roll at 192 dpi"

# Esc held down in the roll: the roll closes, and the repeats that follow do not close the roll
# opened again while the key is still down.
xdotool mousemove --sync $((X + 300)) $((Y + 300)) keydown Escape
for _ in $(seq 1 30); do [ -z "$(window_named "荣誉榜")" ] && break; sleep 0.1; done
[ -z "$(window_named "荣誉榜")" ] || fail "Esc did not close the roll"
xdotool mousemove --sync $((X + 890)) $((Y + 524)) click 1
roll=""
for _ in $(seq 1 30); do roll=$(window_named "荣誉榜"); [ -n "$roll" ] && break; sleep 0.1; done
[ -n "$roll" ] || fail "the roll did not open a second time"
xdotool mousemove --sync $((X + 300)) $((Y + 300))
sleep 1.5
[ -n "$(window_named "荣誉榜")" ] || fail "a held Esc closed the roll that opened after it was pressed"
xdotool keyup Escape
xdotool key Escape
for _ in $(seq 1 30); do [ -z "$(window_named "荣誉榜")" ] && break; sleep 0.1; done
stop_game

# Dragged by a label, the window follows the pointer to the last pixel of the last motion.
start_game env
wait_for_main_window 100
x0=$X
y0=$Y
xdotool mousemove --sync $((X + 60)) $((Y + 380)) mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove --sync $((X + 60 + step * 7)) $((Y + 380 + step * 4)); done
xdotool mouseup 1
sleep 0.5
eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { print "X=" $NF } /Absolute upper-left Y/ { print "Y=" $NF }')"
[ "$X" = $((x0 + 42)) ] && [ "$Y" = $((y0 + 24)) ] ||
  fail "dragged by (42, 24), the window moved by ($((X - x0)), $((Y - y0)))"

# The main window destroyed by another program: the game ends at once, with status 0.
"$destroy" "$window"
for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the game went on after its main window was destroyed"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "the game ended with status $status after its window was destroyed"
echo PASS
