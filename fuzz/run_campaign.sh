#!/usr/bin/env bash
# The fuzzing campaign: every fuzz target for a while (default ten minutes each) on a copy of its
# kept corpus; afterwards the inputs that reached new code are merged back into fuzz/corpus/, which
# CI replays. Findings (crash-*, leak-*, timeout-*) are left in fuzz/findings/.
# Usage: fuzz/run_campaign.sh [seconds-per-target] [target...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-600}
shift || true
targets=${*:-$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKELVORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target $targets
mkdir -p fuzz/findings
for t in $targets; do
  subject=${t#fuzz_}
  work=$(mktemp -d)
  mkdir -p "fuzz/corpus/$subject"
  cp -r "fuzz/corpus/$subject/." "$work/"
  echo "== $t for $seconds s"
  status=0
  (cd fuzz/findings && "$OLDPWD/build-fuzz/fuzz/$t" -max_total_time="$seconds" -print_final_stats=1 "$work") \
    > "fuzz/findings/$t.log" 2>&1 || status=$?
  grep -E '^stat::number_of_executed_units|^Done' "fuzz/findings/$t.log" || true
  [ "$status" = 0 ] || echo "!! $t stopped with status $status: see fuzz/findings/$t.log"
  "build-fuzz/fuzz/$t" -merge=1 "fuzz/corpus/$subject" "$work" > /dev/null 2>&1 || true
  echo "   corpus: $(ls "fuzz/corpus/$subject" | wc -l) files"
  rm -rf "$work"
done
