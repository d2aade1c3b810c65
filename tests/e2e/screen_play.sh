# Shared by the scripts that play the real game under Xvfb (sourced, not run): finding the main
# window, reading the board off the screen, clicking cells, and the honour roll's round trip.
# Callers define fail() and set pid (the game's process) before using these.

# Waits for the main window and sets window, X, Y, boardX and boardY.
wait_for_main_window() {
  local tenths=$1
  window=""
  for _ in $(seq 1 "$tenths"); do
    window=$(xdotool search --name "Kelvora 1.1" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended before showing its window"
    sleep 0.1
  done
  [ -n "$window" ] || fail "no main window"
  sleep 0.5
  # The client area's own corner on the screen: under a window manager xdotool's geometry counts
  # the frame in once more.
  eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { print "X=" $NF } /Absolute upper-left Y/ { print "Y=" $NF }
    /Width:/ { print "WIDTH=" $NF } /Height:/ { print "HEIGHT=" $NF }')"
  boardX=$((X + 8))
  boardY=$((Y + 8))
  # The window is on the screen before its first frame (slowly so under strace on a busy machine):
  # until then the board is black where its first cell shows the board's grey or a ball.
  local pixel=""
  for _ in $(seq 1 50); do
    pixel=$(import -window root -crop "1x1+$((boardX + 20))+$((boardY + 20))" txt:- 2>/dev/null | awk -F'#' 'NR == 2 { print substr($2, 1, 6) }')
    [ -n "$pixel" ] && [ "$pixel" != 000000 ] && break
    sleep 0.1
  done
  [ -n "$pixel" ] && [ "$pixel" != 000000 ] || fail "the main window shows no board"
}

# Each cell as 1 (a ball: its middle is not the empty background) or 0, from a board's pixels as
# written by `convert ... txt:-`.
board_cells_from_text() {
  awk -F'[,: ]+' 'NR > 1 { split($0, a, "#"); px[$1 "," $2] = substr(a[2], 1, 6) }
    END { for (n = 1; n <= 81; n++) { x = ((n - 1) % 9) * 40 + 20; y = int((n - 1) / 9) * 40 + 20;
          bg = (n % 2) ? "212021" : "000000"; printf "%d", (px[x "," y] != bg) } print "" }' "$1"
}

count_balls() { printf '%s' "$1" | tr -cd 1 | wc -c; }

# The id of the window whose title is exactly $1 (xdotool's own pattern matching is not safe for
# Chinese titles).
window_named() {
  local id
  for id in $(xdotool search --name "" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
  done
  return 0
}

click_cell() {
  xdotool mousemove --sync $((boardX + (($1 - 1) % 9) * 40 + 20)) $((boardY + (($1 - 1) / 9) * 40 + 20)) click 1
}

# "from to": a ball of the layout $1 and a free cell beside it; "0 0" when there is none.
free_neighbour_move() {
  local layout=$1 n m col
  for n in $(seq 1 81); do
    [ "${layout:$((n - 1)):1}" = 1 ] || continue
    col=$(((n - 1) % 9))
    for m in $((n - 1)) $((n + 1)) $((n - 9)) $((n + 9)); do
      [ "$m" -ge 1 ] && [ "$m" -le 81 ] || continue
      [ "$m" = $((n - 1)) ] && [ "$col" = 0 ] && continue
      [ "$m" = $((n + 1)) ] && [ "$col" = 8 ] && continue
      if [ "${layout:$((m - 1)):1}" = 0 ]; then echo "$n $m"; return 0; fi
    done
  done
  echo "0 0"
}

# Twice the centre of a window's outer rectangle, "x y", from its client area and the frame the
# window manager says it gave it (none without a manager).
outer_centre_twice() {
  local frame l=0 r=0 t=0 b=0
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ { print "ax=" $NF } /Absolute upper-left Y/ { print "ay=" $NF }
    /Width:/ { print "aw=" $NF } /Height:/ { print "ah=" $NF }')"
  frame=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ' ')
  [ -z "$frame" ] || IFS=, read -r l r t b <<< "$frame"
  echo "$((2 * (ax - l) + aw + l + r)) $((2 * (ay - t) + ah + t + b))"
}

# The honour-roll window and the properties the window manager reads: a modal dialog, owned by
# the main window, with a close box and neither a minimise nor a maximise box, its outer centre
# on the main window's.
check_dialog() {
  local dialog=$1 main mx my dx dy hints
  main=$(printf '0x%x' "$window")
  xprop -id "$dialog" WM_TRANSIENT_FOR | grep -q "window id # $main\b" || fail "the dialog is not owned by the main window: $(xprop -id "$dialog" WM_TRANSIENT_FOR)"
  if [ "${dialog_type_checks:-yes}" = yes ]; then
    xprop -id "$dialog" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL || fail "the dialog is not modal"
    xprop -id "$dialog" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG || fail "the dialog is not typed as one"
  fi
  # Motif: flags, functions (move 4, minimise 8, maximise 16, close 32), decorations.
  hints=$(xprop -id "$dialog" _MOTIF_WM_HINTS | sed -n 's/.* = //p' | tr -d ' ')
  [ "$(($(cut -d, -f2 <<< "$hints")))" = 36 ] || fail "the dialog's buttons are not move and close only: $hints"
  read -r mx my <<< "$(outer_centre_twice "$window")"
  read -r dx dy <<< "$(outer_centre_twice "$dialog")"
  [ $(((mx - dx) * (mx - dx))) -le 4 ] && [ $(((my - dy) * (my - dy))) -le 4 ] ||
    fail "the dialog's centre ($dx, $dy)/2 is not within 1 px of the main window's ($mx, $my)/2"
}

# The honour-roll button opens the roll over the game; Esc closes it. $1: a screenshot to take
# while it is open (may be empty).
honour_roll_round_trip() {
  local roll=""
  xdotool mousemove --sync $((X + 392 + 53)) $((Y + 248 + 14)) click 1
  for _ in $(seq 1 30); do
    roll=$(window_named "荣誉榜")
    [ -n "$roll" ] && break
    sleep 0.1
  done
  [ -n "$roll" ] || fail "the honour-roll window did not open"
  sleep 0.4
  [ -z "${1:-}" ] || import -window root "$1"
  check_dialog "$roll"
  # Without a window manager the keyboard follows the pointer: put it over the roll, press Esc.
  xdotool mousemove --sync $((X + 200)) $((Y + 200)) key Escape
  # A game slowed down by strace on a busy machine may take a while to get there.
  for _ in $(seq 1 50); do
    [ -z "$(window_named "荣誉榜")" ] && return 0
    sleep 0.1
  done
  fail "Esc did not close the honour-roll window within 5 s"
}
