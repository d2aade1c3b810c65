#!/usr/bin/env bash
# Failures a player can read and escape, on the real game under Xvfb.
#   report   A folder named "Tovenhal.Tovenhal" where the skin library belongs: the fatal report
#            shows its text exactly as the font service draws it, at scale 1 and 2, and Enter, Esc
#            or the close box ends the game with the report's exit code, 255.
#   files    A FIFO where the honour file belongs: the game starts and shows its board with the
#            default roll's best player and score, and the FIFO is left as it was. A FIFO where the skin library belongs: the fatal report, which
#            its OK button ends.
#   signals  SIGTERM in the main loop, in a turn's animation, with the honour-roll window open and
#            with the fatal report open, and SIGINT in the main loop: each ends the game within a
#            second, with status 0 (255 from the report), and nothing in its folder is written or
#            deleted on the way out.
# Usage: failures.sh MODE KELVORA-EXECUTABLE DRAW-REPORT-TEXT DESTROY-WINDOW-TOOL WORK-DIR
set -euo pipefail
mode=$1
program=$2
reference=$3
windowTool=$4
work=$5

case "$mode" in
  report | files | signals) ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac
for tool in Xvfb xdotool xwininfo import convert compare; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
if [ "${KELVORA_E2E_INNER:-}" != 1 ]; then
  rm -rf "$work"
  mkdir -p "$work"
  KELVORA_E2E_INNER=1 exec bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/with-xvfb.sh" --screen 1280x1024x24 \
    bash "$0" "$@"
fi

pid=""
game=""
fail() {
  echo "FAIL: $*"
  [ -z "$game" ] || [ ! -s "$game.stderr" ] || { echo "--- the game's standard error:"; head -n 20 "$game.stderr"; }
  [ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true
  exit 1
}
. "$(dirname "$0")/screen_play.sh"

# A fresh folder with the game in it; $2, when given, is what stands where a file of the game
# belongs: "folder:NAME" or "fifo:NAME".
fresh_game() {
  game="$work/$1"
  rm -rf "$game"
  mkdir -p "$game"
  cp "$program" "$game/kelvora"
  case "${2:-}" in
    folder:*) mkdir "$game/${2#folder:}" ;;
    fifo:*) mkfifo "$game/${2#fifo:}" ;;
  esac
}

# Starts the game in its folder, with the environment given ("GDK_SCALE=2").
start_game() {
  (cd "$game" && SDL_AUDIODRIVER=dummy exec env "$@" ./kelvora) > "$game.stdout" 2> "$game.stderr" &
  pid=$!
}

# What the folder holds: names, kinds, sizes and times.
folder_state() { find "$game" -printf '%p %y %s %T@\n' | sort; }

# Waits for the fatal report and sets report, RX, RY, RWIDTH and RHEIGHT (its client area).
wait_for_report() {
  report=""
  for _ in $(seq 1 150); do
    report=$(window_named "Kelvora")
    [ -n "$report" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended without showing its fatal report"
    sleep 0.1
  done
  [ -n "$report" ] || fail "no fatal report within 15 s"
  sleep 0.5
  eval "$(xwininfo -id "$report" | awk '/Absolute upper-left X/ { print "RX=" $NF } /Absolute upper-left Y/ { print "RY=" $NF }
    /Width:/ { print "RWIDTH=" $NF } /Height:/ { print "RHEIGHT=" $NF }')"
}

# The game must be gone within $1 seconds of $2 (what was done to it); its status must be $3.
# A request to end gets a second; a dismissed report may take longer, as any closing window can.
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
  [ "$status" = "$2" ] || fail "after $1 the game ended with status $status, not $2"
}

# The report's text, read off the screen at scale $1, against the font service's own drawing of
# it; the screenshot is kept as $2.
check_report_text() {
  local scale=$1 shot=$2 left top width height shown
  read -r left top width height <<< "$("$reference" "$work/expected.ppm")"
  import -window root "$shot"
  convert "$shot" -crop "$((width * scale))x$((height * scale))+$((RX + left * scale))+$((RY + top * scale))" +repage \
    "$work/shown_x$scale.png"
  convert "$work/expected.ppm" -sample "$((scale * 100))%" "$work/expected_x$scale.png"
  shown=$(compare -metric AE "$work/shown_x$scale.png" "$work/expected_x$scale.png" null: 2>&1 || true)
  [ "$shown" = 0 ] || fail "at scale $scale the report's text differs from the expected text in $shown pixels (see $work)"
}

