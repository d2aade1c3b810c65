#!/usr/bin/env bash
# Failures a player can read and escape, on the Windows game under Wine in Xvfb.
#   report   A folder named "Tovenhal.Tovenhal" where the skin library belongs: the fatal report,
#            Windows' own message box, shows its text exactly as the system draws that text in the
#            box's font, and Enter ends the game with the report's exit code, 255.
#   files    A FIFO where the honour file belongs: the game starts and shows its board, and the
#            FIFO is left as it was. A FIFO where the skin library belongs: the fatal report.
#   signals  SIGTERM in the main loop, in a turn's animation, with the honour-roll window open and
#            with the fatal report open: each ends the game within a second, and nothing in its
#            folder is written or deleted on the way out.
# Usage: failures_wine.sh MODE KELVORA-EXE REPORT-BOX-TEXT-EXE WORK-DIR
set -euo pipefail
mode=$1
program=$2
reader=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

case "$mode" in
  report | files | signals) ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac
for tool in Xvfb xdotool xwininfo import convert; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
command -v wine64 >/dev/null || command -v wine >/dev/null || { echo "Wine is not installed: skipped"; exit 77; }
if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work"
  KELVORA_E2E_INNER=1 exec bash "$root/scripts/with-xvfb.sh" bash "$0" "$@"
fi

. "$here/wine_screen.sh"
# One prefix for the three modes, which ctest runs one after the other.
use_wine_prefix "$HOME/.kelvora-wine-failures"

# A fresh folder with the game in it; $2, when given, is what stands where a file of the game
# belongs: "folder:NAME" or "fifo:NAME".
fresh_game() {
  game="$work/$1"
  rm -rf "$game"
  mkdir -p "$game"
  cp "$program" "$game/kelvora.exe"
  case "${2:-}" in
    folder:*) mkdir "$game/${2#folder:}" ;;
    fifo:*) mkfifo "$game/${2#fifo:}" ;;
  esac
}

start_game() {
  (cd "$game" && exec "$root/scripts/wine-run.sh" ./kelvora.exe) > "$game.stdout" 2> "$game.stderr" &
  pid=$!
}

folder_state() { find "$game" -printf '%p %y %s %T@\n' | sort; }

# Waits for the report box (a cold Wine takes a few seconds) and sets report.
wait_for_report() {
  report=""
  for _ in $(seq 1 600); do
    report=$(window_named "Kelvora")
    [ -n "$report" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended without showing its fatal report"
    sleep 0.1
  done
  [ -n "$report" ] || fail "no fatal report within 60 s"
  sleep 0.5
}

# The game must be gone within $1 seconds of $2 (what was done to it), and its windows with it;
# when $3 is given, its status must be that. A request to end gets a second; a dismissed report
# may take longer, as any closing window can (without a window manager Wine waits 2 s for one).
ends_within() {
  for _ in $(seq 1 $(($1 * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the game went on for more than $1 s after $2"
  shift
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ -z "${2:-}" ] || [ "$status" = "$2" ] || fail "after $1 the game ended with status $status, not $2"
  [ -z "$(window_named "Kelvora")" ] || fail "the report stayed on the screen after $1"
}

press_in_report() {
  eval "$(xwininfo -id "$report" | awk '/Absolute upper-left X/ { print "RX=" $NF } /Absolute upper-left Y/ { print "RY=" $NF }')"
  xdotool mousemove --sync $((RX + 10)) $((RY + 10)) key "$1"
}

case "$mode" in
  report)
    fresh_game report folder:Tovenhal.Tovenhal
    start_game
    wait_for_report
    import -window root "$work/report.png"
    "$root/scripts/wine-run.sh" "$reader" "$(winepath -w "$work/report" 2>/dev/null)" > "$work/reader.txt" 2>&1 ||
      fail "the report's text is not the expected one: $(cat "$work/reader.txt")"
    press_in_report Return
    ends_within 10 "Enter in the report" 255
    ;;

  files)
    fresh_game honour fifo:Kelvora荣誉榜.ini
    start_game
    wait_for_main_window 600
    import -window root "$work/honour_fifo.png"
    [ -p "$game/Kelvora荣誉榜.ini" ] || fail "the FIFO in the honour file's place is gone"
    [ ! -e "$game/Kelvora荣誉榜.ini.new" ] || fail "a save was begun beside the FIFO"
    [ -f "$game/Tovenhal.Tovenhal" ] || fail "the skin library was not written beside the game"
    kill -TERM "$pid"
    ends_within 1 "TERM"

    fresh_game library fifo:Tovenhal.Tovenhal
    start_game
    wait_for_report
    import -window root "$work/library_fifo.png"
    press_in_report Return
    ends_within 10 "Enter in the report" 255
    [ -p "$game/Tovenhal.Tovenhal" ] || fail "the FIFO in the skin library's place is gone"
    ;;

  signals)
    fresh_game main
    start_game_under_wine "$game"
    before=$(folder_state)
    kill -TERM "$pid"
    ends_within 1 "TERM in the main loop"
    [ "$(folder_state)" = "$before" ] || fail "the game changed its folder on its way out"

    # A turn's animation: a ball sent across the board, TERM while it travels.
    fresh_game animation
    start_game_under_wine "$game"
    import -window root "$work/animation_start.png"
    convert "$work/animation_start.png" -crop "360x360+$boardX+$boardY" +repage txt:- > "$work/animation_start.txt"
    layout=$(board_cells_from_text "$work/animation_start.txt")
    read -r from to <<< "$(awk -v b="$layout" 'BEGIN {
      for (n = 1; n <= 81; n++) if (substr(b, n, 1) == "1") { from = n; break }
      best = -1
      for (m = 1; m <= 81; m++) if (substr(b, m, 1) == "0") {
        d = ((m - 1) % 9 - (from - 1) % 9); if (d < 0) d = -d
        e = (int((m - 1) / 9) - int((from - 1) / 9)); if (e < 0) e = -e
        if (d + e > best) { best = d + e; to = m } }
      print from, to }')"
    before=$(folder_state)
    click_cell "$from"
    sleep 1
    click_cell "$to"
    sleep 0.2
    kill -TERM "$pid"
    ends_within 1 "TERM in a turn's animation"
    [ "$(folder_state)" = "$before" ] || fail "the game changed its folder on its way out of a turn"

    fresh_game modal
    start_game_under_wine "$game"
    before=$(folder_state)
    xdotool mousemove --sync $((X + 392 + 53)) $((Y + 248 + 14)) click 1
    roll=""
    for _ in $(seq 1 50); do roll=$(window_named "荣誉榜"); [ -n "$roll" ] && break; sleep 0.1; done
    [ -n "$roll" ] || fail "the honour-roll window did not open"
    kill -TERM "$pid"
    ends_within 1 "TERM with the honour roll open"
    [ "$(folder_state)" = "$before" ] || fail "the game changed its folder on its way out of the honour roll"

    fresh_game report folder:Tovenhal.Tovenhal
    start_game
    wait_for_report
    kill -TERM "$pid"
    ends_within 1 "TERM with the fatal report open"
    ;;
esac
echo PASS
