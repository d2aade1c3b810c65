#!/usr/bin/env bash
# Two copies of the real game run at the same time from one folder, each on an Xvfb display of its
# own, and both read the honour file before either has finished a game. Then each plays a game to
# its end and signs the honour roll, one after the other: the file holds both entries afterwards,
# and the second copy's roll window shows the first copy's entry too. The honour file starts with
# ten empty places, so that any finished game earns one, whatever it scored.
# Usage: two_copies.sh KELVORA-EXECUTABLE WORK-DIR
set -euo pipefail
program=$1
work=$2
here=$(cd "$(dirname "$0")/../.." && pwd)

for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
# One X server for each copy: the first is started here, the second inside it.
case "${KELVORA_TWO_COPIES_STAGE:-}" in
  "")
    rm -rf "$work"
    mkdir -p "$work/game"
    cp "$program" "$work/game/kelvora"
    printf '\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n' > "$work/game/Kelvora荣誉榜.ini"
    KELVORA_TWO_COPIES_STAGE=first exec bash "$here/scripts/with-xvfb.sh" bash "$0" "$program" "$work"
    ;;
  first)
    KELVORA_FIRST_DISPLAY=$DISPLAY KELVORA_TWO_COPIES_STAGE=second \
      exec bash "$here/scripts/with-xvfb.sh" bash "$0" "$program" "$work"
    ;;
esac

game="$work/game"
honour="$game/Kelvora荣誉榜.ini"
firstDisplay=$KELVORA_FIRST_DISPLAY
secondDisplay=$DISPLAY
firstPid=""
secondPid=""
pid=""
fail() {
  echo "FAIL: $*"
  for p in $firstPid $secondPid; do kill -KILL "$p" 2>/dev/null || true; done
  exit 1
}

. "$here/tests/e2e/screen_play.sh"

# Each cell as 1 (a ball) or 0, from the middle pixel of every cell: sampling the board down to
# 9 x 9 takes exactly those pixels, and is much quicker than reading the whole board.
cells_now() {
  import -window root png:- | convert - -crop "360x360+$boardX+$boardY" +repage -sample 9x9 txt:- |
    awk -F'[,: ]+' 'NR > 1 { split($0, a, "#"); n = $2 * 9 + $1 + 1; px[n] = substr(a[2], 1, 6) }
      END { for (n = 1; n <= 81; n++) printf "%d", (px[n] != ((n % 2) ? "212021" : "000000")); print "" }'
}

# A click on a cell. Without --sync: xdotool waits a long time for a pointer that is already
# where it is sent, and the next move often starts at the cell where the last one ended.
click_board_cell() {
  xdotool mousemove $((boardX + (($1 - 1) % 9) * 40 + 20)) $((boardY + (($1 - 1) / 9) * 40 + 20)) click 1
}

# Waits for a window of the current display by its title, and prints its id.
wait_for_window() {
  local id=""
  for _ in $(seq 1 "$2"); do
    id=$(window_named "$1")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 0
}

# Plays the game of the current display to its end: a ball to a free cell beside it, again and
# again, until the board is full and the name-entry window opens.
play_to_the_end() {
  local layout next from to moves=0
  layout=$(cells_now)
  while [ -z "$(window_named "恭喜您！")" ]; do
    [ -z "$(window_named "游戏结束")" ] || fail "the game ended without a place on a roll of empty places"
    moves=$((moves + 1))
    [ "$moves" -le 200 ] || fail "no end of the game after 200 moves"
    read -r from to <<< "$(free_neighbour_move "$layout")"
    [ "$from" != 0 ] || { sleep 0.2; layout=$(cells_now); continue; }
    echo "move $moves: $from -> $to"
    click_board_cell "$from"
    click_board_cell "$to"
    # The turn is over when the board has changed and stays as it is.
    next=$layout
    for _ in $(seq 1 100); do
      sleep 0.15
      [ -n "$(window_named "恭喜您！")" ] && break
      next=$(cells_now)
      [ "$next" != "$layout" ] && [ "$next" = "$(cells_now)" ] && break
    done
    layout=$next
  done
  echo "$moves moves"
}

