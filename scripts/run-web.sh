#!/usr/bin/env bash
# Builds the browser game (scripts/build-web.sh) and serves its static site on 127.0.0.1, printing
# the address to open; Ctrl+C stops the server. Any static web server can serve the folder instead.
# Usage: scripts/run-web.sh [build-dir] [port]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$here/build-web}")
port=${2:-8080}
KELVORA_TARGETS=kelvora_site bash "$here/scripts/build-web.sh" "$build"
echo "Kelvora is served at http://127.0.0.1:$port/ (Ctrl+C stops it)"
cd "$build/site"
exec python3 -m http.server "$port" --bind 127.0.0.1
