#!/usr/bin/env bash
# Plays the Windows game under Wine in Xvfb (no window manager) from a fresh folder, and checks
# from the screen and the disk: the client area is 523 x 390; the grid, the checkerboard and the
# five balls of the first game are exact to the pixel; three preview balls; a select and a move
# give eight balls, and a select and a move by keys alone three more, the cursor showing where it
# goes; the honour-roll window opens, by the mouse and by Tab and Space, and one Esc closes it at
# once, the window having the keyboard as soon as it shows; the default honour file is there byte
# for byte under its Chinese name; the skin library was written, hidden, and is the build's own
# Windows DLL.
# Usage: play_game_wine.sh KELVORA-EXE SKIN-DLL SPRITE-SHEET WORK-DIR
set -euo pipefail
program=$1
skin=$2
sheet=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

for tool in Xvfb xdotool import getfattr python3; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
command -v wine64 >/dev/null || command -v wine >/dev/null || { echo "Wine is not installed: skipped"; exit 77; }
if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work/game"
  cp "$program" "$work/game/kelvora.exe"
  KELVORA_E2E_INNER=1 exec bash "$root/scripts/with-xvfb.sh" bash "$0" "$@"
fi

. "$here/wine_screen.sh"
use_wine_prefix "${KELVORA_WINE_DISPLAY_PREFIX:-$HOME/.kelvora-wine-display}"
game="$work/game"
honour="$game/Kelvora荣誉榜.ini"
# Wine's word when it waits for a window manager that is not there (checked at the end).
export WINEDEBUG=-all,fixme+event
start_game_under_wine "$game"

# The honour file of a first start: GBK, CR LF, under its Chinese name.
[ -f "$honour" ] || fail "no honour file beside the game"
expected=$(printf '0000870Tovenhal\r\n0000640Tovenhal\r\n0000500Tovenhal\r\n0000320Tovenhal\r\n0000210Tovenhal\r\n0000170Tovenhal\r\n0000135Tovenhal\r\n0000100Tovenhal\r\n0000055Tovenhal\r\n0000020Tovenhal\r\n' | od -c)
[ "$(od -c < "$honour")" = "$expected" ] || fail "the honour file is not the default roll"

# The skin library: our DLL byte for byte, marked hidden the way Wine keeps attributes on Linux.
library="$game/Tovenhal.Tovenhal"
[ -f "$library" ] || fail "no skin library beside the game"
cmp -s "$library" "$skin" || fail "the skin library is not the build's DLL"
attributes=$(getfattr --only-values -n user.DOSATTRIB "$library" 2>/dev/null || true)
[ -n "$attributes" ] && [ $((attributes & 2)) = 2 ] || fail "the skin library is not hidden (DOSATTRIB '$attributes')"
python3 - "$library" <<'PY' || fail "the skin library is not a PE DLL"
import struct, sys
data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
assert data[:2] == b"MZ" and data[pe:pe + 4] == b"PE\0\0"
assert struct.unpack_from("<H", data, pe + 22)[0] & 0x2000  # IMAGE_FILE_DLL
PY

[ "$WIDTH" = 523 ] && [ "$HEIGHT" = 390 ] || fail "client area ${WIDTH}x${HEIGHT}, not 523x390"

shoot() {
  import -window root "$work/$1.png"
  convert "$work/$1.png" "$work/$1.ppm"
  python3 "$here/check_board.py" "$work/$1.ppm" "$sheet" "$boardX" "$boardY" > "$work/$1.cells" ||
    fail "$1: $(cat "$work/$1.cells")"
  convert "$work/$1.png" -crop "120x40+$((X + 388))+$((Y + 104))" +repage txt:- > "$work/$1.preview.txt"
}
cells() { cat "$work/$1.cells"; }
preview_balls() {
  awk -F'[,: ]+' 'NR > 1 { split($0, a, "#"); px[$1 "," $2] = substr(a[2], 1, 6) }
    END { n = 0; for (s = 0; s < 3; s++) if (px[(s * 40 + 20) ",20"] != "000000") n++; print n }' "$work/$1.preview.txt"
}
shoot start
balls=$(count_balls "$(cells start)")
[ "$balls" = 5 ] || fail "the first game shows $balls balls, not 5"
[ "$(preview_balls start)" = 3 ] || fail "the preview does not show three balls"

read -r from to <<< "$(free_neighbour_move "$(cells start)")"
[ "$from" != 0 ] || fail "no ball with a free neighbour"
click_cell "$from"
sleep 1
click_cell "$to"
sleep 1.5
import -window root "$work/moved.png"
convert "$work/moved.png" -crop "360x360+$boardX+$boardY" +repage txt:- > "$work/moved.board.txt"
moved=$(board_cells_from_text "$work/moved.board.txt")
[ "${moved:$((to - 1)):1}" = 1 ] || fail "the ball did not arrive in cell $to"
balls=$(count_balls "$moved")
[ "$balls" = 8 ] || fail "after the move the board shows $balls balls, not 8"

# The same by keys alone, and the honour roll through the keyboard.
keyboard_move
keyboard_honour_round_trip

honour_roll_round_trip "$work/roll.png"
# Without a window manager, Wine hides a window only after waiting two seconds for a manager to
# answer; a window closed by Esc must go at once, not stay on the screen, the game frozen, for
# that long.
! grep -q wait_for_withdrawn_state "$work/stderr.txt" || fail "a closed window stayed while Wine waited for a window manager"

kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "PASS"
