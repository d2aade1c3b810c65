#!/usr/bin/env bash
# Google Benchmark for the Windows build: Debian ships no MinGW build of it, so its Debian source
# package (the version libbenchmark-dev is made from) is fetched once and cross-built, static,
# into BUILD-DIR/third_party/benchmark/install. A later run finds it there and does nothing.
# Usage: scripts/build-windows-benchmark.sh BUILD-DIR     (prints the install prefix)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "$1")
version=1.7.1-1
top="$build/third_party/benchmark"
prefix="$top/install"
stamp="$prefix/kelvora-benchmark-$version"

if [ -f "$stamp" ] && [ -f "$prefix/lib/cmake/benchmark/benchmarkConfig.cmake" ]; then
  echo "$prefix"
  exit 0
fi
rm -rf "$top"
mkdir -p "$top/apt/etc" "$top/apt/lists/partial" "$top/apt/cache" "$top/download"
# Each step's chatter goes to a log, shown only when the step fails.
log="$top/log.txt"
quietly() { "$@" >>"$log" 2>&1 || { cat "$log" >&2; echo "failed: $*" >&2; exit 1; }; }

# A private list of Debian's sources, so the system's own apt configuration stays as it is. apt
# checks every file it fetches against the signed index, the .dsc included; dpkg-source then checks
# the tarballs against the .dsc (and stops if they differ) and applies Debian's patches.
cat > "$top/apt/etc/debian-sources.sources" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
apt=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$top/apt/etc"
     -o Dir::State::Lists="$top/apt/lists" -o Dir::Cache="$top/apt/cache")
# apt fetches as its own unprivileged user where it can write the folder.
if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
  chown _apt "$top/download" "$top/apt/lists/partial"
fi
echo "Fetching the source of Google Benchmark $version" >&2
quietly apt-get "${apt[@]}" update
(cd "$top/download" && quietly apt-get "${apt[@]}" source --download-only "benchmark=$version")
# The .dsc's signature needs Debian's developer keyring, which is not installed: dpkg-source says
# so and goes on; the .dsc itself was checked by apt.
quietly dpkg-source -x "$top/download/benchmark_$version.dsc" "$top/source"

echo "Building Google Benchmark for Windows" >&2
quietly cmake -S "$top/source" -B "$top/build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
  -DGIT_VERSION="${version%-*}" -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
  -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_LTO=OFF -DBENCHMARK_INSTALL_DOCS=OFF
quietly cmake --build "$top/build" -j "${KELVORA_JOBS:-$(nproc)}"
quietly cmake --install "$top/build"
touch "$stamp"
echo "$prefix"
