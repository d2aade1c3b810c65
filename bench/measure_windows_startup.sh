#!/usr/bin/env bash
# Start-up of the Windows game against a bare Win32 program opening a 523 x 390 window, both under
# the same warm Wine in one Xvfb: wall time from launch to the first frame on the screen (the
# program writes its ready file then) and the peak resident memory of the Windows process.
# Usage: bench/measure_windows_startup.sh [build-win] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-win}" && pwd)
runs=${2:-10}
if [ "${KELVORA_BENCH_INNER:-}" != 1 ]; then
  KELVORA_BENCH_INNER=1 exec bash "$root/scripts/with-xvfb.sh" bash "$0" "$build" "$runs"
fi

work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
# The display tests' own prefix (see tests/e2e_wine/play_game_wine.sh).
export WINEPREFIX=${KELVORA_WINE_DISPLAY_PREFIX:-$HOME/.kelvora-wine-display}
[ ! -d "$WINEPREFIX" ] || wineserver -k 2>/dev/null || true
# A Wine server that stays for the whole run, as on a machine where Wine is already in use.
"$root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true  # makes the prefix when missing
wineserver -p >/dev/null 2>&1 || true

# One start: prints "milliseconds-to-first-frame peak-kilobytes".
start_once() {
  local exe=$1 folder ready pid t0 t1 peak
  folder=$(mktemp -d "$work/run.XXXXXX")
  cp "$exe" "$folder/"
  ready="$folder/ready"
  t0=$EPOCHREALTIME
  (cd "$folder" && KELVORA_READY_FILE=ready exec "$root/scripts/wine-run.sh" "./$(basename "$exe")") >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 2000); do
    [ -s "$ready" ] && break
    sleep 0.002
  done
  t1=$EPOCHREALTIME
  sleep 0.5  # what the program does right after its first frame counts towards its peak too
  peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -s "$ready" ] || { echo "no first frame from $exe" >&2; exit 1; }
  awk -v a="$t0" -v b="$t1" -v p="$peak" 'BEGIN { printf "%.1f %d\n", (b - a) * 1000, p }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

game="$build/kelvora.exe"
bare="$build/bench/minimal_win32_window.exe"
start_once "$game" >/dev/null  # warm the caches for both
start_once "$bare" >/dev/null
for _ in $(seq 1 "$runs"); do
  start_once "$game" >> "$work/game.txt"
  start_once "$bare" >> "$work/bare.txt"
done
gameMs=$(cut -d' ' -f1 "$work/game.txt" | median)
bareMs=$(cut -d' ' -f1 "$work/bare.txt" | median)
gameKb=$(cut -d' ' -f2 "$work/game.txt" | median)
bareKb=$(cut -d' ' -f2 "$work/bare.txt" | median)
echo "runs: $runs (medians), $(wine64 --version 2>/dev/null || wine --version)"
printf 'first frame: kelvora.exe %.1f ms, bare window %.1f ms, ratio %.2f\n' "$gameMs" "$bareMs" \
  "$(awk -v a="$gameMs" -v b="$bareMs" 'BEGIN { print a / b }')"
printf 'peak memory: kelvora.exe %.1f MB, bare window %.1f MB, ratio %.2f\n' "$(awk -v k="$gameKb" 'BEGIN { print k / 1024 }')" \
  "$(awk -v k="$bareKb" 'BEGIN { print k / 1024 }')" "$(awk -v a="$gameKb" -v b="$bareKb" 'BEGIN { print a / b }')"
