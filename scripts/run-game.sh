#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds the game alone (no tests) and starts it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KELVORA_BUILD_DIR:-"$here/build-release"}
"$here/scripts/setup.sh" "$build" -DKELVORA_TESTS=OFF
exec "$build/kelvora" "$@"
