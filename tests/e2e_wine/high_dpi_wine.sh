#!/usr/bin/env bash
# The Windows game under Wine on a 192-dpi screen of 2048 x 1536: its windows come out twice the
# size, every game pixel a 2 x 2 block, the main window centred on the screen and the honour roll
# on the main window, and the mouse answers at twice the game's coordinates.
# Usage: high_dpi_wine.sh KELVORA-EXE WORK-DIR
set -euo pipefail
program=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

for tool in Xvfb xdotool import compare; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
command -v wine64 >/dev/null || command -v wine >/dev/null || { echo "Wine is not installed: skipped"; exit 77; }
if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work/game"
  cp "$program" "$work/game/kelvora.exe"
  KELVORA_E2E_INNER=1 exec bash "$root/scripts/with-xvfb.sh" --screen 2048x1536x24 bash "$0" "$@"
fi

. "$here/wine_screen.sh"
# A prefix of its own, for its own screen resolution.
use_wine_prefix "${KELVORA_WINE_DPI_PREFIX:-$HOME/.kelvora-wine-dpi}"
"$root/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
wineserver -w
start_game_under_wine "$work/game"

[ "$WIDTH" = 1046 ] && [ "$HEIGHT" = 780 ] || fail "at 192 dpi the client area is ${WIDTH}x${HEIGHT}, not 1046x780"
import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$work/scaled.png"
convert "$work/scaled.png" -sample 50% -sample 200% "$work/blocks.png"
[ "$(compare -metric AE "$work/scaled.png" "$work/blocks.png" null: 2>&1 || true)" = 0 ] ||
  fail "at 192 dpi some game pixel is not a 2 x 2 block of one colour"

# Centred on the screen, as at 96 dpi. Without a window manager Wine shows no frame, so the client
# area's centre is off the screen's by the frame's unevenness: up to 16 screen pixels each way.
read -r cx cy <<< "$(outer_centre_twice "$window")"
[ $(((cx - 2048) * (cx - 2048))) -le 1024 ] && [ $(((cy - 1536) * (cy - 1536))) -le 1024 ] ||
  fail "the main window's centre ($cx, $cy)/2 is not the screen's (1024, 768)"

# The honour-roll button at game pixel (445, 262) answers a click at (890, 524); the roll is
# centred on the main window; Esc closes it.
xdotool mousemove --sync $((X + 890)) $((Y + 524)) click 1
roll=""
for _ in $(seq 1 50); do roll=$(window_named "荣誉榜"); [ -n "$roll" ] && break; sleep 0.1; done
[ -n "$roll" ] || fail "a click at twice the honour-roll button's position did not press it"
sleep 0.4
import -window root "$work/roll.png"
read -r mx my <<< "$(outer_centre_twice "$window")"
read -r dx dy <<< "$(outer_centre_twice "$roll")"
[ $(((mx - dx) * (mx - dx))) -le 16 ] && [ $(((my - dy) * (my - dy))) -le 16 ] ||
  fail "the roll's centre ($dx, $dy)/2 is not within one game pixel of the main window's ($mx, $my)/2"
xdotool mousemove --sync $((X + 400)) $((Y + 400)) key Escape
for _ in $(seq 1 50); do [ -z "$(window_named "荣誉榜")" ] && break; sleep 0.1; done
[ -z "$(window_named "荣誉榜")" ] || fail "Esc did not close the roll"

kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "PASS"
