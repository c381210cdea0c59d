#!/usr/bin/env bash
# Installs the Debian packages the build, the tool and the tests need.
# Does nothing when they are all there.
set -euo pipefail

# The build: compiler, Qt, its translation tools and Qt's own translations,
# chmcmd for the help files (fp-utils), and what cpack -G DEB needs to work out
# the package's dependencies (dpkg-dev, file).
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
          qt6-l10n-tools qt6-translations-l10n
          libgl-dev fonts-dejavu-core fonts-crosextra-carlito fp-utils dpkg-dev file)
for option in "$@"; do
    case "$option" in
    --gui) packages+=(xvfb xauth) ;;   # a virtual display for machines without one
    --help-viewer) packages+=(xchm) ;; # what the Help button opens the manual with
    --test) packages+=(libchm-bin) ;;  # the help files' test reads them back
    # The Windows cross-build, its tests under Wine, its installer and pictures.
    --windows) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 nsis zip
                          imagemagick xvfb xauth xdotool) ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
