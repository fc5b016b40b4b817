#!/usr/bin/env bash
# The Windows packages as a user meets them, under Wine in a prefix of their own: the zip
# holds the program, its licence and read-me; the installer, run silently, puts the program
# in Program Files with a Start-menu shortcut and an entry in the list of installed
# programs; the installed program starts and shows Form1; the silent uninstall leaves no
# file, shortcut or entry behind.
#   windows_installer_test.sh BUILD_DIR WIN32PROBE.exe FACTS.exe
set -uo pipefail
build=$1 probe=$2 facts=$3
here=$(dirname "$0")
. "$here/../tools/desktop.sh"
wine_test_setup "$facts"
name=$(build_fact name) version=$(build_fact version | cut -d' ' -f1) publisher=$(build_fact publisher)

(cd "$build" && cpack -B "$scratch/packages" >"$scratch/cpack.log" 2>&1) || give_up "cpack failed: $(tail -3 "$scratch/cpack.log")"
installer=$(ls "$build"/packages/salestax-*-win64.msi 2>/dev/null | head -n 1)
zip=$(ls "$scratch"/packages/salestax-*-win64.zip 2>/dev/null | head -n 1)
[ -n "$installer" ] && [ -n "$zip" ] || give_up "cpack made no installer or zip"
check "the zip holds the program, its licence and read-me" \
  test "$(/usr/bin/python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")" = \
  "LICENSE.txt README.txt salestax.exe"

folder="$WINEPREFIX/drive_c/Program Files/$name"
# Windows puts a per-machine package's shortcut in the common Start menu; Wine's Windows
# Installer puts it in the user's. Either is the Start menu.
shortcuts() { find "$WINEPREFIX/drive_c" -path "*/Start Menu/Programs/$name.lnk" 2>/dev/null; }
table() { msiinfo export "$installer" "$1" | tr -d '\r'; }
# The list of installed programs as the user sees it (Wine's uninstaller, as Settings, Apps):
# one "KEY|||NAME" line each, on standard output from Wine 8 and on standard error from
# Wine 10. The key of a Windows Installer product's entry is its product code.
listed() { wine uninstaller --list 2>&1 | tr -d '\r' | awk -F '\\|\\|\\|' -v n="$name" '$2 == n { print $1 }'; }
# The installed product as Windows Installer gives it (MsiGetProductInfoW, by the package's
# product code): product KEY prints the probe's "product_KEY VALUE" line's value.
product_code=$(table Property | awk -F '\t' '$1 == "ProductCode" { print $2 }')
product() { wine "$probe" product "$product_code" 2>/dev/null | tr -d '\r' | sed -n "s/^product_$1 //p"; }

start_xvfb  # the installer's window system, even when it shows nothing
start_openbox
timeout 120 wine msiexec /i "$installer" /qn
check "a silent install puts the program in Program Files" test -f "$folder/salestax.exe"
check "with its licence and read-me" eval 'test -f "$folder/LICENSE.txt" && test -f "$folder/README.txt"'
check "and a Start-menu shortcut to it" eval 'shortcut=$(shortcuts); test -f "$shortcut" && grep -qa "salestax.exe" "$shortcut"'
check "which carries the program's icon" eval 'table Shortcut | awk -F "\t" -v n="$name" '"'"'$3 == n && $9 == "salestax.exe"'"'"' | grep -q . &&
  table Icon | grep -q "^salestax.exe"'
check "and it is in the list of installed programs, as the package's product ($product_code)" \
  eval '[ -n "$product_code" ] && [ "$(listed)" = "$product_code" ]'
check "which Windows Installer has installed under our name, at our version, by our publisher" \
  eval '[ "$(product name)" = "$name" ] && [ "$(product version)" = "$version" ] && [ "$(product publisher)" = "$publisher" ]'
# Windows shows the package's ARPPRODUCTICON as the entry's icon; Wine's Windows Installer
# writes no DisplayIcon, so the package says it. Removing the entry removes the product with
# the package Windows Installer keeps for it.
check "whose icon is the program's and which can uninstall it" eval \
  'table Property | grep -qx "ARPPRODUCTICON.salestax.exe" && [ "$(product package_kept)" = 1 ]'

start wine "$folder/salestax.exe"
app=$last_pid
# The first program a new prefix starts may take a while longer.
check "the installed program starts and shows Form1" wait_for_window Form1 20
wine "$probe" close >/dev/null 2>&1
await_exit "$app"
check "and closes with status 0" test "$status" = 0

timeout 120 wine msiexec /x "$installer" /qn
check "a silent uninstall removes the program's folder" eval '! test -e "$folder"'
check "its shortcut" eval '[ -z "$(shortcuts)" ]'
check "and takes it off the list of installed programs" eval '[ -z "$(listed)" ]'
check "and Windows Installer no longer has it" eval '[ -z "$(product installed)" ]'
finish
