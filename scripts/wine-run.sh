#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: a prefix of its own (made on first use), no
# debug chatter, no Mono or Gecko prompts, a UTF-8 locale (the game's Chinese file names need it)
# and the Chinese faces pinned to one host font, so pixels do not depend on the locale.
# Usage: scripts/wine-run.sh program.exe [arguments...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${WINEPREFIX:-${KELVORA_WINEPREFIX:-$HOME/.kelvora-wine}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
case "${LC_ALL:-${LANG:-}}" in
  *UTF-8*|*utf8*) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac
wine=$(command -v wine64 || command -v wine)
if [ ! -f "$WINEPREFIX/.kelvora-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    # One preparation at a time when tests start in parallel.
    flock 9
    if [ ! -f "$WINEPREFIX/.kelvora-ready" ]; then
      "$(dirname "$wine")/wineboot" -i >/dev/null 2>&1 || true
      "$here/wine-fonts.sh" "$wine"
      touch "$WINEPREFIX/.kelvora-ready"
    fi
  ) 9>"$WINEPREFIX/.kelvora-lock"
fi
exec "$wine" "$@"
