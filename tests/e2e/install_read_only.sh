#!/usr/bin/env bash
# Installs the game into a fresh prefix, or unpacks its Debian package into a fresh root, checks
# what a desktop needs is there (menu entry, icons, AppStream data, manual page), makes the tree
# read-only and plays it as an unprivileged user under Xvfb: the honour file and the skin library
# go to the user's data folder, a move is played, a second start finds both files unchanged, and
# nothing in the tree changes. An install from the build is then uninstalled and must leave
# nothing behind. Run as root, the game runs as user 65534 (nobody); run as anyone else, as that
# user.
# Usage: install_read_only.sh BUILD-DIR WORK-DIR
#        install_read_only.sh --package KELVORA.deb WORK-DIR
set -euo pipefail
if [ "$1" = --package ]; then
  package=$(realpath "$2")
  work=$(realpath -m "$3")
  prefix="$work/root/usr"
  program="$prefix/games/kelvora"
else
  package=""
  build=$(realpath "$1")
  work=$(realpath -m "$2")
  prefix="$work/prefix"
  program="$prefix/bin/kelvora"
fi
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
  if [ -n "$package" ]; then
    dpkg -x "$package" "$work/root"
    # The faces are found by name, so nothing in the executable tells the package tools about
    # them. The clips are mixed on SDL's own audio: no mixer library, and no MIDI synthesiser
    # that came with one, for a game that plays no music. FreeType draws the glyphs itself: no
    # SDL_ttf, and no text shaper with it, for a game that lays out one character after another.
    depends=$(dpkg-deb -f "$package" Depends)
    for needed in libsdl2-2.0-0 libfreetype6 libfontconfig1 \
                  fonts-arphic-uming fonts-wqy-microhei fonts-liberation2; do
      [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "the package does not depend on $needed: $depends"
    done
    [[ "$depends" != *mixer* && "$depends" != *fluidsynth* ]] || fail "the package depends on a mixer: $depends"
    [[ "$depends" != *ttf* && "$depends" != *harfbuzz* ]] || fail "the package depends on SDL_ttf: $depends"
    [ "$(dpkg-deb -f "$package" Section)" = games ] || fail "the package is not in the games section"
    grep -q '^License: Expat' "$prefix/share/doc/kelvora/copyright" || fail "no MIT (Expat) licence in the copyright file"
    [ -f "$prefix/share/doc/kelvora/changelog.gz" ] || fail "no changelog in the package"
  else
    cmake --install "$build" --prefix "$prefix" > "$work/install.log"
    cmp -s "$prefix/share/doc/kelvora/LICENSE" "$(dirname "$0")/../../LICENSE" || fail "the licence is not installed"
  fi

  [ -x "$program" ] || fail "no executable $program"
  gzip -dc "$prefix/share/man/man6/kelvora.6.gz" | grep -q '^\.TH KELVORA 6' || fail "no manual page kelvora(6)"
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
    "${run_as[@]}" test -x "$program" ||
      fail "user $nobody cannot reach $program (a folder above it is closed to others)"
  fi
  "${run_as[@]}" test ! -w "$(dirname "$program")" || fail "the player can still write into $(dirname "$program")"

  status=0
  "${run_as[@]}" env -u XDG_DATA_HOME -u XDG_RUNTIME_DIR -u XAUTHORITY -u DISPLAY HOME="$work/home" \
    KELVORA_E2E_INNER=1 bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/with-xvfb.sh" bash "$0" "$@" || status=$?

  find "$prefix" -printf '%p %s %m\n' | sort > "$work/prefix-after.txt"
  chmod -R u+w "$prefix"
  [ "$status" = 0 ] || exit "$status"
  cmp -s "$work/prefix-before.txt" "$work/prefix-after.txt" || fail "playing changed the installed files"

  # Uninstalling removes every file and every folder the install made: here the whole prefix.
  if [ -z "$package" ]; then
    cmake --build "$build" --target uninstall > "$work/uninstall.log" || { cat "$work/uninstall.log"; fail "uninstall failed"; }
    [ ! -e "$prefix" ] || fail "uninstalling left $(find "$prefix" | tr '\n' ' ')"
  fi
  echo "PASS"
  exit 0
fi

# ---- Inside the X server, as the player.
out="$work/out"
data="$HOME/.local/share/Tovenhal/Kelvora"
honour="$data/Kelvora荣誉榜.ini"
library="$data/Tovenhal.Tovenhal"
pid=""
stderr_file=""
fail() {
  echo "FAIL: $*"
  if [ -n "$pid" ]; then
    # What the game was doing, and which windows there were, for whoever reads the failure.
    echo "the game's state: $(awk '/^State:/ { print $2, $3 }' "/proc/$pid/status" 2>/dev/null)"
    echo "its standard error:"; cat "$stderr_file"
    echo "windows on the display:"
    for id in $(xdotool search --name "" 2>/dev/null); do echo "  $id $(xdotool getwindowname "$id" 2>/dev/null)"; done
    command -v gdb >/dev/null && gdb -batch -p "$pid" -ex "set debuginfod enabled off" -ex "thread apply all bt 12" \
      < /dev/null 2>/dev/null | grep -E '^(#|Thread)' || true
    kill "$pid" 2>/dev/null
  fi
  exit 1
}

. "$(dirname "$0")/screen_play.sh"

# Starts the installed game and waits for its board: sets window, X, Y, WIDTH, HEIGHT, boardX, boardY.
start_game() {
  stderr_file="$out/stderr-$1.txt"
  SDL_AUDIODRIVER=dummy "$program" > "$out/stdout-$1.txt" 2> "$stderr_file" &
  pid=$!
  wait_for_main_window 100
}

stop_game() {
  kill -TERM "$pid"
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the game did not end"
  wait "$pid" || true
  pid=""
}

# The board's cells as 1 (ball) or 0, read off the screen.
board_cells() {
  import -window root "$out/$1.png"
  convert "$out/$1.png" -crop "360x360+$boardX+$boardY" +repage txt:- > "$out/$1.board.txt"
  board_cells_from_text "$out/$1.board.txt"
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
cells=$(board_cells first)
[ "$(count_balls "$cells")" = 5 ] || fail "the first game shows $(count_balls "$cells") balls, not 5"

# A move: select a ball, send it to a free neighbouring cell, and three new balls come.
read -r from to <<< "$(free_neighbour_move "$cells")"
[ "$from" != 0 ] || fail "no ball with a free neighbour"
click_cell "$from"
sleep 1
click_cell "$to"
sleep 1.5
moved=$(board_cells moved)
[ "${moved:$((to - 1)):1}" = 1 ] || fail "the ball did not arrive in cell $to"
[ "$(count_balls "$moved")" = 8 ] || fail "after the move the board shows $(count_balls "$moved") balls, not 8"
stop_game

# A second start finds both files from the first and changes neither.
honourSum=$(md5sum < "$honour")
librarySum=$(md5sum < "$library")
start_game second
cells=$(board_cells second)
[ "$(count_balls "$cells")" = 5 ] || fail "the second start shows $(count_balls "$cells") balls, not 5"
stop_game
[ "$(md5sum < "$honour")" = "$honourSum" ] || fail "the second start changed the honour file"
[ "$(md5sum < "$library")" = "$librarySum" ] || fail "the second start changed the skin library"
[ "$(ls -A "$data" | sort | tr '\n' ' ')" = "Kelvora荣誉榜.ini Tovenhal.Tovenhal " ] ||
  fail "the data folder holds $(ls -A "$data" | tr '\n' ' ')"
exit 0
