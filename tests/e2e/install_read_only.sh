#!/usr/bin/env bash
# Installs the game into a fresh prefix, checks what a desktop needs is there (menu entry, icons,
# AppStream data), makes the prefix read-only and plays it as an unprivileged user under Xvfb: the
# honour file and the skin library then go to the user's data folder, twice in a row, and nothing
# in the prefix changes. Run as root, the game runs as user 65534 (nobody); run as anyone else,
# as that user.
# Usage: install_read_only.sh BUILD-DIR WORK-DIR
set -euo pipefail
build=$1
work=$2
appId=org.kelvora.Kelvora
nobody=65534

for tool in Xvfb xdotool import convert identify; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
if [ "$(id -u)" = 0 ] && ! command -v setpriv >/dev/null; then
  echo "setpriv is not installed, so root cannot drop its rights: skipped"
  exit 77
fi

fail() { echo "FAIL: $*"; exit 1; }

# ---- Outside the X server: install, check the files, lock the prefix, hand over to the user.
if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  [ -d "$work" ] && chmod -R u+w "$work"
  rm -rf "$work"
  mkdir -p "$work"
  prefix="$work/prefix"
  cmake --install "$build" --prefix "$prefix" > "$work/install.log"

  [ -x "$prefix/bin/kelvora" ] || fail "no executable bin/kelvora"
  desktop="$prefix/share/applications/$appId.desktop"
  metainfo="$prefix/share/metainfo/$appId.metainfo.xml"
  [ -f "$desktop" ] || fail "no menu entry $desktop"
  [ -f "$metainfo" ] || fail "no AppStream file $metainfo"
  grep -qx "Exec=kelvora" "$desktop" || fail "the menu entry does not start kelvora"
  grep -qx "Icon=$appId" "$desktop" || fail "the menu entry does not name the icon $appId"
  grep -q "<launchable type=\"desktop-id\">$appId.desktop</launchable>" "$metainfo" ||
    fail "the AppStream file does not launch $appId.desktop"
  # The validators are optional tools; where they are installed they must agree.
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
  else
    echo "desktop-file-validate is not installed: menu entry not validated"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the AppStream file"
  else
    echo "appstreamcli is not installed: AppStream file not validated"
  fi

  # Each icon decodes (ImageMagick reads it, CRCs and all), has its size, a see-through corner and
  # an opaque, red middle: the red ball.
  for side in 48 64 128; do
    icon="$prefix/share/icons/hicolor/${side}x${side}/apps/$appId.png"
    [ -f "$icon" ] || fail "no ${side}x${side} icon"
    size=$(identify -format '%w %h' "$icon") || fail "the ${side}x${side} icon does not decode"
    [ "$size" = "$side $side" ] || fail "the ${side}x${side} icon is $size"
    corner=$(convert "$icon" -format '%[fx:int(255*p{0,0}.a)]' info:)
    [ "$corner" = 0 ] || fail "the ${side}x${side} icon's corner is not transparent (alpha $corner)"
    read -r alpha red green < <(convert "$icon" -format \
      "%[fx:int(255*p{$((side / 2)),$((side / 2))}.a)] %[fx:int(255*p{$((side / 2)),$((side * 3 / 4))}.r)] %[fx:int(255*p{$((side / 2)),$((side * 3 / 4))}.g)]\n" info:)
    [ "$alpha" = 255 ] || fail "the ${side}x${side} icon's middle is not opaque (alpha $alpha)"
    [ "$red" -gt 120 ] && [ "$green" -lt 80 ] || fail "the ${side}x${side} icon is not a red ball (r $red, g $green)"
  done

  # The player: root drops to nobody; anyone else is unprivileged already. Either way the prefix
  # is made read-only too, so the test means the same for both.
  chmod -R a-w "$prefix"
  find "$prefix" -printf '%p %s %m\n' | sort > "$work/prefix-before.txt"
  mkdir -p "$work/home" "$work/out"
  run_as=()
  if [ "$(id -u)" = 0 ]; then
    chown "$nobody:$nobody" "$work/home" "$work/out"
    run_as=(setpriv --reuid="$nobody" --regid="$nobody" --clear-groups)
    "${run_as[@]}" test -x "$prefix/bin/kelvora" ||
      fail "user $nobody cannot reach $prefix/bin/kelvora (a folder above it is closed to others)"
  fi
  "${run_as[@]}" test ! -w "$prefix/bin" || fail "the player can still write into $prefix/bin"

  status=0
  "${run_as[@]}" env -u XDG_DATA_HOME -u XDG_RUNTIME_DIR -u XAUTHORITY -u DISPLAY HOME="$work/home" \
    KELVORA_E2E_INNER=1 bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/with-xvfb.sh" bash "$0" "$build" "$work" || status=$?

  find "$prefix" -printf '%p %s %m\n' | sort > "$work/prefix-after.txt"
  chmod -R u+w "$prefix"
  [ "$status" = 0 ] || exit "$status"
  cmp -s "$work/prefix-before.txt" "$work/prefix-after.txt" || fail "playing changed the installed files"
  echo "PASS"
  exit 0
