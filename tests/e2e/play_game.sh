#!/usr/bin/env bash
# Plays the real game under Xvfb (no window manager) from a fresh folder: the default honour file
# appears, the window's client area is 523 x 390, the board shows five balls and three preview
# balls, a click selects a ball and a click on a free cell moves it and brings three new balls; the
# keys alone do the same, the cursor showing where it goes; the honour-roll button opens its
# window, by the mouse and by Tab and Space, and Esc closes it; and ending the game writes nothing.
# Usage: play_game.sh KELVORA-EXECUTABLE WORK-DIR
set -euo pipefail
program=$1
work=$2

if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: skipped"
  exit 77
fi
if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work/game"
  cp "$program" "$work/game/kelvora"
  KELVORA_E2E_INNER=1 exec bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/with-xvfb.sh" bash "$0" "$program" "$work"
fi

game="$work/game"
honour="$game/Kelvora荣誉榜.ini"
fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null || true; exit 1; }

. "$(dirname "$0")/screen_play.sh"

SDL_AUDIODRIVER=dummy "$game/kelvora" > "$work/stdout.txt" 2> "$work/stderr.txt" &
pid=$!
wait_for_main_window 100

# The honour file of a first start.
[ -f "$honour" ] || fail "no honour file beside the game"
expected=$(printf '0000870Tovenhal\r\n0000640Tovenhal\r\n0000500Tovenhal\r\n0000320Tovenhal\r\n0000210Tovenhal\r\n0000170Tovenhal\r\n0000135Tovenhal\r\n0000100Tovenhal\r\n0000055Tovenhal\r\n0000020Tovenhal\r\n' | od -c)
[ "$(od -c < "$honour")" = "$expected" ] || fail "the honour file is not the default roll"

[ "$WIDTH" = 523 ] && [ "$HEIGHT" = 390 ] || fail "client area ${WIDTH}x${HEIGHT}, not 523x390"
# The main window: move, minimise and close (Motif functions 4 + 8 + 32), owned by no window, and
# its title readable as text by tools that know only WM_NAME.
hints=$(xprop -id "$window" _MOTIF_WM_HINTS | sed -n 's/.* = //p' | tr -d ' ')
[ "$(($(cut -d, -f2 <<< "$hints")))" = 44 ] || fail "the main window's buttons are not move, minimise and close: $hints"
xprop -id "$window" WM_TRANSIENT_FOR | grep -q 'not found' || fail "the main window is owned: $(xprop -id "$window" WM_TRANSIENT_FOR)"
xprop -id "$window" WM_NAME | grep -q '= "Kelvora 1.1' || fail "WM_NAME is not readable: $(xprop -id "$window" WM_NAME)"

# Reads the screen; then "cells" lists each cell as 1 (ball) or 0 (empty), "preview" each slot.
shoot() {
  import -window root "$work/$1.png"
  convert "$work/$1.png" -crop "360x360+$boardX+$boardY" +repage txt:- > "$work/$1.board.txt"
  convert "$work/$1.png" -crop "120x40+$((X + 388))+$((Y + 104))" +repage txt:- > "$work/$1.preview.txt"
}
cells() { board_cells_from_text "$work/$1.board.txt"; }
preview_balls() {
  awk -F'[,: ]+' 'NR > 1 { split($0, a, "#"); px[$1 "," $2] = substr(a[2], 1, 6) }
    END { n = 0; for (s = 0; s < 3; s++) if (px[(s * 40 + 20) ",20"] != "000000") n++; print n }' "$work/$1.preview.txt"
}
shoot start
balls=$(count_balls "$(cells start)")
[ "$balls" = 5 ] || fail "the first game shows $balls balls, not 5"
[ "$(preview_balls start)" = 3 ] || fail "the preview does not show three balls"

# Select a ball, then move it to a free neighbouring cell.
read -r from to <<< "$(free_neighbour_move "$(cells start)")"
[ "$from" != 0 ] || fail "no ball with a free neighbour"
click_cell "$from"
sleep 1
shoot selected
[ "$(count_balls "$(cells selected)")" = 5 ] || fail "selecting changed the number of balls"
click_cell "$to"
sleep 1.5
shoot moved
moved=$(cells moved)
[ "${moved:$((to - 1)):1}" = 1 ] || fail "the ball did not arrive in cell $to"
balls=$(count_balls "$moved")
[ "$balls" = 8 ] || fail "after the move the board shows $balls balls, not 8"

# The same by keys alone, and the honour roll through the keyboard.
keyboard_move
keyboard_honour_round_trip

# The honour-roll button opens the roll; Esc closes it.
honour_roll_round_trip "$work/roll.png"

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
