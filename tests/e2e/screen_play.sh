# Shared by the scripts that play the real game under Xvfb (sourced, not run): finding the main
# window, reading the board off the screen, clicking cells, and the honour roll's round trip; and
# the same by keys, with the cursor read off the screen.
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
  # the frame in once more. A manager may still be framing and placing the window on a busy
  # machine, so the place is read until two reads a moment apart agree.
  local place="" previous=""
  for _ in $(seq 1 25); do
    place=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { print "X=" $NF } /Absolute upper-left Y/ { print "Y=" $NF }
      /Width:/ { print "WIDTH=" $NF } /Height:/ { print "HEIGHT=" $NF }')
    [ -n "$place" ] && [ "$place" = "$previous" ] && break
    previous=$place
    sleep 0.2
  done
  eval "$place"
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

# --- The keyboard. Keys go where the system sends them: to the window that has the keyboard. ---

# A pixel of a screenshot as RRGGBB.
pixel_of() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }

# Screen position of a cell's box: its grid lines at the left and top, then its interior.
cell_corner() { echo "$((boardX + (($1 - 1) % 9) * 40)) $((boardY + (($1 - 1) / 9) * 40))"; }

# Whether screenshot $2 shows the keyboard cursor on cell $1: white along the cell's four edges,
# black just inside them.
cursor_on() {
  local x y
  read -r x y <<< "$(cell_corner "$1")"
  [ "$(pixel_of "$2" $((x + 20)) "$y")" = FFFFFF ] && [ "$(pixel_of "$2" "$x" $((y + 20)))" = FFFFFF ] &&
    [ "$(pixel_of "$2" $((x + 39)) $((y + 20)))" = FFFFFF ] && [ "$(pixel_of "$2" $((x + 20)) $((y + 39)))" = FFFFFF ] &&
    [ "$(pixel_of "$2" $((x + 2)) $((y + 20)))" = 000000 ]
}

# How many board pixels differ between screenshots $1 and $2 outside the boxes of the cells listed.
board_changes_outside() {
  local first=$1 second=$2 n x y
  shift 2
  local hide=()
  for n in "$@"; do
    x=$(((n - 1) % 9 * 40))
    y=$(((n - 1) / 9 * 40))
    hide+=(-draw "rectangle $x,$y $((x + 39)),$((y + 39))")
  done
  convert "$first" -crop "360x360+$boardX+$boardY" +repage -fill black "${hide[@]}" "$work/changes-a.png"
  convert "$second" -crop "360x360+$boardX+$boardY" +repage -fill black "${hide[@]}" "$work/changes-b.png"
  compare -metric AE "$work/changes-a.png" "$work/changes-b.png" null: 2>&1 || true
}

# The arrow keys that take the cursor from cell $1 to cell $2; with $3 = KP_, the keypad's.
arrows_between() {
  local dx=$((($2 - 1) % 9 - ($1 - 1) % 9)) dy=$((($2 - 1) / 9 - ($1 - 1) / 9)) keys="" pad=${3:-}
  while [ "$dx" -gt 0 ]; do keys+=" ${pad}Right"; dx=$((dx - 1)); done
  while [ "$dx" -lt 0 ]; do keys+=" ${pad}Left"; dx=$((dx + 1)); done
  while [ "$dy" -gt 0 ]; do keys+=" ${pad}Down"; dy=$((dy - 1)); done
  while [ "$dy" -lt 0 ]; do keys+=" ${pad}Up"; dy=$((dy + 1)); done
  echo "$keys"
}

# Each cell of the board in screenshot $1 as 1 (a ball) or 0.
board_layout_of() {
  convert "$1" -crop "360x360+$boardX+$boardY" +repage txt:- > "$work/layout.txt"
  board_cells_from_text "$work/layout.txt"
}

# Selects a ball and moves it to a free neighbour by keys alone (the arrows to the ball, the
# keypad's arrows on from there), with no ball selected before, and checks it from the screen: the
# first arrow shows the cursor on the middle cell and changes nothing else; the ball arrives, three
# new balls come, the cursor shows on the ball, and no other pixel of the board changed. Its
# screenshots are $work/keys-*.png.
keyboard_move() {
  local layout after from to n balls
  import -window root "$work/keys-before.png"
  layout=$(board_layout_of "$work/keys-before.png")
  read -r from to <<< "$(free_neighbour_move "$layout")"
  [ "$from" != 0 ] || fail "no ball with a free neighbour for the keys"
  xdotool key Up
  sleep 0.5
  import -window root "$work/keys-shown.png"
  cursor_on 41 "$work/keys-shown.png" || fail "the first arrow did not show the cursor on the middle cell"
  n=$(board_changes_outside "$work/keys-before.png" "$work/keys-shown.png" 41)
  [ "$n" = 0 ] || fail "showing the cursor changed $n board pixels outside its cell"
  # shellcheck disable=SC2046
  xdotool key --delay 100 $(arrows_between 41 "$from") Return $(arrows_between "$from" "$to" KP_) Return
  sleep 2
  import -window root "$work/keys-moved.png"
  after=$(board_layout_of "$work/keys-moved.png")
  # The cell the ball left may hold one of the three new balls: a spawn may land anywhere free. A
  # ball that moved from elsewhere shows below, as a change outside the cells that changed.
  [ "${after:$((to - 1)):1}" = 1 ] || fail "the keys did not move the ball from cell $from to cell $to"
  balls=$(count_balls "$after")
  [ "$balls" = $(($(count_balls "$layout") + 3)) ] || fail "after the keys' move the board shows $balls balls"
  cursor_on "$to" "$work/keys-moved.png" || fail "the cursor is not on cell $to, where the ball went"
  local changed=("$from" "$to")
  for n in $(seq 1 81); do
    [ "${layout:$((n - 1)):1}" = 0 ] && [ "${after:$((n - 1)):1}" = 1 ] && changed+=("$n")
  done
  n=$(board_changes_outside "$work/keys-before.png" "$work/keys-moved.png" "${changed[@]}")
  [ "$n" = 0 ] || fail "the keys' move changed $n board pixels outside cells ${changed[*]}"
}

# The honour roll by keys: Tab twice (the start button, then the roll's) shows the focus on the
# button; Space opens the roll, which has the keyboard at once, so Esc closes it wherever the
# pointer is; the keyboard is then back on the main window, where an arrow shows the cursor again.
keyboard_honour_round_trip() {
  local roll="" x y
  xdotool key --delay 100 Tab Tab
  sleep 0.5
  import -window root "$work/keys-focus.png"
  x=$((X + 392))
  y=$((Y + 248))
  [ "$(pixel_of "$work/keys-focus.png" $((x + 3)) $((y + 3)))" = 000000 ] &&
    [ "$(pixel_of "$work/keys-focus.png" $((x + 4)) $((y + 3)))" = F0F0F0 ] ||
    fail "the honour-roll button does not show the focus"
  xdotool key space
  for _ in $(seq 1 30); do
    roll=$(window_named "荣誉榜")
    [ -n "$roll" ] && break
    sleep 0.1
  done
  [ -n "$roll" ] || fail "Space on the focused honour-roll button did not open the roll"
  sleep 0.5
  xdotool key Escape
  for _ in $(seq 1 50); do
    [ -z "$(window_named "荣誉榜")" ] && break
    sleep 0.1
  done
  [ -z "$(window_named "荣誉榜")" ] || fail "one Esc did not close the roll opened by keys"
  xdotool key Left
  sleep 0.5
  import -window root "$work/keys-back.png"
  cursor_on 41 "$work/keys-back.png" || fail "after the roll, the arrow keys do not reach the main window"
}