case "$mode" in
  report)
    fresh_game scale1 folder:Tovenhal.Tovenhal
    start_game
    wait_for_report
    check_report_text 1 "$work/report_x1.png"
    # Without a window manager the keyboard follows the pointer: over the report, Enter.
    xdotool mousemove --sync $((RX + 10)) $((RY + 10)) key Return
    ends_within 10 "Enter in the report" 255

    fresh_game scale2 folder:Tovenhal.Tovenhal
    start_game GDK_SCALE=2
    wait_for_report
    check_report_text 2 "$work/report_x2.png"
    xdotool mousemove --sync $((RX + 10)) $((RY + 10)) key Escape
    ends_within 10 "Esc in the report" 255

    fresh_game close folder:Tovenhal.Tovenhal
    start_game
    wait_for_report
    "$windowTool" --close "$report"
    ends_within 10 "the report's close box" 255
    ;;

  files)
    # The best player and score of the default roll, as a first start in an empty folder shows them.
    best_labels() {
      import -window root "$work/$1.png"
      convert "$work/$1.png" -crop "105x44+$((X + 394))+$((Y + 318))" +repage "$work/$1.best.png"
    }
    fresh_game empty
    start_game
    wait_for_main_window 150
    best_labels empty
    kill -TERM "$pid"
    ends_within 1 "TERM" 0

    fresh_game honour fifo:Kelvora荣誉榜.ini
    start_game
    wait_for_main_window 150
    best_labels honour_fifo
    [ "$(compare -metric AE "$work/empty.best.png" "$work/honour_fifo.best.png" null: 2>&1 || true)" = 0 ] ||
      fail "with a FIFO in the honour file's place the main window does not show the default roll's best"
    [ -p "$game/Kelvora荣誉榜.ini" ] || fail "the FIFO in the honour file's place is gone"
    [ ! -e "$game/Kelvora荣誉榜.ini.new" ] || fail "a save was begun beside the FIFO"
    [ -f "$game/Tovenhal.Tovenhal" ] || fail "the skin library was not written beside the game"
    kill -TERM "$pid"
    ends_within 1 "TERM" 0

    fresh_game library fifo:Tovenhal.Tovenhal
    start_game
    wait_for_report
    import -window root "$work/library_fifo.png"
    # OK sits at the bottom right of the report, 16 pixels in from its edges, 75 x 23.
    xdotool mousemove --sync $((RX + RWIDTH - 16 - 37)) $((RY + RHEIGHT - 16 - 11)) click 1
    ends_within 10 "OK in the report" 255
    [ -p "$game/Tovenhal.Tovenhal" ] || fail "the FIFO in the skin library's place is gone"
    ;;

  signals)
    # The main loop, told to end by a logout and by Ctrl+C.
    for signal in TERM INT; do
      fresh_game "main_$signal"
      start_game
      wait_for_main_window 150
      before=$(folder_state)
      kill "-$signal" "$pid"
      ends_within 1 "$signal in the main loop" 0
      [ "$(folder_state)" = "$before" ] || fail "the game changed its folder on its way out after $signal"
    done

    # A turn's animation: a ball sent to the farthest free cell. The game pauses between the
    # frames of a move; TERM comes while it does.
    fresh_game animation
    start_game
    wait_for_main_window 150
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
    sleep 0.6
    click_cell "$to"
    # The game's thread sleeps only in a turn's pauses; between them it waits in poll.
    paused=no
    for _ in $(seq 1 200); do
      case "$(cut -d' ' -f1 "/proc/$pid/syscall" 2>/dev/null)" in
        35 | 230) paused=yes; break ;;
      esac
      sleep 0.005
    done
    [ "$paused" = yes ] || fail "the move from cell $from to cell $to was never seen pausing"
    kill -TERM "$pid"
    ends_within 1 "TERM in a turn's animation" 0
    [ "$(folder_state)" = "$before" ] || fail "the game changed its folder on its way out of a turn"

    # A modal window: the honour roll.
    fresh_game modal
    start_game
    wait_for_main_window 150
    before=$(folder_state)
    xdotool mousemove --sync $((X + 392 + 53)) $((Y + 248 + 14)) click 1
    roll=""
    for _ in $(seq 1 30); do roll=$(window_named "荣誉榜"); [ -n "$roll" ] && break; sleep 0.1; done
    [ -n "$roll" ] || fail "the honour-roll window did not open"
    kill -TERM "$pid"
    ends_within 1 "TERM with the honour roll open" 0
    [ "$(folder_state)" = "$before" ] || fail "the game changed its folder on its way out of the honour roll"

    # The fatal report.
    fresh_game report folder:Tovenhal.Tovenhal
    start_game
    wait_for_report
    kill -TERM "$pid"
    ends_within 1 "TERM with the fatal report open" 255
    ;;
esac
echo PASS
