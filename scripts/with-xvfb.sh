#!/usr/bin/env bash
# Runs a command on a private Xvfb server of its own and stops the server afterwards; the command's
# exit status is the script's. The server picks a free display number itself (-displayfd), so
# tests running side by side never end up on one display number, as two `xvfb-run -a` can when
# they look for a free number at the same moment. It never resets: by default Xvfb starts over
# whenever its last client leaves and refuses connections meanwhile, so a game started just after
# another one ended would find no display.
# With KELVORA_WM=openbox the server gets that window manager, as a player's desktop has one; the
# command starts once the manager has taken the screen over (exit 77 when openbox is missing).
# Usage: scripts/with-xvfb.sh [--screen WxHxDEPTH] COMMAND [ARGUMENTS...]   (exit 77: no Xvfb)
set -euo pipefail
screen=1024x768x24
if [ "${1:-}" = --screen ]; then
  screen=$2
  shift 2
fi
command -v Xvfb >/dev/null || { echo "Xvfb is not installed: skipped"; exit 77; }

folder=$(mktemp -d "${TMPDIR:-/tmp}/kelvora-xvfb.XXXXXX")
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3> "$folder/display" 2> "$folder/xvfb.log" &
server=$!
manager=""
stop() {
  [ -z "$manager" ] || { kill "$manager" 2>/dev/null || true; wait "$manager" 2>/dev/null || true; }
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$folder"
}
trap stop EXIT

# The server writes its display number and a line break once it takes connections.
for _ in $(seq 1 200); do
  [ "$(tail -c 1 "$folder/display" 2>/dev/null | od -An -c | tr -d ' ')" = '\n' ] && break
  kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start:"; cat "$folder/xvfb.log"; exit 1; }
  sleep 0.05
done
number=$(head -n 1 "$folder/display")
[ -n "$number" ] || { echo "Xvfb named no display within 10 s"; exit 1; }

case "${KELVORA_WM:-}" in
  "") ;;
  openbox)
    command -v openbox >/dev/null && command -v xprop >/dev/null ||
      { echo "openbox or xprop is not installed: skipped"; exit 77; }
    env -u XAUTHORITY DISPLAY=":$number" openbox --sm-disable > "$folder/openbox.log" 2>&1 &
    manager=$!
    # A manager announces itself on the root window once it manages windows.
    for _ in $(seq 1 200); do
      env -u XAUTHORITY DISPLAY=":$number" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      kill -0 "$manager" 2>/dev/null || { echo "openbox did not start:"; cat "$folder/openbox.log"; exit 1; }
      sleep 0.05
    done
    env -u XAUTHORITY DISPLAY=":$number" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
      { echo "openbox did not take the screen within 10 s"; exit 1; }
    ;;
  *) echo "unknown window manager KELVORA_WM=$KELVORA_WM"; exit 2 ;;
esac

# A private display has no session bus. Without an address, D-Bus (which SDL asks at start) tries
# to launch one by forking the game and reading from the child, and a sanitizer build of the
# game once hung there for 20 s: give it an address that fails at once instead.
export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-unix:path=/nonexistent/kelvora-no-session-bus}"

status=0
env -u XAUTHORITY DISPLAY=":$number" "$@" || status=$?
exit "$status"
