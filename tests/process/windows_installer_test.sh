#!/usr/bin/env bash
# The Windows packages as a user meets them, under Wine in a prefix of their own: the zip
# holds the program, its licence and read-me; the installer, run silently, puts the program
# in Program Files with a Start-menu shortcut and an entry in the list of installed
# programs; the installed program starts and shows Form1; the silent uninstall leaves no
# file, shortcut or entry behind.
#   windows_installer_test.sh BUILD_DIR WIN32PROBE.exe
set -uo pipefail
build=$1 probe=$2
here=$(dirname "$0")
. "$here/../../tools/desktop.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=${SALESTAX_WINEPREFIX:?}
trap 'wineserver -k 2>/dev/null; timeout 10 wineserver -w 2>/dev/null; cleanup' EXIT
"$here/../../tools/wine-run" --prepare || give_up "no Wine prefix"

(cd "$build" && cpack -B "$scratch/packages" >"$scratch/cpack.log" 2>&1) || give_up "cpack failed: $(tail -3 "$scratch/cpack.log")"
installer=$(ls "$build"/packages/salestax-*-win64.msi 2>/dev/null | head -n 1)
zip=$(ls "$scratch"/packages/salestax-*-win64.zip 2>/dev/null | head -n 1)
[ -n "$installer" ] && [ -n "$zip" ] || give_up "cpack made no installer or zip"
check "the zip holds the program, its licence and read-me" \
  test "$(/usr/bin/python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")" = \
  "LICENSE.txt README.txt salestax.exe"

folder="$WINEPREFIX/drive_c/Program Files/Sales Tax Calculator"
# Windows puts a per-machine package's shortcut in the common Start menu; Wine's Windows
# Installer puts it in the user's. Either is the Start menu.
shortcuts() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Sales Tax Calculator.lnk' 2>/dev/null; }
table() { msiinfo export "$installer" "$1" | tr -d '\r'; }
# The program's entry in the list of installed programs: Windows Installer files it under
# the product code.
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
entry() {
  wine reg query "$uninstall" /s 2>/dev/null | tr -d '\r' | awk -v n="$1" '
    /^HKEY/ { key = $0 } $1 == "DisplayName" && $3 == "Sales" { mine = key }
    { values[key, $1] = $0 } END { v = values[mine, n]; sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, "", v); print v }'
}

start_xvfb  # the installer's window system, even when it shows nothing
start_openbox
timeout 120 wine msiexec /i "$installer" /qn
check "a silent install puts the program in Program Files" test -f "$folder/salestax.exe"
check "with its licence and read-me" eval 'test -f "$folder/LICENSE.txt" && test -f "$folder/README.txt"'
check "and a Start-menu shortcut to it" eval 'shortcut=$(shortcuts); test -f "$shortcut" && grep -qa "salestax.exe" "$shortcut"'
check "which carries the program's icon" eval 'table Shortcut | awk -F "\t" '"'"'$3 == "Sales Tax Calculator" && $9 == "salestax.exe"'"'"' | grep -q . &&
  table Icon | grep -q "^salestax.exe"'
check "and an entry in the installed programs: name, version, publisher" eval \
  '[ "$(entry DisplayName)" = "Sales Tax Calculator" ] && [ "$(entry DisplayVersion)" = 1.0.0.0 ] && [ "$(entry Publisher)" = "Sales Tax Calculator developers" ]'
# Windows shows the package's ARPPRODUCTICON as the entry's icon; Wine's Windows Installer
# writes no DisplayIcon, so the package says it.
check "whose icon is the program's and which can uninstall it" eval \
  'table Property | grep -qx "ARPPRODUCTICON.salestax.exe" && entry UninstallString | grep -qi "msiexec"'

start wine "$folder/salestax.exe"
app=$last_pid
check "the installed program starts and shows Form1" wait_for_window Form1
wine "$probe" close >/dev/null 2>&1
await_exit "$app"
check "and closes with status 0" test "$status" = 0

timeout 120 wine msiexec /x "$installer" /qn
check "a silent uninstall removes the program's folder" eval '! test -e "$folder"'
check "its shortcut" eval '[ -z "$(shortcuts)" ]'
check "and its entry" eval '[ -z "$(entry DisplayName)" ]'
finish
