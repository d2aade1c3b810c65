#!/usr/bin/env bash
# Builds the Debian package kelvora_<version>_amd64.deb: the game alone (no tests), hardened and
# stripped, installing into /usr with the executable in /usr/games as Debian keeps its games.
# Usage: scripts/build-deb.sh [output-dir]      (default: the build folder, build-deb)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${KELVORA_BUILD_DIR:-"$here/build-deb"}")
out=$(realpath -m "${1:-"$build"}")

# dpkg-shlibdeps (in dpkg-dev) and file find the libraries the game links.
"$here/scripts/install-packages.sh" dpkg-dev file
KELVORA_BUILD_TYPE=RelWithDebInfo "$here/scripts/setup.sh" "$build" -DKELVORA_TESTS=OFF \
  -DKELVORA_DEBIAN_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr -DKELVORA_INSTALL_BINDIR=games
# cpack stages the files with the permissions the umask allows: 022 gives those Debian expects.
(umask 022 && cd "$build" && cpack -G DEB -B "$out" > "$build/cpack.log") ||
  { cat "$build/cpack.log"; exit 1; }
rm -rf "$out/_CPack_Packages"
ls "$out"/kelvora_*_amd64.deb
