#!/usr/bin/env bash
# Builds the browser game on Debian with Debian's Emscripten: installs what it needs when missing,
# turns the sources' Chinese literals into GBK escapes in a copy inside the build folder (clang has
# no GBK execution character set), builds the game, its unit and scenario suites (run in Node) and
# the static site in <build>/site (any static web server can serve the folder). Usage: scripts/build-web.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Chromium and npm serve the end-to-end test (npm fetches playwright-core, never a browser).
packages=(emscripten nodejs googletest cmake make python3 fonts-arphic-uming fonts-wqy-microhei fonts-liberation2
          chromium)
# Node.js from elsewhere (NodeSource) brings its own npm, which Debian's npm package would conflict with.
command -v npm >/dev/null || packages+=(npm)
"$here/scripts/install-packages.sh" "${packages[@]}"

build=$(realpath -m "${1:-$here/build-web}")
shift || true
# Debian's Emscripten finds its Node modules (acorn) only here.
export NODE_PATH=/usr/share/nodejs
mkdir -p "$build/source"
python3 "$here/tools/gbk_literals.py" "$here" "$build/source" cmake src tests tools
cp -p "$here/CMakeLists.txt" "$build/source/CMakeLists.txt.new"
cmp -s "$build/source/CMakeLists.txt.new" "$build/source/CMakeLists.txt" 2>/dev/null \
  && rm "$build/source/CMakeLists.txt.new" || mv "$build/source/CMakeLists.txt.new" "$build/source/CMakeLists.txt"

emcmake cmake -S "$build/source" -B "$build/out" -DKELVORA_GBK_SOURCE_COPY=ON -DKELVORA_BENCH=OFF -DKELVORA_SITE_DIR="$build/site" \
  -DCMAKE_BUILD_TYPE="${KELVORA_BUILD_TYPE:-Release}" "$@" >/dev/null
cmake --build "$build/out" -j "${KELVORA_JOBS:-$(nproc)}" ${KELVORA_TARGETS:+--target $KELVORA_TARGETS}
