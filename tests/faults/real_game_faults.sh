#!/usr/bin/env bash
# The real game under Xvfb in a hostile setting: it must start, show its first game, take a move,
# open and close its honour-roll window, and exit with status 0 when told to end (TERM).
#   no-audio   SDL finds no audio driver it can start (a driver that does not exist, a device path
#              that leads nowhere): the game plays in silence.
#   no-audio-device  SDL's audio starts (ALSA) but the device it is pointed at does not exist, so
#              no device opens: the game plays in silence.
#   no-fonts   fontconfig knows no font at all: texts draw nothing, the game still plays and says
#              once which package brings a font.
#   read-only  neither the program's folder nor the home folder may be written (root runs the game
#              as user 65534, anyone else as themselves): the game plays with its honour roll in
#              memory and writes nothing, neither in those folders nor, where strace is at hand,
#              anywhere else.
# Usage: real_game_faults.sh MODE KELVORA-EXECUTABLE WORK-DIR
set -euo pipefail
mode=$1
program=$2
work=$3
nobody=65534

case "$mode" in
  no-audio | no-audio-device | no-fonts | read-only) ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done

# ---- Outside the X server: a fresh folder for the game and a home, locked for read-only.
if [ "${KELVORA_FAULT_INNER:-}" != 1 ]; then
  fail() { echo "FAIL: $*"; exit 1; }
  [ -d "$work" ] && chmod -R u+w "$work"
  rm -rf "$work"
  mkdir -p "$work/game" "$work/home" "$work/out"
  cp "$program" "$work/game/kelvora"
  run_as=()
  if [ "$mode" = read-only ]; then
    if [ "$(id -u)" = 0 ]; then
      command -v setpriv >/dev/null || { echo "setpriv is not installed, so root cannot drop its rights: skipped"; exit 77; }
      chown "$nobody:$nobody" "$work/out"
      run_as=(setpriv --reuid="$nobody" --regid="$nobody" --clear-groups)
    fi
    chmod -R a-w "$work/game" "$work/home"
    "${run_as[@]}" test -x "$work/game/kelvora" ||
      fail "the player cannot reach $work/game/kelvora (a folder above it is closed to others)"
    "${run_as[@]}" test ! -w "$work/game" || fail "the player can still write into the game's folder"
    "${run_as[@]}" test ! -w "$work/home" || fail "the player can still write into the home folder"
  fi
  find "$work/game" "$work/home" -printf '%p %s %m %T@\n' | sort > "$work/before.txt"

  status=0
  "${run_as[@]}" env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_RUNTIME_DIR -u XAUTHORITY \
    -u DISPLAY HOME="$work/home" KELVORA_FAULT_INNER=1 \
    bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/with-xvfb.sh" bash "$0" "$mode" "$program" "$work" || status=$?

  find "$work/game" "$work/home" -printf '%p %s %m %T@\n' | sort > "$work/after.txt"
  chmod -R u+w "$work"
  [ "$status" = 0 ] || exit "$status"
  if [ "$mode" = read-only ]; then
    cmp -s "$work/before.txt" "$work/after.txt" || fail "the game changed its folder or the home folder:
$(diff "$work/before.txt" "$work/after.txt")"
  fi
  echo "PASS"
  exit 0
fi

# ---- Inside the X server, as the player.
game="$work/game"
out="$work/out"
pid=""
fail() {
  echo "FAIL: $*"
  [ -s "$out/stderr.txt" ] && { echo "--- the game's standard error:"; head -n 40 "$out/stderr.txt"; }
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  exit 1
}

# Built with the sanitizers, the game reports leaks at its end; those inside system libraries are
# not the game's.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan_system_libraries.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export SDL_AUDIODRIVER=dummy
case "$mode" in
  no-audio)
    export SDL_AUDIODRIVER=kelvora-no-such-driver AUDIODEV=/nonexistent/dsp
    ;;
  no-audio-device)
    export SDL_AUDIODRIVER=alsa AUDIODEV=kelvora-no-such-device
    ;;
  no-fonts)
    printf '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n<fontconfig></fontconfig>\n' > "$out/no-fonts.conf"
    export FONTCONFIG_FILE="$out/no-fonts.conf"
    if command -v fc-list >/dev/null; then
      [ -z "$(fc-list 2>/dev/null)" ] || fail "fontconfig still finds fonts with the empty configuration"
    fi
    ;;
