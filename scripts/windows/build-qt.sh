#!/usr/bin/env bash
# Builds a static qtbase for 64-bit Windows from Debian's own qt6-base source,
# once, into the cache folder given as $1. The host's Qt tools (moc, rcc, uic)
# come from Debian's qt6-base-dev-tools of the same version.
#
#   scripts/windows/build-qt.sh PREFIX           builds unless PREFIX holds it
#   scripts/windows/build-qt.sh --cached PREFIX  only says: 0 when PREFIX holds it
set -euo pipefail
check_only=0
if [ "${1:-}" = --cached ]; then
    check_only=1
    shift
fi
prefix=$1
repo=$(cd "$(dirname "$0")/../.." && pwd)
version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)   # e.g. 6.4.2+dfsg-10
stamp="$prefix/.zav-qt-version"

if [ -n "$version" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && [ -x "$prefix/bin/qt-cmake" ]; then
    [ "$check_only" = 1 ] || echo "Static Qt $version for Windows: $prefix (cached)"
    exit 0
fi
[ "$check_only" = 0 ] || exit 1
echo "Building static Qt $version for Windows into $prefix (once; about an hour on 2 cores)"

# The source of exactly the host's version, from the machine's own archive.
src_list=/etc/apt/sources.list.d/zav-deb-src.sources
if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -q '^Sources$'; then
    uris=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
    cat >"$src_list" <<SRC
Types: deb-src
URIs: ${uris:-http://deb.debian.org/debian}
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update -q
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zav-qtbuild.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source -q --download-only "qt6-base=$version"
dpkg-source -q -x qt6-base_*.dsc qtbase >/dev/null

rm -rf "$prefix"
cmake -S qtbase -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=OFF \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
    -DINPUT_openssl=no -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_libpng=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF
cmake --build build -j"$(nproc)"
cmake --install build
echo "$version" >"$stamp"
