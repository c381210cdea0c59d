#!/usr/bin/env bash
# Tries the Windows installer in the Wine prefix $WINEPREFIX:
#
#   scripts/windows/test-installer.sh OUT_DIR
#
# installs OUT_DIR/zav-*-setup.exe silently into Program Files, checks the files
# and the Start-menu entries, asks the installed zav.exe and zavctl.exe their
# version, leaves a parameter file and a zav.ini in the install folder as a
# technician would, uninstalls silently, and checks that the program went and
# the technician's files stayed.
set -euo pipefail

out=$(cd "$1" && pwd)
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix}"
setups=("$out"/zav-*-setup.exe)
setup=${setups[0]}
[ -f "$setup" ] || { echo "installer: no zav-*-setup.exe in $out" >&2; exit 1; }
version=$(basename "$setup" | sed 's/^zav-\(.*\)-setup\.exe$/\1/')
dir="$WINEPREFIX/drive_c/Program Files/ZAV"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZAV"
installed=(zav.exe zavctl.exe helpZAV.chm ayudaZAV.chm ayudajq.chm AideZAV.chm uninstall.exe)

fail() {
    echo "installer: $*" >&2
    exit 1
}

# A leftover of an earlier run would hide what this one does.
rm -rf "$dir" "$menu"

echo "+ wine $(basename "$setup") /S"
wine "$setup" /S
for name in "${installed[@]}"; do
    [ -f "$dir/$name" ] || fail "$name not installed"
done
links=("$menu"/*.lnk)
[ ${#links[@]} = 3 ] || fail "expected 3 Start-menu entries, found: $(ls "$menu" 2>/dev/null | tr '\n' ' ')"
# The demo's entry starts zav.exe with --demo.
demo=0
for link in "${links[@]}"; do
    strings -el "$link" | grep -qx -- '--demo' && demo=1
done
[ "$demo" = 1 ] || fail "no Start-menu entry starts zav.exe --demo"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZAV'
wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$version" ||
    fail "no entry with version $version among the installed programs"
echo "installed: $(cd "$dir" && ls | tr '\n' ' ')"
echo "Start menu: $(cd "$menu" && ls | tr '\n' ' ')"

for program in zav.exe zavctl.exe; do
    answer=$(wine "C:\\Program Files\\ZAV\\$program" --version 2>/dev/null | tr -d '\r')
    echo "$program --version: $answer"
    grep -q "$version" <<<"$answer" || fail "the installed $program does not answer its version $version"
done

# The technician's own files in the program's folder.
printf '1\r\n0\r\n0\r\n"1"\r\n0\r\n' >"$dir/zav.ini"
printf '0\r\n' >"$dir/lantern.zav"

echo "+ wine uninstall.exe /S"
wine "C:\\Program Files\\ZAV\\uninstall.exe" /S
# The uninstaller runs on from a copy of itself in the temporary folder.
for _ in $(seq 1 120); do
    [ -e "$dir/uninstall.exe" ] || break
    sleep 0.5
done
for name in "${installed[@]}"; do
    [ ! -e "$dir/$name" ] || fail "$name left behind by the uninstaller"
done
[ ! -e "$menu" ] || fail "Start-menu folder left behind: $(ls "$menu" | tr '\n' ' ')"
! wine reg query "$key" >/dev/null 2>&1 || fail "the entry among the installed programs is left behind"
[ -f "$dir/lantern.zav" ] || fail "the uninstaller removed the technician's lantern.zav"
[ -f "$dir/zav.ini" ] || fail "the uninstaller removed zav.ini"
echo "uninstalled; left in place: $(cd "$dir" && ls | tr '\n' ' ')"
rm -rf "$dir"
echo "installer: passed"
