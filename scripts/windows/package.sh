#!/usr/bin/env bash
# Packs a Windows cross-build for the technician's laptop:
#
#   scripts/windows/package.sh BUILD_DIR OUT_DIR
#
# OUT_DIR/zav-VERSION-setup.exe    NSIS installer: zav.exe, zavctl.exe and the four
#                                  help files into Program Files\ZAV, Start-menu
#                                  entries for the tool and for the demo, an
#                                  uninstaller that removes only what it installed
# OUT_DIR/zav-VERSION-windows.zip  the same files in a folder zav-VERSION\, to run
#                                  from where it is unpacked (a USB stick)
#
# Qt is linked in statically and the window's face travels inside zav.exe, so
# there are no DLLs, plug-ins or font files beside the programs; the programs
# use no Qt translations (their texts come from their own string table).
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
version=$(sed -n 's/^project(zav VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

files=("$build/zav.exe" "$build/tools/zavctl/zavctl.exe")
for help in helpZAV.chm ayudaZAV.chm ayudajq.chm AideZAV.chm; do
    files+=("$build/$help")
done
for file in "${files[@]}"; do
    [ -f "$file" ] || { echo "package: $file not built" >&2; exit 1; }
done

work="$out/package"
stage="$work/zav-$version"
rm -rf "$work"
mkdir -p "$stage"
cp "${files[@]}" "$stage/"
# The release build keeps no debugging use for its symbol tables.
x86_64-w64-mingw32-strip "$stage/zav.exe" "$stage/zavctl.exe"

# One list feeds both the installer's File lines and the uninstaller's Delete
# lines, so the uninstaller removes exactly what was installed.
: >"$work/files.nsh"
: >"$work/remove.nsh"
for file in "$stage"/*; do
    name=$(basename "$file")
    echo "File \"$file\"" >>"$work/files.nsh"
    echo "Delete \"\$INSTDIR\\$name\"" >>"$work/remove.nsh"
done

# The installer's icon, from the same pictures as the Linux desktop's.
icons=()
for size in 16 24 32 48 64 128 256; do
    icons+=("$repo/packaging/icons/zav-$size.png")
done
convert "${icons[@]}" "$work/zav.ico"

setup="$out/zav-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILES="$work/files.nsh" -DREMOVE="$work/remove.nsh" \
    -DICON="$work/zav.ico" -DOUTFILE="$setup" "$repo/packaging/windows/zav.nsi"

zip="$out/zav-$version-windows.zip"
rm -f "$zip"
(cd "$work" && zip -q -r -X "$zip" "zav-$version")

echo "package: $setup ($(du -h "$setup" | cut -f1)), $zip ($(du -h "$zip" | cut -f1))"