fi

# ---- Inside the X server, as the player.
prefix="$work/prefix"
out="$work/out"
data="$HOME/.local/share/Tovenhal/Kelvora"
honour="$data/Kelvora荣誉榜.ini"
library="$data/Tovenhal.Tovenhal"
pid=""
fail() { echo "FAIL: $*"; [ -n "$pid" ] && kill "$pid" 2>/dev/null; exit 1; }

# Starts the installed game, waits for its window and returns its geometry in X, Y, WIDTH, HEIGHT.
start_game() {
  SDL_AUDIODRIVER=dummy "$prefix/bin/kelvora" > "$out/stdout-$1.txt" 2> "$out/stderr-$1.txt" &
  pid=$!
  local window=""
  for _ in $(seq 1 100); do
    window=$(xdotool search --name "Kelvora 1.1" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended before showing its window: $(cat "$out/stderr-$1.txt")"
    sleep 0.1
  done
  if [ -z "$window" ]; then
    # What the game was doing, and which windows there were, for whoever reads the failure.
    echo "the game's state: $(awk '/^State:/ { print $2, $3 }' "/proc/$pid/status" 2>/dev/null)"
    echo "its standard error:"; cat "$out/stderr-$1.txt"
    echo "windows on the display:"
    for id in $(xdotool search --name "" 2>/dev/null); do echo "  $id $(xdotool getwindowname "$id" 2>/dev/null)"; done
    command -v gdb >/dev/null && gdb -batch -p "$pid" -ex "thread apply all bt 12" 2>/dev/null | grep -E '^(#|Thread)'
    fail "no window within 10 s"
  fi
  sleep 0.5
  # The client area itself: under a window manager xdotool counts the frame in once more.
  eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { print "X=" $NF } /Absolute upper-left Y/ { print "Y=" $NF }
    /Width:/ { print "WIDTH=" $NF } /Height:/ { print "HEIGHT=" $NF }')"
}

stop_game() {
  kill -TERM "$pid"
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the game did not end"
  wait "$pid" || true
  pid=""
}

# How many of the 81 cells show a ball: a cell's middle differs from its empty background.
count_balls() {
  import -window root "$out/$1.png"
  convert "$out/$1.png" -crop "360x360+$((X + 8))+$((Y + 8))" +repage txt:- |
    awk -F'[,: ]+' 'NR > 1 { split($0, a, "#"); px[$1 "," $2] = substr(a[2], 1, 6) }
      END { n = 0; for (c = 1; c <= 81; c++) { x = ((c - 1) % 9) * 40 + 20; y = int((c - 1) / 9) * 40 + 20;
            bg = (c % 2) ? "212021" : "000000"; if (px[x "," y] != bg) n++ } print n }'
}

[ ! -e "$data" ] || fail "the fresh home already holds $data"

start_game first
[ "$WIDTH" = 523 ] && [ "$HEIGHT" = 390 ] || fail "client area ${WIDTH}x${HEIGHT}, not 523x390"
[ -f "$honour" ] || fail "no honour file in $data"
expected=$(printf '0000870Tovenhal\r\n0000640Tovenhal\r\n0000500Tovenhal\r\n0000320Tovenhal\r\n0000210Tovenhal\r\n0000170Tovenhal\r\n0000135Tovenhal\r\n0000100Tovenhal\r\n0000055Tovenhal\r\n0000020Tovenhal\r\n' | od -c)
[ "$(od -c < "$honour")" = "$expected" ] || fail "the honour file is not the default roll"
[ "$(head -c 4 "$library" | od -An -c | tr -d ' ')" = '177ELF' ] || fail "no skin library in $data"
# Hidden the way Wine keeps it, where the file system keeps user attributes at all.
if command -v getfattr >/dev/null; then
  attribute=$(getfattr --only-values -n user.DOSATTRIB "$library" 2>/dev/null || true)
  if [ -n "$attribute" ]; then
    [ "$attribute" = 0x2 ] || fail "the skin library's attributes are $attribute, not hidden (0x2)"
  else
    echo "no user attributes here: the hidden mark is not checked"
  fi
fi
balls=$(count_balls first)
[ "$balls" = 5 ] || fail "the first game shows $balls balls, not 5"
stop_game

# A second start finds both files from the first and changes neither.
honourSum=$(md5sum < "$honour")
librarySum=$(md5sum < "$library")
start_game second
balls=$(count_balls second)
[ "$balls" = 5 ] || fail "the second start shows $balls balls, not 5"
stop_game
[ "$(md5sum < "$honour")" = "$honourSum" ] || fail "the second start changed the honour file"
[ "$(md5sum < "$library")" = "$librarySum" ] || fail "the second start changed the skin library"
[ "$(ls -A "$data" | sort | tr '\n' ' ')" = "Kelvora荣誉榜.ini Tovenhal.Tovenhal " ] ||
  fail "the data folder holds $(ls -A "$data" | tr '\n' ' ')"
exit 0
