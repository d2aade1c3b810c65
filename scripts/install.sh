#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds the game alone (no tests) and installs it
# like a desktop game: bin/kelvora, its menu entry, its icons, its AppStream data, its manual page
# and its licence, under a prefix. scripts/uninstall.sh takes it away again.
# Usage: scripts/install.sh [prefix]      (default /usr/local; sudo is used when it must be)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix=$(realpath -m "${1:-/usr/local}")
build=${KELVORA_BUILD_DIR:-"$here/build-release"}

"$here/scripts/setup.sh" "$build" -DKELVORA_TESTS=OFF -DCMAKE_INSTALL_PREFIX="$prefix"

# The nearest folder of the prefix that exists decides whether we may write there ourselves.
existing=$prefix
while [ ! -d "$existing" ]; do existing=$(dirname "$existing"); done
sudo=""
[ -w "$existing" ] || sudo="sudo"
$sudo cmake --install "$build" --strip

# Icon themes notice new files by themselves on most desktops; refreshing the theme's cache where
# the prefix has one makes it immediate everywhere. (The menu entry names no file types, so the
# desktop database has nothing to learn from it.)
if command -v gtk-update-icon-cache >/dev/null && [ -f "$prefix/share/icons/hicolor/index.theme" ]; then
  $sudo gtk-update-icon-cache -q -t "$prefix/share/icons/hicolor" || true
fi
echo "Kelvora is installed in $prefix: start it from the games menu or with $prefix/bin/kelvora"
echo "To remove it: bash scripts/uninstall.sh"
