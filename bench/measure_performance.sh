#!/usr/bin/env bash
# Measures Kelvora's performance figures side by side in one run on this machine, under Xvfb:
# start-up to the first frame and peak memory of the real game against a bare SDL2 window, the
# game's idle CPU with only the scroller running, and the benchmarks of a turn, the drawing, the
# rules and the windows, the shared libraries each program maps and what the Debian package
# depends on. Prints a Markdown report (also left in <build-dir>/performance/report.md).
# Usage: bench/measure_performance.sh [build-dir]     (default: build-perf beside this folder)
# KELVORA_PERF_RUNS (default 10) and KELVORA_PERF_IDLE_SECONDS (default 20) change the effort.
# The package's dependencies are read from the package that `bash scripts/build-deb.sh` left in
# build-deb/, or from the one KELVORA_DEB names; without one the report says so.
# KELVORA_PERF_BEFORE may name another build of the game (an earlier commit's): it then starts in
# the same turns, and the report sets the two side by side under the same load.
set -euo pipefail
export LC_ALL=C  # decimal points, not commas, in every number read or printed
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build-perf"}
runs=${KELVORA_PERF_RUNS:-10}
idleSeconds=${KELVORA_PERF_IDLE_SECONDS:-20}
before=${KELVORA_PERF_BEFORE:-}
[ -z "$before" ] || before=$(realpath "$before")
buildType=RelWithDebInfo

if [ "${KELVORA_PERF_INNER:-}" != 1 ]; then
  for tool in Xvfb cmake; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (see scripts/setup.sh)" >&2; exit 1; }
  done
  echo "== Building ($buildType) in $build" >&2
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE="$buildType" -DKELVORA_BENCH=ON >/dev/null
  cmake --build "$build" -j "$(nproc)" \
    --target kelvora minimal_sdl_window bench_turn bench_drawing bench_rules bench_windows >&2
  KELVORA_PERF_INNER=1 KELVORA_PERF_BEFORE="$before" exec "$here/scripts/with-xvfb.sh" bash "$0" "$build"
fi

out="$build/performance"
rm -rf "$out"
mkdir -p "$out"
export SDL_AUDIODRIVER=dummy
log() { echo "$*" >&2; }

# ---------------------------------------------------------------------------------------------
# Start-up and memory. Both programs write the wall-clock moment of their first presented frame
# to $KELVORA_READY_FILE; the clock starts just before the shell starts them. Peak memory is
# VmHWM one second after the first frame.

cpu_ns() {  # CPU time of all threads of a process so far, in nanoseconds
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'
}

# start_once PROGRAM FOLDER -> "<milliseconds to first frame> <peak RSS> <RSS of anonymous memory>
#   <RSS of mapped files> (KiB) <shared objects mapped> <CPU milliseconds to the first frame>"
# The names of the shared objects mapped are left in $out/libraries-<program>.txt.
# Both programs write the CPU time of all their threads (those already ended included) beside the
# moment of the frame; it hardly depends on what else the machine does, unlike the wall-clock time.
start_once() {
  local program=$1 folder=$2 ready="$out/ready" start pid frame memory cpu
  rm -f "$ready"
  start=$EPOCHREALTIME
  (cd "$folder" && KELVORA_READY_FILE="$ready" exec "$program" >/dev/null 2>>"$out/stderr.txt") &
  pid=$!
  for _ in $(seq 1 500); do
    [ "$(tail -c 1 "$ready" 2>/dev/null | od -An -c | tr -d ' ')" = '\n' ] && break
    kill -0 "$pid" 2>/dev/null || { log "$program ended before its first frame"; exit 1; }
    sleep 0.02
  done
  [ -s "$ready" ] || { log "$program showed no frame within 10 s"; kill "$pid"; exit 1; }
  read -r frame cpu < "$ready"
  sleep 1
  memory=$(awk '/^(VmHWM|RssAnon|RssFile):/ { printf "%d ", $2 }' "/proc/$pid/status")
  awk '$6 ~ /\.so/ { n = split($6, part, "/"); print part[n] }' "/proc/$pid/maps" | sort -u \
    > "$out/libraries-$(basename "$program").txt"
  memory+=$(wc -l < "$out/libraries-$(basename "$program").txt")
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v a="$start" -v b="$frame" 'BEGIN { printf "%.1f ", (b - a) * 1000 }'
  echo "$memory $(awk -v c="$cpu" 'BEGIN { printf "%.1f", c }')"
}

