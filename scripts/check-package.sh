#!/usr/bin/env bash
# Makes the Debian package in a build folder with cpack and checks what it holds
# and what it declares. For a package to hand out, use a Release build:
#
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZAV_TESTS=OFF
#   cmake --build build-release
#   scripts/check-package.sh build-release
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
cd "$build"
rm -f zav_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb="$(ls zav_*.deb)"

failed=0
# Paths and link targets as dpkg-deb lists them: "./usr/bin/zav -> ../lib/zav/zav".
contents="$(dpkg-deb -c "$deb" | awk '{ name = $6; for (i = 7; i <= NF; i++) name = name " " $i; print name }')"
expect() {
    grep -qxF -- "$1" <<<"$contents" || { echo "check-package: $deb lacks $1" >&2; failed=1; }
}
expect "./usr/lib/zav/zav"
expect "./usr/lib/zav/zavctl"
expect "./usr/bin/zav -> ../lib/zav/zav"
expect "./usr/bin/zavctl -> ../lib/zav/zavctl"
expect "./usr/bin/zav-sim"
for profile in full cx2 led empty; do
    expect "./usr/share/zav-sim/profiles/$profile.txt"
done
for help in helpZAV.chm ayudaZAV.chm ayudajq.chm AideZAV.chm; do
    expect "./usr/share/zav/help/$help"
    expect "./usr/lib/zav/$help -> ../../share/zav/help/$help"
done
expect "./usr/share/applications/zav.desktop"
expect "./usr/share/lintian/overrides/zav"
expect "./usr/share/icons/hicolor/scalable/apps/zav.svg"
expect "./usr/share/icons/hicolor/48x48/apps/zav.png"
for page in zav zavctl zav-sim; do
    expect "./usr/share/man/man1/$page.1.gz"
done

depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 fonts-crosextra-carlito; do
    grep -q "\b$library\b" <<<"$depends" || { echo "check-package: Depends lacks $library" >&2; failed=1; }
done
# A sanitizer build would make the package depend on the sanitizer runtimes.
if grep -q "libasan\|libubsan" <<<"$depends"; then
    echo "check-package: built with sanitizers; use a Release build" >&2
    failed=1
fi
recommends="$(dpkg-deb -f "$deb" Recommends)"
grep -q "\bxchm\b" <<<"$recommends" || { echo "check-package: Recommends lacks xchm" >&2; failed=1; }

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "check-package: $build/$deb"
echo "  Depends: $depends"
echo "  Recommends: $recommends"
echo "  $(grep -c . <<<"$contents") entries, $(du -k "$deb" | cut -f1) KiB"
