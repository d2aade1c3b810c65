#!/usr/bin/env bash
# Runs the window benchmarks on a virtual X display, as the end-to-end test does.
# Usage: bench/run_windows_bench.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
SDL_AUDIODRIVER=dummy exec "$here/scripts/with-xvfb.sh" "$build/bench/bench_windows"