esac

# Every call that could create, change or remove a file, with its result.
tracer=()
if [ "$mode" = read-only ] && strace -f -o /dev/null true 2>/dev/null; then
  # One file per thread, so that no call is split across lines by another thread's.
  tracer=(strace -ff -qq -o "$out/trace"
          -e trace=open,openat,openat2,creat,mkdir,mkdirat,rename,renameat,renameat2,unlink,unlinkat,rmdir,link,linkat,symlink,symlinkat,truncate,chmod,fchmodat,chown,fchownat,utimensat,setxattr,lsetxattr)
  # The leak checker cannot work under strace.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
elif [ "$mode" = read-only ]; then
  echo "strace cannot trace here: only the game's folder and the home folder are checked"
fi
"${tracer[@]}" "$game/kelvora" > "$out/stdout.txt" 2> "$out/stderr.txt" &
pid=$!

. "$(dirname "$0")/../e2e/screen_play.sh"
wait_for_main_window 150

cells() {
  import -window root "$out/$1.png"
  convert "$out/$1.png" -crop "360x360+$boardX+$boardY" +repage txt:- > "$out/$1.board.txt"
  board_cells_from_text "$out/$1.board.txt"
}

start=$(cells start)
[ "$(count_balls "$start")" = 5 ] || fail "the first game shows $(count_balls "$start") balls, not 5"

# A move: a ball to a free cell beside it; three new balls follow.
read -r from to <<< "$(free_neighbour_move "$start")"
[ "$from" != 0 ] || fail "no ball with a free neighbour"
click_cell "$from"
sleep 0.6
click_cell "$to"
sleep 1.5
moved=$(cells moved)
[ "${moved:$((to - 1)):1}" = 1 ] || fail "the ball did not arrive in cell $to"
[ "$(count_balls "$moved")" = 8 ] || fail "after the move the board shows $(count_balls "$moved") balls, not 8"

# The honour roll opens over the game and Esc closes it.
honour_roll_round_trip ""

# Told to end, the game ends at once and cleanly.
gamePid=$(xdotool getwindowpid "$window" 2>/dev/null || echo "$pid")
kill -TERM "$gamePid"
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the game did not end within 10 s of TERM"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "the game ended with status $status"
if grep -qE 'AddressSanitizer|LeakSanitizer|runtime error|运行时出错' "$out/stderr.txt"; then
  fail "the game reported an error"
fi
# Blank captions are explained to the player once, with the package that brings a font; with
# fonts, nothing is said.
fontWords=$(grep -c 'no Chinese font was found.*fonts-arphic-uming' "$out/stderr.txt" || true)
[ "$mode" != no-fonts ] || [ "$fontWords" = 1 ] || fail "without fonts the game said $fontWords times that it has none"
[ "$mode" = no-fonts ] || [ "$fontWords" = 0 ] || fail "with fonts the game said it has none"

if [ "${#tracer[@]}" -gt 0 ]; then
  cat "$out"/trace.* > "$out/trace.txt"
  [ -s "$out/trace.txt" ] || fail "strace recorded nothing"
  # Successful calls that create or change a file; opening for reading only is fine, and so are
  # the devices under /dev.
  written=$(grep -E '^(open|openat|openat2|creat)\(' "$out/trace.txt" |
              grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|^creat\(' | grep -vE '= -1 ' | grep -v '"/dev/' || true)
  changed=$(grep -E '^(mkdir|mkdirat|rename|renameat|renameat2|unlink|unlinkat|rmdir|link|linkat|symlink|symlinkat|truncate|chmod|fchmodat|chown|fchownat|utimensat|setxattr|lsetxattr)\(' "$out/trace.txt" |
              grep -E '= 0$' || true)
  [ -z "$written$changed" ] || fail "the game wrote to the file system:
$written
$changed"
fi
exit 0