# median FILE COLUMN: the median of a column of numbers.
median() {
  sort -n -k "$2,$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END {
    if (NR == 0) { print "nan"; exit }
    printf "%.1f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# spread FILE COLUMN: "lowest-highest" of a column.
spread() { sort -n -k "$2,$2" "$1" | awk -v c="$2" 'NR == 1 { lo = $c } { hi = $c } END { printf "%.0f-%.0f", lo, hi }'; }

game="$build/kelvora"
minimal="$build/bench/minimal_sdl_window"
# Other work on the machine shows in every number: the load is part of the report.
loadBefore=$(cut -d' ' -f1-3 /proc/loadavg)

log "== Start-up and memory, $runs runs each"
# Later starts find the honour file and the skin library there already; a first start gets an
# empty folder and writes both. One unmeasured start of each program first, so that all find
# their libraries in the page cache alike; then the kinds of start take turns, so that whatever
# else the machine does falls on all of them alike.
folder="$out/game"
mkdir -p "$folder" "$out/minimal"
cp "$game" "$folder/kelvora"
start_once "$folder/kelvora" "$folder" >/dev/null
start_once "$minimal" "$out/minimal" >/dev/null
kinds=three
if [ -n "$before" ]; then
  kinds=four
  mkdir -p "$out/before"
  cp "$before" "$out/before/kelvora-before"
  start_once "$out/before/kelvora-before" "$out/before" >/dev/null
fi
for n in $(seq 1 "$runs"); do
  first="$out/first-start-$n"
  mkdir -p "$first"
  cp "$game" "$first/kelvora"
  start_once "$first/kelvora" "$first" >> "$out/game-first.txt"
  [ -z "$before" ] || start_once "$out/before/kelvora-before" "$out/before" >> "$out/before.txt"
  start_once "$folder/kelvora" "$folder" >> "$out/game.txt"
  start_once "$minimal" "$out/minimal" >> "$out/minimal.txt"
done

gameMs=$(median "$out/game.txt" 1)
gameFirstMs=$(median "$out/game-first.txt" 1)
minimalMs=$(median "$out/minimal.txt" 1)
gameKb=$(median "$out/game.txt" 2)
gameFirstKb=$(median "$out/game-first.txt" 2)
minimalKb=$(median "$out/minimal.txt" 2)
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# ---------------------------------------------------------------------------------------------
# Idle CPU: the game with no input, only its scroller ticking, over $idleSeconds seconds, from the
# CPU time of all its threads (schedstat, nanoseconds). The X server's share is shown beside it.

xserver=$(ps -o pid=,args= -C Xvfb | awk -v d="${DISPLAY}" '{ for (i = 2; i <= NF; i++) if ($i == d) print $1 }' | head -n 1)

# idle_once PROGRAM FOLDER [SCALE] -> "<% of one core> <X server's % of one core>"; SCALE is the
# desktop's whole-number scale (GDK_SCALE), 1 by default.
idle_once() {
  local program=$1 folder=$2 scale=${3:-1} ready="$out/ready" pid a b xa=0 xb=0 ta tb
  rm -f "$ready"
  (cd "$folder" && GDK_SCALE="$scale" KELVORA_READY_FILE="$ready" exec "$program" >/dev/null 2>>"$out/stderr.txt") &
  pid=$!
  for _ in $(seq 1 500); do [ -s "$ready" ] && break; sleep 0.02; done
  [ -s "$ready" ] || { log "$program showed no frame within 10 s"; kill "$pid"; exit 1; }
  sleep 2
  ta=$EPOCHREALTIME; a=$(cpu_ns "$pid"); [ -n "$xserver" ] && xa=$(cpu_ns "$xserver")
  sleep "$idleSeconds"
  tb=$EPOCHREALTIME; b=$(cpu_ns "$pid"); [ -n "$xserver" ] && xb=$(cpu_ns "$xserver")
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v a="$a" -v b="$b" -v xa="$xa" -v xb="$xb" -v ta="$ta" -v tb="$tb" \
    'BEGIN { w = (tb - ta) * 1e9; printf "%.2f %.2f\n", 100 * (b - a) / w, 100 * (xb - xa) / w }'
}

log "== Idle CPU over $idleSeconds s"
read -r gameIdle gameIdleX < <(idle_once "$folder/kelvora" "$folder")
read -r gameIdle2 gameIdle2X < <(idle_once "$folder/kelvora" "$folder" 2)
read -r minimalIdle minimalIdleX < <(idle_once "$minimal" "$out/minimal")

# ---------------------------------------------------------------------------------------------
# Benchmarks, each case repeated; the median of the repetitions is reported.

run_bench() {  # NAME REPETITIONS
  log "== $1"
  "$build/bench/$1" --benchmark_repetitions="$2" --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/$1.json" --benchmark_out_format=json >&2
}
run_bench bench_turn 5
run_bench bench_drawing 5
run_bench bench_rules 5
run_bench bench_windows 3
loadAfter=$(cut -d' ' -f1-3 /proc/loadavg)

# bench_value FILE CASE [COUNTER]: the median real time of a case in microseconds, or a counter.
bench_value() {
  awk -v want="$2" -v counter="${3:-}" '
    /^ *"name":/ { n = $0; sub(/^ *"name": "/, "", n); sub(/",?$/, "", n); t = ""; u = ""; c = "" }
    /^ *"real_time":/ { t = $2; sub(/,$/, "", t) }
    /^ *"time_unit":/ { u = $2; gsub(/[",]/, "", u) }
    counter != "" && $0 ~ "^ *\"" counter "\":" { c = $2; sub(/,$/, "", c) }
    /^ *}/ && n != "" {
      base = n; sub(/_median$/, "", base)
      if (n ~ /_median$/ && (base == want || index(base, want "/") == 1)) {
        if (counter != "") { print c + 0; exit }
        f = (u == "ns") ? 0.001 : (u == "ms") ? 1000 : (u == "s") ? 1e6 : 1
        printf "%.3f\n", t * f; exit
      }
      n = ""
    }' "$out/$1.json"
}

# ---------------------------------------------------------------------------------------------
# The report.

verdict() {  # MEASURED GOAL -> met / missed (smaller is better)
  awk -v m="$1" -v g="$2" 'BEGIN { print (m + 0 <= g + 0) ? "met" : "**missed**" }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
micro() {  # a duration in microseconds, readably
  awk -v v="$1" 'BEGIN { if (v >= 1000) printf "%.2f ms", v / 1000; else if (v >= 10) printf "%.0f µs", v; else printf "%.2f µs", v }'
}

# bench_row FILE CASE GOAL-MICROSECONDS GOAL-TEXT WHAT
bench_row() {
  local value
  value=$(bench_value "$1" "$2")
  printf '| %s (`%s`) | %s | %s | %s |\n' "$5" "$2" "$4" "$(micro "$value")" "$(verdict "$value" "$3")"
}

# What the game maps that the bare window does not, and the other way round, from the last start
# of each.
onlyGame=$(comm -23 "$out/libraries-kelvora.txt" "$out/libraries-minimal_sdl_window.txt" | paste -sd ' ' -)
onlyMinimal=$(comm -13 "$out/libraries-kelvora.txt" "$out/libraries-minimal_sdl_window.txt" | paste -sd ' ' -)
deb=${KELVORA_DEB:-$(ls "$here"/build-deb/kelvora_*.deb 2>/dev/null | head -n 1 || true)}
depends=""
[ -n "$deb" ] && [ -f "$deb" ] && depends=$(dpkg-deb -f "$deb" Depends 2>/dev/null || true)

cpuModel=$(awk -F': *' '/^model name/ { print $2; exit }' /proc/cpuinfo)
memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
os=$(. /etc/os-release && echo "$PRETTY_NAME")
vm=$(systemd-detect-virt --vm 2>/dev/null || true)
container=$(systemd-detect-virt --container 2>/dev/null || true)
where=""
[ -n "$vm" ] && [ "$vm" != none ] && where="$vm virtual machine"
[ -n "$container" ] && [ "$container" != none ] && where="${where:+$where, }$container container"
compiler=$(awk -F= '/^CMAKE_CXX_COMPILER:/ { print $2 }' "$build/CMakeCache.txt")
compilerVersion=$("$compiler" -dumpfullversion 2>/dev/null || echo "?")

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') by \`bench/measure_performance.sh\` ($buildType build, Xvfb 1024 x 768 x 24, SDL_AUDIODRIVER=dummy)."
  echo
  echo "Machine: $cpuModel, $(nproc) cores, $memory memory; $os, Linux $(uname -r)${where:+ ($where)};"
  echo "SDL $(pkg-config --modversion sdl2), GCC $compilerVersion. Load average (1, 5, 15 min) when measuring began: $loadBefore; at the end: $loadAfter."
  echo
  echo "### Start-up to the first frame, and peak memory"
  echo
  echo "Median (lowest-highest) of $runs runs each; the $kinds kinds of start ran in turns."
  echo
  echo "| | goal | game | bare SDL2 window | game / bare | |"
  echo "|---|---|---|---|---|---|"
  printf '| start-up to first frame | within 1.5 x | %s ms (%s) | %s ms (%s) | %s x | %s |\n' \
    "$gameMs" "$(spread "$out/game.txt" 1)" "$minimalMs" "$(spread "$out/minimal.txt" 1)" \
    "$(ratio "$gameMs" "$minimalMs")" "$(verdict "$(ratio "$gameMs" "$minimalMs")" 1.5)"
  printf '| CPU time used up to the first frame | | %s ms | %s ms | %s x | |\n' "$(median "$out/game.txt" 6)" \
    "$(median "$out/minimal.txt" 6)" "$(ratio "$(median "$out/game.txt" 6)" "$(median "$out/minimal.txt" 6)")"
  printf '| peak memory (max RSS) | within 1.5 x | %s MiB | %s MiB | %s x | %s |\n' "$(mib "$gameKb")" \
    "$(mib "$minimalKb")" "$(ratio "$gameKb" "$minimalKb")" "$(verdict "$(ratio "$gameKb" "$minimalKb")" 1.5)"
  printf '| of which anonymous memory (heap, pixels) | | %s MiB | %s MiB | | |\n' \
    "$(mib "$(median "$out/game.txt" 3)")" "$(mib "$(median "$out/minimal.txt" 3)")"
  printf '| of which mapped files (code, libraries, font caches) | | %s MiB | %s MiB | | |\n' \
    "$(mib "$(median "$out/game.txt" 4)")" "$(mib "$(median "$out/minimal.txt" 4)")"
  printf '| shared libraries mapped | | %.0f | %.0f | | |\n' "$(median "$out/game.txt" 5)" "$(median "$out/minimal.txt" 5)"
  printf '| first start ever (writes both files): start-up | - | %s ms (%s) | | %s x | |\n' \
    "$gameFirstMs" "$(spread "$out/game-first.txt" 1)" \
    "$(ratio "$gameFirstMs" "$minimalMs")"
  printf '| first start ever: CPU time up to the first frame | | %s ms | | %s x | |\n' \
    "$(median "$out/game-first.txt" 6)" "$(ratio "$(median "$out/game-first.txt" 6)" "$(median "$out/minimal.txt" 6)")"
  printf '| first start ever: peak memory | - | %s MiB | | %s x | |\n' "$(mib "$gameFirstKb")" \
    "$(ratio "$gameFirstKb" "$minimalKb")"
  echo
  echo "Shared libraries the game maps and the bare window does not: ${onlyGame:-none}."
  [ -z "$onlyMinimal" ] || echo "The bare window maps these that the game does not: $onlyMinimal."
  if [ -n "$before" ]; then
    echo
    echo "### Before and after, in the same turns"
    echo
    echo "\`$before\` (before) started in turns with this build (after) and the bare window above."
    echo
    echo "| | before | after | bare SDL2 window | before / bare | after / bare |"
    echo "|---|---|---|---|---|---|"
    for row in "start-up to first frame|1|ms" "CPU time used up to the first frame|6|ms" "peak memory (max RSS)|2|MiB" \
               "of which anonymous memory|3|MiB" "of which mapped files|4|MiB" "shared libraries mapped|5|"; do
      IFS='|' read -r what column unit <<< "$row"
      b=$(median "$out/before.txt" "$column"); a=$(median "$out/game.txt" "$column"); m=$(median "$out/minimal.txt" "$column")
      if [ "$unit" = MiB ]; then
        printf '| %s | %s MiB | %s MiB | %s MiB | %s x | %s x |\n' "$what" "$(mib "$b")" "$(mib "$a")" "$(mib "$m")" \
          "$(ratio "$b" "$m")" "$(ratio "$a" "$m")"
      elif [ "$unit" = ms ]; then
        printf '| %s | %s ms | %s ms | %s ms | %s x | %s x |\n' "$what" "$b" "$a" "$m" "$(ratio "$b" "$m")" "$(ratio "$a" "$m")"
      else
        printf '| %s | %.0f | %.0f | %.0f | | |\n' "$what" "$b" "$a" "$m"
      fi
    done
    echo
    onlyBefore=$(comm -23 "$out/libraries-kelvora-before.txt" "$out/libraries-kelvora.txt" | paste -sd ' ' -)
    echo "Shared libraries the earlier build maps and this one does not: ${onlyBefore:-none}."
  fi
  echo
  echo "### The package"
  echo
  if [ -n "$depends" ]; then
    echo "\`$(basename "$deb")\` depends on: $depends."
  else
    echo "No package to read: \`bash scripts/build-deb.sh\` builds one in build-deb/ (or name one in KELVORA_DEB)."
  fi
  echo
  echo "### Idle CPU"
  echo
  echo "No input for $idleSeconds s after start-up; CPU time of all threads."
  echo
  echo "| | goal | measured | X server meanwhile | |"
  echo "|---|---|---|---|---|"
  printf '| the game, scroller running | under 1 %% of one core | %s %% | %s %% | %s |\n' "$gameIdle" "$gameIdleX" \
    "$(awk -v m="$gameIdle" 'BEGIN { print (m < 1) ? "met" : "**missed**" }')"
  printf '| the game at scale 2 (GDK_SCALE=2), scroller running | under 1 %% of one core | %s %% | %s %% | %s |\n' \
    "$gameIdle2" "$gameIdle2X" "$(awk -v m="$gameIdle2" 'BEGIN { print (m < 1) ? "met" : "**missed**" }')"
  printf '| bare SDL2 window, for comparison | - | %s %% | %s %% | |\n' "$minimalIdle" "$minimalIdleX"
  printf '| `bench_windows` idle loop, demo panel (`BM_IdleEventLoopSdl`) | under 1 %% of one core | %.2f %% | | %s |\n' \
    "$(bench_value bench_windows BM_IdleEventLoopSdl cpu_percent)" \
    "$(awk -v m="$(bench_value bench_windows BM_IdleEventLoopSdl cpu_percent)" 'BEGIN { print (m < 1) ? "met" : "**missed**" }')"
  echo
  echo "### A turn beyond its pauses"
  echo
  echo "Headless host: the pauses take no time, so what is left is the turn's own work. The move of"
  echo "k = 4 steps with a three-ball spawn pauses 50 k + 270 = 470 ms; its own work must stay under 2 ms."
  echo
  echo "| operation | goal | measured (median) | |"
  echo "|---|---|---|---|"
  bench_row bench_turn BM_WholeTurnBeyondPauses 2000 "under 2 ms" "select, move 4 steps, spawn 3, present"
  bench_row bench_turn BM_SelectionTick 1800 "under 1.8 ms (1 % of its 180 ms)" "one selection tick, presented"
  bench_row bench_turn BM_NewGame 30000 "under 30 ms (one animation pause)" "a new game, presented"
  later=$(bench_value bench_turn BM_LaterSelectionSdl)
  bench_row bench_turn BM_FirstSelectionSdl "$later" "no longer than a later one" "the first selection after a start, SDL"
  printf '| a later selection, SDL (`BM_LaterSelectionSdl`) | - | %s | |\n' "$(micro "$later")"
  echo
  echo "### Drawing and rules, per operation"
  echo
  echo "| operation | goal | measured (median) | |"
  echo "|---|---|---|---|"
  bench_row bench_drawing BM_BallComposedAndCopied 20 "under 20 µs" "one ball composed and copied to the board"
  bench_row bench_drawing BM_DecodeSprite 20 "part of the line above" "one sprite decoded"
  bench_row bench_drawing BM_ScrollerFrame 150 "under 150 µs" "one scroller frame"
  bench_row bench_rules BM_FindPathCrowded 10 "well under 10 µs" "route search, crowded board"
  bench_row bench_rules BM_FindPathUnreachable 10 "well under 10 µs" "route search, no route"
  bench_row bench_rules BM_FindLinesMagicCentre 10 "well under 10 µs" "line finding around a magic ball"
  bench_row bench_rules BM_FindLinesFullCross 10 "well under 10 µs" "line finding, four full lines"
  bench_row bench_windows BM_MainWindowFirstFrameSdl 100000 "under 100 ms" "main window to first frame, in process (SDL)"
  bench_row bench_windows BM_MainWindowFirstFrameHeadless 100000 "under 100 ms" "main window to first frame, in process (headless)"
} | tee "$out/report.md"
