#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds Kelvora with its tests and runs them all.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KELVORA_BUILD_DIR:-"$here/build"}
"$here/scripts/setup.sh" "$build" -DKELVORA_TESTS=ON "$@"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
