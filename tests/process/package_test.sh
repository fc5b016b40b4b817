#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks it as a user's machine would meet
# it: its control fields and contents, lintian, that apt can install it here, and that the
# program taken out of it opens its window.   package_test.sh BUILD_DIR APP_ID FACTS
set -uo pipefail
build=$1 id=$2 facts=$3
. "$(dirname "$0")/../tools/desktop.sh"
version=$("$facts" | awk '$1 == "version" { print $2 }')
[ -n "$version" ] || give_up "the build's facts give no version"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  give_up "cpack failed: $(tail -5 "$scratch/cpack.log")"
deb=$(ls "$scratch"/out/salestax_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || give_up "no salestax_<version>_amd64.deb was made"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

field() { dpkg-deb --field "$deb" "$1"; }
check "it is named salestax_${version}_amd64.deb" test "$(basename "$deb")" = "salestax_${version}_amd64.deb"
check "Version is the project's, $version (got $(field Version))" test "$(field Version)" = "$version"
for f in Section Priority Maintainer Description Homepage; do
  check "$f is filled in" test -n "$(field $f)"
done
depends=$(field Depends)
for d in libqt6widgets6 libqt6gui6 qt6-wayland fonts-liberation2; do
  check "it depends on $d" eval 'grep -qw "$d" <<<"$depends"'
done

dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/contents"
files=(/usr/bin/salestax /usr/share/doc/salestax/copyright /usr/share/doc/salestax/changelog.gz
       /usr/share/man/man1/salestax.1.gz /usr/share/applications/$id.desktop
       /usr/share/metainfo/$id.metainfo.xml /usr/share/icons/hicolor/scalable/apps/$id.svg
       /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128}/apps/$id.png)
for f in "${files[@]}"; do
  check "it installs $f" grep -qx "$f" "$scratch/contents"
done
check "and nothing else" test "$(grep -vc '/$' "$scratch/contents")" = "${#files[@]}"

lintian "$deb" 2>&1 | grep -v 'running with root privileges' >"$scratch/lintian.log"
cat "$scratch/lintian.log"
check "lintian reports no error or warning" eval '! grep -q "^[EW]:" "$scratch/lintian.log"'
check "apt can install it here" eval 'apt-get install --simulate "$deb" 2>&1 | grep -q "^Inst salestax "'

dpkg-deb -x "$deb" "$scratch/root"
check "the program in it is stripped" eval 'file "$scratch/root/usr/bin/salestax" | grep -q ", stripped"'
start_xvfb
QT_QPA_PLATFORM=xcb start "$scratch/root/usr/bin/salestax" 2>"$scratch/app.log"
check "and opens its window" wait_for_window Form1
finish
