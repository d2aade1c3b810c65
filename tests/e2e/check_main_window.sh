#!/usr/bin/env bash
# Opens the main window under Xvfb (no window manager), takes a screenshot of the whole screen and
# checks the window's client size and a few of its pixels.
# Usage: check_main_window.sh PROGRAM OUTPUT-DIR
set -euo pipefail
program=$1
out=$2

if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: skipped"
  exit 77
fi

if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  mkdir -p "$out"
  rm -f "$out/ready" "$out/shot.png"
  KELVORA_E2E_INNER=1 exec bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/with-xvfb.sh" bash "$0" "$program" "$out"
fi

fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null || true; exit 1; }

# No sound device in the test; the program must go on silently.
SDL_AUDIODRIVER=dummy "$program" --ready-file "$out/ready" --seconds 30 &
pid=$!
for _ in $(seq 1 100); do
  [ -s "$out/ready" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended before showing its window"
  sleep 0.1
done
[ -s "$out/ready" ] || fail "no window within 10 s"
sleep 0.5

import -window root "$out/shot.png"

read -r clientWidth clientHeight _ < "$out/ready"
[ "$clientWidth" = 523 ] && [ "$clientHeight" = 390 ] || fail "client area ${clientWidth}x${clientHeight}, not 523x390"

window=$(xdotool search --name "Kelvora 1.1" | head -n 1)
[ -n "$window" ] || fail "no window titled Kelvora 1.1"
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window $window at $X,$Y size ${WIDTH}x${HEIGHT}"
[ "$WIDTH" = 523 ] && [ "$HEIGHT" = 390 ] || fail "X window is ${WIDTH}x${HEIGHT}, not 523x390"
# Centred on the 1024 x 768 screen from its layout size 530 x 442 (no frame without a window manager).
[ "$X" = 247 ] && [ "$Y" = 163 ] || fail "window at $X,$Y, not centred at 247,163"

# A client pixel as RRGGBB, read from the screenshot.
pixel() { convert "$out/shot.png" -format "%[hex:p{$((X + $1)),$((Y + $2))}]" info: | cut -c1-6; }
expect() {
  local got
  got=$(pixel "$1" "$2")
  [ "$got" = "$3" ] || fail "pixel ($1, $2) is $got, expected $3 ($4)"
}
expect 2 2 ECECEC "window background"
expect 10 10 212021 "board cell 1"
expect 50 10 000000 "board cell 2"
expect 396 230 F0F0F0 "start button face"
expect 392 212 FFFFFF "start button highlight"
expect 395 320 000000 "best name label background"

# The red heading "目前最佳纪录" and its white emboss must both be there.
count() {
  convert "$out/shot.png" -crop "$3x$4+$((X + $1))+$((Y + $2))" +repage -fill black +opaque "#$5" \
    -fill white -opaque "#$5" -format "%[fx:round(mean*w*h)]" info:
}
red=$(count 394 288 110 24 FF0000)
white=$(count 394 288 110 24 FFFFFF)
echo "heading: $red red and $white white pixels"
[ "$red" -gt 150 ] || fail "the heading has only $red red pixels"
[ "$white" -gt 20 ] || fail "the heading has only $white white (embossed) pixels"

kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "PASS"
