#!/usr/bin/env bash
# The same source, released twice with scripts/release from two folders of different names
# and on two clocks three days apart, must give the same bytes: the .deb, the Windows
# program, its installer and its zip, the page and the app's folder. On a difference
# diffoscope says where. The one time the files record must be the source's time. With no SOURCE_DATE_EPOCH and no history in the
# copies, that is the build's own choice: the newest changelog entry's date.
#   reproducible_test.sh SOURCE_DIR
set -uo pipefail
source_dir=$(realpath "$1")
here=$(dirname "$0")
. "$here/../tools/desktop.sh"  # the scratch folder and the checks
unset SOURCE_DATE_EPOCH SALESTAX_SIGNING_PKCS12

# The files a clean clone would have, with any not yet committed: no build, no history.
copy_source() {
  mkdir -p "$1"
  if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard | tar -cf - --null -T -)
  else
    tar -C "$source_dir" --exclude=./build -cf - .
  fi | tar -C "$1" -m -xf -  # each file dated now, as in a new checkout
}
release() { # source folder, then any command to run it under
  local src=$1; shift
  "$@" "$src/scripts/release" "$src/out" >"$src.log" 2>&1 || { tail -n 30 "$src.log"; return 1; }
}
a=$scratch/a/salestax b=$scratch/b/a-longer-folder-name/salestax
copy_source "$a" || give_up "could not copy the source"
release "$a" || give_up "the first release failed"
copy_source "$b" || give_up "could not copy the source again"
release "$b" faketime -f +3d || give_up "the second release, three days on, failed"

echo "SHA-256, first release | second release:"
paste -d' ' <(awk '{print $1, $2}' "$a/out/SHA256SUMS") <(awk '{print "|", $1}' "$b/out/SHA256SUMS")
same() {
  cmp -s "$a/out/$1" "$b/out/$1" && return 0
  timeout 120 diffoscope --text - --max-text-report-size 60000 "$a/out/$1" "$b/out/$1"
  return 1
}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$a/build/release-work/linux/CMakeCache.txt")
name=salestax-$version-win64
for file in "salestax_${version}_amd64.deb" "$name.exe" "$name.msi" "$name.zip" salestax.html CHECKING.txt; do
  check "$file is the same in both" same "$file"
done
# The app's folder, file by file, none missing from either.
check "the app's folder holds the same files in both" eval \
  'diff <(cd "$a/out/salestax-$version-web" && find . | sort) <(cd "$b/out/salestax-$version-web" && find . | sort)'
for file in $(cd "$a/out" && find "salestax-$version-web" -type f | LC_ALL=C sort); do
  check "$file is the same in both" same "$file"
done

# What each records of the time.
SOURCE_DATE_EPOCH=$(cat "$a/build/release-work/linux/source_date_epoch")
utc() { TZ=UTC date -d "@$SOURCE_DATE_EPOCH" "$@"; }
check "the .deb's members and files are dated the source's time" eval '
  [ "$(TZ=UTC ar tv "$a/out/salestax_${version}_amd64.deb" | awk "{print \$4, \$5, \$6, \$7}" | sort -u)" = "$(utc "+%b %-d %H:%M %Y")" ] &&
  [ "$(dpkg-deb --fsys-tarfile "$a/out/salestax_${version}_amd64.deb" | TZ=UTC tar -tv --full-time | awk "{print \$4, \$5}" | sort -u)" = "$(utc "+%F %T")" ]'
check "the zip's files are dated the source's time" eval '
  [ "$(TZ=UTC unzip -Z -T "$a/out/$name.zip" | awk "/^-/ {print \$7}" | sort -u)" = "$(utc "+%Y%m%d.%H%M%S")" ]'
check "the installer was made at the source's time" eval '
  [ "$(TZ=UTC msiinfo suminfo "$a/out/$name.msi" | sed -n "s/^Created: //p")" = "$(utc "+%a %b %e %T %Y")" ]'
link_time() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^Time\/Date[[:space:]]*//p'; }
check "the program's header holds no link time" eval '[ "$(TZ=UTC link_time "$a/out/$name.exe")" = "Thu Jan  1 00:00:00 1970" ]'
finish
