# Shared by the scripts that play the Windows game under Wine in Xvfb (sourced, not run): a Wine
# prefix of the script's own, fail(), the screen helpers of the Linux tests, and the game started
# from its folder. Callers set root (the source tree) and work (their folder) first.

# A prefix of its own ($1): a Wine server already running for the unit tests' prefix would put
# the game's windows on its own display, or on none. Whatever Wine still runs in this prefix
# belongs to an earlier run, on a display now gone.
use_wine_prefix() {
  export WINEPREFIX=$1
  [ ! -d "$WINEPREFIX" ] || wineserver -k 2>/dev/null || true
  trap 'wineserver -k 2>/dev/null || true' EXIT
}

pid=""
fail() { echo "FAIL: $*"; [ -z "$pid" ] || kill "$pid" 2>/dev/null || true; exit 1; }

. "$root/tests/e2e/screen_play.sh"
# Wine types and states its windows itself, from their Win32 styles: an owned window is a normal
# one to the X server, and its modality is the game's own (the owner takes no input meanwhile).
# Its owner, buttons and place are still checked.
dialog_type_checks=no

# Starts kelvora.exe in folder $1 and waits for its main window (a cold Wine takes a few seconds).
start_game_under_wine() {
  (cd "$1" && exec "$root/scripts/wine-run.sh" ./kelvora.exe) > "$work/stdout.txt" 2> "$work/stderr.txt" &
  pid=$!
  wait_for_main_window 600
}
