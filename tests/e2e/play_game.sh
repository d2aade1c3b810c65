#!/usr/bin/env bash
# Plays the real game under Xvfb (no window manager) from a fresh folder: the default honour file
# appears, the window's client area is 523 x 390, the board shows five balls and three preview
# balls, a click selects a ball and a click on a free cell moves it and brings three new balls, the
# honour-roll button opens its window and Esc closes it, and ending the game writes nothing.
# Usage: play_game.sh KELVORA-EXECUTABLE WORK-DIR
set -euo pipefail
program=$1
work=$2

if ! command -v Xvfb >/dev/null || ! command -v xvfb-run >/dev/null; then
  echo "Xvfb is not installed: skipped"
  exit 77
fi
if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work/game"
  cp "$program" "$work/game/kelvora"
  KELVORA_E2E_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program" "$work"
fi

game="$work/game"
honour="$game/Kelvora荣誉榜.ini"
fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null || true; exit 1; }

SDL_AUDIODRIVER=dummy "$game/kelvora" > "$work/stdout.txt" 2> "$work/stderr.txt" &
pid=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name "Kelvora 1.1" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the game ended before showing its window"
  sleep 0.1
done
[ -n "$window" ] || fail "no window within 10 s"
sleep 0.5

# The honour file of a first start.
[ -f "$honour" ] || fail "no honour file beside the game"
expected=$(printf '0000870Tovenhal\r\n0000640Tovenhal\r\n0000500Tovenhal\r\n0000320Tovenhal\r\n0000210Tovenhal\r\n0000170Tovenhal\r\n0000135Tovenhal\r\n0000100Tovenhal\r\n0000055Tovenhal\r\n0000020Tovenhal\r\n' | od -c)
[ "$(od -c < "$honour")" = "$expected" ] || fail "the honour file is not the default roll"

eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 523 ] && [ "$HEIGHT" = 390 ] || fail "client area ${WIDTH}x${HEIGHT}, not 523x390"
boardX=$((X + 8))
boardY=$((Y + 8))

# Reads the screen; then "cells" lists each cell as 1 (ball) or 0 (empty), "preview" each slot.
shoot() {
  import -window root "$work/$1.png"
  convert "$work/$1.png" -crop "360x360+$boardX+$boardY" +repage txt:- > "$work/$1.board.txt"
  convert "$work/$1.png" -crop "120x40+$((X + 388))+$((Y + 104))" +repage txt:- > "$work/$1.preview.txt"
}
cells() {
  awk -F'[,: ]+' 'NR > 1 { split($0, a, "#"); px[$1 "," $2] = substr(a[2], 1, 6) }
    END { for (n = 1; n <= 81; n++) { x = ((n - 1) % 9) * 40 + 20; y = int((n - 1) / 9) * 40 + 20;
          bg = (n % 2) ? "212021" : "000000"; printf "%d", (px[x "," y] != bg) } print "" }' "$work/$1.board.txt"
}
count_balls() { cells "$1" | tr -cd 1 | wc -c; }
preview_balls() {
  awk -F'[,: ]+' 'NR > 1 { split($0, a, "#"); px[$1 "," $2] = substr(a[2], 1, 6) }
    END { n = 0; for (s = 0; s < 3; s++) if (px[(s * 40 + 20) ",20"] != "000000") n++; print n }' "$work/$1.preview.txt"
}
# The id of the window whose title is exactly $1 (xdotool's own pattern matching is not safe for
# Chinese titles).
window_named() {
  local id
  for id in $(xdotool search --name "" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
  done
  return 0
}
click_cell() {
  local n=$1
  xdotool mousemove --sync $((boardX + ((n - 1) % 9) * 40 + 20)) $((boardY + ((n - 1) / 9) * 40 + 20)) click 1
}

shoot start
balls=$(count_balls start)
[ "$balls" = 5 ] || fail "the first game shows $balls balls, not 5"
[ "$(preview_balls start)" = 3 ] || fail "the preview does not show three balls"

# Select a ball, then move it to a free neighbouring cell.
layout=$(cells start)
from=0; to=0
for n in $(seq 1 81); do
  [ "${layout:$((n - 1)):1}" = 1 ] || continue
  col=$(( (n - 1) % 9 ))
  for m in $((n - 1)) $((n + 1)) $((n - 9)) $((n + 9)); do
    [ "$m" -ge 1 ] && [ "$m" -le 81 ] || continue
    [ "$m" = $((n - 1)) ] && [ "$col" = 0 ] && continue
    [ "$m" = $((n + 1)) ] && [ "$col" = 8 ] && continue
    if [ "${layout:$((m - 1)):1}" = 0 ]; then from=$n; to=$m; break 2; fi
  done
done
[ "$from" != 0 ] || fail "no ball with a free neighbour"
click_cell "$from"
sleep 1
shoot selected
[ "$(count_balls selected)" = 5 ] || fail "selecting changed the number of balls"
click_cell "$to"
sleep 1.5
shoot moved
moved=$(cells moved)
[ "${moved:$((to - 1)):1}" = 1 ] || fail "the ball did not arrive in cell $to"
balls=$(count_balls moved)
[ "$balls" = 8 ] || fail "after the move the board shows $balls balls, not 8"

# The honour-roll button opens the roll; Esc closes it.
xdotool mousemove --sync $((X + 392 + 53)) $((Y + 248 + 14)) click 1
roll=""
for _ in $(seq 1 30); do
  roll=$(window_named "荣誉榜")
  [ -n "$roll" ] && break
  sleep 0.1
done
[ -n "$roll" ] || fail "the honour-roll window did not open"
sleep 0.5
import -window root "$work/roll.png"
# Without a window manager the keyboard follows the pointer: put it over the roll, press Esc.
xdotool mousemove --sync $((X + 200)) $((Y + 200)) key Escape
sleep 0.5
[ -z "$(window_named "荣誉榜")" ] || fail "Esc did not close the honour-roll window"

# Ending the game writes nothing.
before=$(md5sum "$honour")
files_before=$(ls -A "$game" | sort)
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the game did not end"
wait "$pid" || true
[ "$(md5sum "$honour")" = "$before" ] || fail "ending the game changed the honour file"
[ "$(ls -A "$game" | sort)" = "$files_before" ] || fail "ending the game left or removed files"
echo "PASS"
