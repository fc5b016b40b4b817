#!/usr/bin/env bash
# Start-up benchmark under Xvfb: time from exec to the window being mapped, and resident
# memory once it is shown, for the calculator and for a bare Qt window of the same size.
# Runs are interleaved; prints medians and same-run ratios.   bench/startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
scripts/install-deps --bench
cmake --preset bench >/dev/null
cmake --build --preset bench --target salestax bare_window xprobe >/dev/null

. tests/tools/desktop.sh
start_xvfb
export QT_QPA_PLATFORM=xcb
probe=build/bench/tests/tools/xprobe
"$probe" launch 300 build/bench/qt/salestax >/dev/null   # warm the caches once
"$probe" launch 300 build/bench/bench/bare_window >/dev/null
for _ in $(seq "$runs"); do
  "$probe" launch 300 build/bench/qt/salestax >>"$scratch/app"
  "$probe" launch 300 build/bench/bench/bare_window >>"$scratch/bare"
done
median() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$2" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
app_ms=$(median map_ms "$scratch/app"); bare_ms=$(median map_ms "$scratch/bare")
app_kib=$(median rss_kib "$scratch/app"); bare_kib=$(median rss_kib "$scratch/bare")
echo "runs: $runs each, interleaved"
echo "calculator: exec to map ${app_ms} ms, resident ${app_kib} KiB"
echo "bare window: exec to map ${bare_ms} ms, resident ${bare_kib} KiB"
awk -v a="$app_ms" -v b="$bare_ms" -v c="$app_kib" -v d="$bare_kib" \
  'BEGIN {printf "ratio: time %.2fx, memory %.2fx\n", a / b, c / d}'
