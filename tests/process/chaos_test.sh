#!/usr/bin/env bash
# Random real input into the program built under the sanitizers, on Xvfb with a window
# manager; then a polite close, which must end it with status 0 and no sanitizer report.
#   chaos_test.sh SALESTAX XPROBE FACTS SEED (EVENTS | SECONDS s)
set -uo pipefail
salestax=$1 xprobe=$2 facts=$3 seed=$4 amount=$5
here=$(dirname "$0")
. "$here/../tools/desktop.sh"

"$facts" >"$scratch/facts" || give_up "the build's facts could not be read"
start_xvfb
start_openbox
wm=$last_pid
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../lsan.supp}
QT_QPA_PLATFORM=xcb start "$salestax" 2>"$scratch/app.log"
pid=$last_pid
wait_for_window Form1 || give_up "the window Form1 did not appear: $(tail -5 "$scratch/app.log")"
form=$wid
echo "resident at start: $(resident_kib "$pid") KiB"

case $amount in
  *s) limit=(--seconds "${amount%s}") ;;
  *) limit=(--events "$amount") ;;
esac
python3 "$here/chaos.py" --pid "$pid" --window "$form" --seed "$seed" "${limit[@]}" --log "$scratch/app.log" --facts "$scratch/facts"
check "the random input and its probes passed (seed $seed)" test $? = 0
check "the window manager is still running" kill -0 "$wm"
echo "resident at the end: $(resident_kib "$pid") KiB"

"$xprobe" close "$form"
await_exit "$pid"
check "a polite close ends it with status $status" test "$status" = 0
report=$(grep -E -A12 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$scratch/app.log" | head -40)
check "no sanitizer report and no leak${report:+:
$report}" test -z "$report"
finish
