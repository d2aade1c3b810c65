#!/usr/bin/env bash
# Plays the Windows game under Wine in Xvfb (no window manager) from a fresh folder, and checks
# from the screen and the disk: the client area is 523 x 390; the grid, the checkerboard and the
# five balls of the first game are exact to the pixel; three preview balls; a select and a move
# give eight balls; the honour-roll window opens and Esc closes it; the default honour file is
# there byte for byte under its Chinese name; the skin library was written, hidden, and is the
# build's own Windows DLL.
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

# A Wine prefix of its own: a Wine server already running for the tests' prefix (unit tests run
# beside this one) would put the game's windows on its own display, or on none. Whatever Wine
# still runs in this prefix belongs to an earlier run of this test, on a display now gone.
export WINEPREFIX=${KELVORA_WINE_DISPLAY_PREFIX:-$HOME/.kelvora-wine-display}
[ ! -d "$WINEPREFIX" ] || wineserver -k 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT

game="$work/game"
honour="$game/Kelvora荣誉榜.ini"
pid=""
fail() { echo "FAIL: $*"; [ -z "$pid" ] || kill "$pid" 2>/dev/null || true; exit 1; }

. "$root/tests/e2e/screen_play.sh"
# Wine types and states its windows itself, from their Win32 styles: an owned window is a normal
# one to the X server, and its modality is the game's own (the owner takes no input meanwhile).
# Its owner, buttons and place are still checked.
dialog_type_checks=no

(cd "$game" && exec "$root/scripts/wine-run.sh" ./kelvora.exe) > "$work/stdout.txt" 2> "$work/stderr.txt" &
pid=$!
# A cold Wine takes a few seconds before the first window.
wait_for_main_window 600

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

honour_roll_round_trip "$work/roll.png"

kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "PASS"
