#!/usr/bin/env bash
# Removes the copy of Kelvora that scripts/install.sh installed from this folder: every file its
# install wrote and the folders it made for them. The players' honour rolls in their own data
# folders stay.
# Usage: scripts/uninstall.sh      (sudo is used when it must be)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KELVORA_BUILD_DIR:-"$here/build-release"}
[ -f "$build/install_manifest.txt" ] || { echo "No installed copy is recorded in $build"; exit 1; }
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")

# Taking a file away needs the right to write the folder that holds it; the folders the install
# made go from the prefix's parent.
sudo=""
while read -r file; do
  folder=$(dirname "$file")
  while [ ! -d "$folder" ]; do folder=$(dirname "$folder"); done
  [ -w "$folder" ] || sudo="sudo"
done < <(cat "$build/install_manifest.txt"; echo "$prefix")
$sudo cmake --build "$build" --target uninstall

if command -v gtk-update-icon-cache >/dev/null && [ -f "$prefix/share/icons/hicolor/index.theme" ]; then
  $sudo gtk-update-icon-cache -q -t "$prefix/share/icons/hicolor" || true
fi
echo "Kelvora is removed from $prefix"
