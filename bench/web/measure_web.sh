#!/usr/bin/env bash
# Measures the browser game's figures side by side in one run on this machine: everything a first
# visit downloads (raw and gzip-compressed); load to first frame against a bare Emscripten page that
# fills a 523 x 390 canvas once, same server and browser, cold and warm; a whole turn beyond its
# pauses; idle CPU with the scroller; and what Asyncify costs (the program linked without it, which
# cannot run, and with the families that never pause left out of it). Prints a Markdown report
# (also left in <build-dir>/performance-web/report.md).
# Usage: bench/web/measure_web.sh [build-dir]   (default: build-web beside bench/)
# KELVORA_PERF_RUNS (default 7) and KELVORA_PERF_IDLE_SECONDS (default 20) change the effort.
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(realpath -m "${1:-$here/build-web}")
runs=${KELVORA_PERF_RUNS:-7}
idleSeconds=${KELVORA_PERF_IDLE_SECONDS:-20}
export NODE_PATH=/usr/share/nodejs

echo "== Building the site in $build" >&2
KELVORA_TARGETS=kelvora_site bash "$here/scripts/build-web.sh" "$build" >&2
out="$build/performance-web"
rm -rf "$out"
mkdir -p "$out/bare" "$out/site"
cp -r "$build/site/." "$out/site/"

echo "== The bare page, and the game linked two other ways" >&2
emcc -O3 -sENVIRONMENT=web "$here/bench/web/bare_page.c" -o "$out/bare/bare_page.js"
cp "$here/bench/web/bare_page.html" "$out/bare/index.html"
link=$(cat "$build/out/src/CMakeFiles/kelvora.dir/link.txt")
# Families that never pause the game, though Asyncify cannot tell (they call through pointers):
# formatted output, the C++ runtime's type checks, shared pointers' counts.
neverPause="'vsnprintf','printf_core','pop_arg','out','pad','fmt_*','__fwritex','__overflow','fflush','fwrite','__shgetc','scanexp','__dynamic_cast','__cxxabiv1::*','std::__2::__shared_weak_count::*','std::logic_error::*'"
variant() {
  mkdir -p "$out/$1"
  cp -r "$build/site/." "$out/$1/"
  (cd "$build/out/src" && eval "${link/ -o ..\/kelvora.js/ $2 -o $out/$1/kelvora.js}") >&2
}
variant none "-sASYNCIFY=0"
variant limited "\"-sASYNCIFY_REMOVE=[$neverPause]\""

gz() { gzip -9c "$1" | wc -c; }
kib() { awk -v b="$1" 'BEGIN { printf "%.1f KiB", b / 1024 }'; }
{
  echo "### The browser game, measured $(date -u '+%Y-%m-%d %H:%M UTC') by \`bench/web/measure_web.sh\`"
  echo
  echo "Chromium $(chromium --version 2>/dev/null | awk '{print $2}'), headless, software drawing; Emscripten $(em++ --version | head -1 | awk '{print $(NF-1)}'); $(nproc) cores; load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo
  echo "#### What a first visit downloads (the page, and what the service worker keeps)"
  echo
  echo "| file | raw | gzip -9 |"
  echo "|---|---|---|"
  rawTotal=0; gzTotal=0
  for f in $(cd "$out/site" && ls); do
    raw=$(stat -c %s "$out/site/$f"); z=$(gz "$out/site/$f")
    rawTotal=$((rawTotal + raw)); gzTotal=$((gzTotal + z))
    echo "| \`$f\` | $(kib "$raw") | $(kib "$z") |"
  done
  echo "| **everything** | **$(kib "$rawTotal")** | **$(kib "$gzTotal")** (goal: under 1024 KiB) |"
  echo
  echo "#### What Asyncify costs"
  echo
  echo "| the program linked | kelvora.wasm raw | gzip -9 | kelvora.js raw |"
  echo "|---|---|---|---|"
  for v in site:"as shipped (every function that may pause instrumented)" none:"without Asyncify (cannot run: the game pauses)" limited:"without formatted output and the runtime's type checks"; do
    dir=${v%%:*}; label=${v#*:}
    echo "| $label | $(kib "$(stat -c %s "$out/$dir/kelvora.wasm")") | $(kib "$(gz "$out/$dir/kelvora.wasm")") | $(kib "$(stat -c %s "$out/$dir/kelvora.js")") |"
  done
  echo
} > "$out/report.md"

modules="$build/node"
[ -d "$modules/node_modules/playwright-core" ] ||
  npm install --prefix "$modules" --no-audit --no-fund --loglevel=error playwright-core >/dev/null
port=$((20000 + RANDOM % 20000))
(cd "$out" && exec python3 -m http.server "$port" --bind 127.0.0.1 >/dev/null 2>&1) &
server=$!
scratch=$(mktemp -d)
trap 'kill $server 2>/dev/null; rm -rf "$scratch"' EXIT
sleep 1
echo "== Measuring in Chromium ($runs loads of each page, $idleSeconds s idle)" >&2
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache NODE_PATH="$modules/node_modules" \
  node "$here/bench/web/measure_web.js" "http://127.0.0.1:$port/site/" "http://127.0.0.1:$port/bare/" "$scratch/work" \
  "$runs" "$idleSeconds" "limited=http://127.0.0.1:$port/limited/" >> "$out/report.md"
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)." >> "$out/report.md"
cat "$out/report.md"
