#!/usr/bin/env bash
# The Windows program under Wine beside the Qt program under Xvfb, in one run: the
# executables' sizes; time from exec to the window mapped (painted), resident memory
# (the working set under Wine) and threads once it is shown. Wine runs with its
# wineserver already up, as on a desktop where Wine programs have run. Runs interleave;
# prints medians and same-run ratios.   bench/windows_startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
scripts/install-deps --bench && scripts/install-deps --windows
cmake --preset bench >/dev/null && cmake --build --preset bench --target salestax xprobe >/dev/null
cmake --preset windows-program >/dev/null && cmake --build --preset windows-program --target salestax >/dev/null

. tests/tools/desktop.sh
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$PWD/build/windows-program/wineprefix
trap 'wineserver -k 2>/dev/null; timeout 10 wineserver -w 2>/dev/null; cleanup' EXIT
tests/tools/wine-run --prepare
start_xvfb
export QT_QPA_PLATFORM=xcb
wineserver -p  # stays up between runs
export XPROBE_WINDOW_NAME=Form1  # not a helper window of Wine's
probe=build/bench/tests/tools/xprobe qt=build/bench/qt/salestax exe=build/windows-program/win32/salestax.exe
"$probe" launch 500 "$qt" >/dev/null; "$probe" launch 500 /usr/bin/wine "$exe" >/dev/null  # warm up
for _ in $(seq "$runs"); do
  "$probe" launch 500 "$qt" >>"$scratch/qt"
  "$probe" launch 500 /usr/bin/wine "$exe" >>"$scratch/win"
done
median() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$2" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
size() { stat -c %s "$1"; }
echo "runs: $runs each, interleaved"
printf '%-28s %12s %12s\n' "" "Windows/Wine" "Qt/Xvfb"
printf '%-28s %12s %12s\n' "executable (bytes)" "$(size "$exe")" "$(size "$qt")"
printf '%-28s %12s %12s\n' "exec to window mapped (ms)" "$(median map_ms "$scratch/win")" "$(median map_ms "$scratch/qt")"
printf '%-28s %12s %12s\n' "resident once shown (KiB)" "$(median rss_kib "$scratch/win")" "$(median rss_kib "$scratch/qt")"
printf '%-28s %12s %12s\n' "threads once shown" "$(median threads "$scratch/win")" "$(median threads "$scratch/qt")"
awk -v a="$(median map_ms "$scratch/win")" -v b="$(median map_ms "$scratch/qt")" \
  -v c="$(median rss_kib "$scratch/win")" -v d="$(median rss_kib "$scratch/qt")" \
  'BEGIN {printf "ratio Windows/Qt: time %.2fx, memory %.2fx\n", a / b, c / d}'
