#!/usr/bin/env bash
# Builds the Windows game on Debian: installs MinGW-w64 (posix threads) and Wine when missing,
# cross-builds a single static kelvora.exe (and the tests and benchmarks) and packs it with a short
# read-me into kelvora-windows.zip. Usage: scripts/build-windows.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64 googletest dpkg-dev cmake zip
  xvfb xauth xdotool imagemagick attr fonts-arphic-uming fonts-wqy-microhei fonts-liberation2
)
"$here/scripts/install-packages.sh" "${packages[@]}"

build=$(realpath -m "${1:-$here/build-win}")
shift || true
# The benchmark programs need Google Benchmark built for Windows, once per build folder; a build of
# the game alone (tests or benchmarks off) does without it.
case " $* " in
  *" -DKELVORA_TESTS=OFF "*|*" -DKELVORA_BENCH=OFF "*) ;;
  *) bash "$here/scripts/build-windows-benchmark.sh" "$build" >/dev/null ;;
esac
cmake -S "$here" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE="${KELVORA_BUILD_TYPE:-Release}" "$@" >/dev/null
cmake --build "$build" -j "${KELVORA_JOBS:-$(nproc)}" ${KELVORA_TARGETS:+--target $KELVORA_TARGETS}
if [ -f "$build/kelvora.exe" ]; then
  package=$(mktemp -d)
  trap 'rm -rf "$package"' EXIT
  cp "$build/kelvora.exe" "$package/kelvora.exe"
  x86_64-w64-mingw32-strip "$package/kelvora.exe"
  cp "$here/docs/windows-readme.txt" "$package/README.txt"
  rm -f "$build/kelvora-windows.zip"
  (cd "$package" && zip -q -9 "$build/kelvora-windows.zip" kelvora.exe README.txt)
  echo "Built $build/kelvora.exe and $build/kelvora-windows.zip"
fi