# Types the name into the name-entry window, confirms it, and closes the roll window that follows
# after taking a picture of it ($2). shownNames tells which of the roll's first three rows show a
# name (1) and which do not (0).
sign_the_roll() {
  local entry roll
  entry=$(wait_for_window "恭喜您！" 50)
  [ -n "$entry" ] || fail "no name-entry window"
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$entry" | sed 's/^/entry/')"
  # Without a window manager the keyboard follows the pointer; the field's text starts selected.
  xdotool mousemove --sync $((entryX + 100)) $((entryY + 60))
  xdotool type --delay 50 "$1"
  xdotool mousemove --sync $((entryX + 216 + 32)) $((entryY + 160 + 12)) click 1
  roll=$(wait_for_window "荣誉榜" 50)
  [ -n "$roll" ] || fail "the roll window did not open after the name entry"
  sleep 0.5
  import -window root "$2"
  eval "$(xdotool getwindowgeometry --shell "$roll" | sed 's/^/roll/')"
  shownNames=""
  for k in 1 2 3; do
    shownNames+=$(convert "$2" -crop "140x14+$((rollX + 61))+$((rollY + 32 + 25 * (k - 1)))" +repage txt:- |
                    awk 'NR > 1 && !/#000000/ { lit = 1 } END { print lit ? 1 : 0 }')
  done
  xdotool mousemove --sync $((rollX + 100)) $((rollY + 100)) key Escape
  for _ in $(seq 1 50); do
    [ -z "$(window_named "荣誉榜")" ] && return 0
    sleep 0.1
  done
  fail "Esc did not close the roll window"
}

# Both copies start and read the file of empty places.
export SDL_AUDIODRIVER=dummy
DISPLAY=$firstDisplay "$game/kelvora" > "$work/first.out" 2> "$work/first.err" &
firstPid=$!
DISPLAY=$secondDisplay "$game/kelvora" > "$work/second.out" 2> "$work/second.err" &
secondPid=$!
export DISPLAY=$firstDisplay
pid=$firstPid
wait_for_main_window 150
export DISPLAY=$secondDisplay
pid=$secondPid
wait_for_main_window 150

export DISPLAY=$firstDisplay
pid=$firstPid
wait_for_main_window 10
play_to_the_end
sign_the_roll Ann "$work/first-roll.png"
[ "$shownNames" = 100 ] || fail "the first copy's roll window shows names in rows '$shownNames', not in row 1 alone"
grep -q $'^[0-9]\\{7\\}Ann\r$' "$honour" || fail "the first copy's entry is not in the file"

export DISPLAY=$secondDisplay
pid=$secondPid
wait_for_main_window 10
play_to_the_end
sign_the_roll Bob "$work/second-roll.png"
[ "$shownNames" = 110 ] || fail "the second copy's roll window shows names in rows '$shownNames', not in rows 1 and 2"

# Both entries on top, the better score first and the later one below an equal score, in ten
# lines that each end in CR LF.
ann=$(tr -d '\r' < "$honour" | grep -E '^[0-9]{7}Ann$' || true)
bob=$(tr -d '\r' < "$honour" | grep -E '^[0-9]{7}Bob$' || true)
[ -n "$ann" ] && [ -n "$bob" ] || fail "the file lost an entry: $(tr -d '\r' < "$honour" | tr '\n' ' ')"
if [ $((10#${bob:0:7})) -gt $((10#${ann:0:7})) ]; then expected="$bob $ann"; else expected="$ann $bob"; fi
[ "$(tr -d '\r' < "$honour" | head -n 2 | tr '\n' ' ')" = "$expected " ] || fail "the first two places are not '$expected'"
[ "$(grep -c $'\r$' "$honour")" = 10 ] && [ "$(wc -l < "$honour")" = 10 ] || fail "the file is not ten CR LF lines"
echo "the roll: $expected"

for p in $firstPid $secondPid; do kill -TERM "$p"; done
for p in $firstPid $secondPid; do wait "$p" || true; done
if grep -qE 'AddressSanitizer|LeakSanitizer|runtime error' "$work/first.err" "$work/second.err"; then
  fail "a copy reported an error: $(grep -hE 'AddressSanitizer|LeakSanitizer|runtime error' "$work/first.err" "$work/second.err" | head -n 5)"
fi
leftovers=$(ls -A "$game" | grep -vxF -e kelvora -e 'Kelvora荣誉榜.ini' -e Tovenhal.Tovenhal || true)
[ -z "$leftovers" ] || fail "files left beside the game: $leftovers"
echo "PASS"
