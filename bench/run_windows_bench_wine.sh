#!/usr/bin/env bash
# Runs every benchmark program of the Windows build under Wine, on a private Xvfb (the window
# cases open real Win32 windows), and prints their results; then, as Markdown rows, the median real
# time of each case where the runs were repeated. Fails when a program fails or a case reports an
# error, so a short run shows a crash. The JSON of each program is left in BUILD-DIR/bench/results.
# Usage: bench/run_windows_bench_wine.sh [build-win] [benchmark arguments...]
#   e.g. --benchmark_min_time=0.01 (a quick look), or
#        --benchmark_repetitions=5 --benchmark_report_aggregates_only=true (the figures)
set -euo pipefail
export LC_ALL=C.UTF-8  # Wine wants a UTF-8 locale; the numbers keep decimal points
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build-win}" && pwd)
shift || true
programs=(bench_rules bench_drawing bench_turn bench_windows)
for p in "${programs[@]}"; do
  [ -f "$build/bench/$p.exe" ] || { echo "$build/bench/$p.exe is missing (bash scripts/build-windows.sh)" >&2; exit 1; }
done
if [ "${KELVORA_BENCH_INNER:-}" != 1 ]; then
  KELVORA_BENCH_INNER=1 exec bash "$root/scripts/with-xvfb.sh" bash "$0" "$build" "$@"
fi

# A Wine prefix of the benchmarks' own: the Wine end-to-end test stops every program of its prefix
# when it starts and ends, which would cut a benchmark short without an error. Whatever still runs
# in this one belongs to an earlier run, on a display now gone.
export WINEPREFIX=${KELVORA_WINE_BENCH_PREFIX:-$HOME/.kelvora-wine-bench}
[ ! -d "$WINEPREFIX" ] || wineserver -k 2>/dev/null || true
# A sound device that takes every clip, as the Linux figures have SDL's dummy driver.
export ALSA_CONFIG_PATH="$root/tests/support/alsa-null.conf"
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
results="$build/bench/results"
rm -rf "$results"
mkdir -p "$results"

echo "$(wine64 --version 2>/dev/null || wine --version); load average $(cut -d' ' -f1-3 /proc/loadavg)"
failed=0
for p in "${programs[@]}"; do
  echo "== $p"
  # From a folder of their own: the benchmarks' temporary folders are made in the current one.
  (cd "$work" && "$root/scripts/wine-run.sh" "$build/bench/$p.exe" "$@" \
     --benchmark_out="$results/$p.json" --benchmark_out_format=json) || { echo "$p failed" >&2; failed=1; }
  if grep -q '"error_occurred": true' "$results/$p.json" 2>/dev/null; then
    echo "$p: a case reported an error" >&2
    failed=1
  fi
done
echo "load average at the end $(cut -d' ' -f1-3 /proc/loadavg)"

# The medians of repeated runs, one row per case: name, median real time in microseconds, and the
# counters that carry a figure of their own (the idle loop's CPU share).
if grep -q '"aggregate_name": "median"' "$results"/*.json 2>/dev/null; then
  echo "| case | median real time | counters |"
  echo "|---|---|---|"
  for p in "${programs[@]}"; do
    # The JSON of a Windows program has CR LF line ends.
    awk '
      { sub(/\r$/, "") }
      /^ *"name":/ { n = $0; sub(/^ *"name": "/, "", n); sub(/",?$/, "", n); t = ""; u = ""; c = ""; agg = "" }
      /^ *"aggregate_name":/ { agg = $2; gsub(/[",]/, "", agg) }
      /^ *"real_time":/ { t = $2; sub(/,$/, "", t) }
      /^ *"time_unit":/ { u = $2; gsub(/[",]/, "", u) }
      /^ *"(cpu_percent|route|redraws)":/ { k = $1; gsub(/[":]/, "", k); v = $2; sub(/,$/, "", v); c = c k "=" sprintf("%.3g", v) " " }
      /^ *}/ && n != "" {
        if (agg == "median") {
          base = n; sub(/_median$/, "", base); sub(/\/.*/, "", base)
          f = (u == "ns") ? 0.001 : (u == "ms") ? 1000 : (u == "s") ? 1e6 : 1
          printf "| %s | %.3f us | %s|\n", base, t * f, c
        }
        n = ""
      }' "$results/$p.json"
  done
fi
exit "$failed"
