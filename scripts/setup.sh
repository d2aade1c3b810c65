#!/usr/bin/env bash
# Installs the Debian packages Kelvora needs, then configures and builds. Building and playing
# need only the first list; with -DKELVORA_TESTS=OFF among the cmake arguments that is all it
# installs and builds. Otherwise the test tools come too.
# Usage: scripts/setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# To build the game and to run it: compiler, build tools, the libraries and the faces it asks for.
game_packages=(
  cmake g++ make pkg-config
  libsdl2-dev libfreetype-dev libfontconfig-dev libx11-dev
  fonts-arphic-uming fonts-wqy-microhei fonts-liberation2
)
# To test it: GoogleTest and Benchmark, clang for fuzzing, a virtual display and the tools that
# click it and read it back, extended attributes, and the checkers of the desktop files, of the
# package and of the executable's hardening.
test_packages=(
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick attr openbox x11-utils
  appstream desktop-file-utils lintian devscripts
)

build=${1:-"$here/build"}
shift || true
packages=("${game_packages[@]}")
case " $* " in
  *" -DKELVORA_TESTS=OFF "*) ;;
  *) packages+=("${test_packages[@]}") ;;
esac
"$here/scripts/install-packages.sh" "${packages[@]}"

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE="${KELVORA_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
