#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds Kelvora and installs it like a desktop
# game: bin/kelvora, its menu entry, its icons and its AppStream data, under a prefix.
# Usage: scripts/install.sh [prefix]      (default /usr/local; sudo is used when it must be)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prefix=${1:-/usr/local}
build=${KELVORA_BUILD_DIR:-"$here/build-release"}

"$here/scripts/setup.sh" "$build" -DKELVORA_BENCH=OFF

# The nearest folder of the prefix that exists decides whether we may write there ourselves.
existing=$prefix
while [ ! -d "$existing" ]; do existing=$(dirname "$existing"); done
sudo=""
[ -w "$existing" ] || sudo="sudo"
$sudo cmake --install "$build" --prefix "$prefix" --strip

# Menus and icon themes notice new files by themselves on most desktops; refreshing their caches
# where the tools exist makes it immediate everywhere.
if command -v update-desktop-database >/dev/null; then
  $sudo update-desktop-database -q "$prefix/share/applications" || true
fi
if command -v gtk-update-icon-cache >/dev/null && [ -f "$prefix/share/icons/hicolor/index.theme" ]; then
  $sudo gtk-update-icon-cache -q -t "$prefix/share/icons/hicolor" || true
fi
echo "Kelvora is installed in $prefix: start it from the games menu or with $prefix/bin/kelvora"
