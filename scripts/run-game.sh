#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds Kelvora and starts the game.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
exec "$here/build/kelvora" "$@"
