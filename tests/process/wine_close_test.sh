#!/usr/bin/env bash
# The Windows program under Wine told to close while its error report is up: WM_CLOSE posted
# to Form1 from another process, as "End task", taskkill without /f or any other program
# sends it. The report goes at once, as OK would dismiss it, and Form1 with it; the process
# ends by itself with status 0, and Wine reports no fault. The report brought up
# by the access key and by a click on the button: either way a handler of the window waits
# in the report's loop when the close arrives.
#   wine_close_test.sh SALESTAX.exe WIN32PROBE.exe FACTS.exe
set -uo pipefail
exe=$1 probe=$2 facts=$3
. "$(dirname "$0")/../tools/desktop.sh"
wine_test_setup "$facts"
start_xvfb
start_openbox

# The probe exits with 2 when what it reads (Form1 or its report) is not there.
absent() { wine "$probe" "$1" >/dev/null 2>&1; [ $? -eq 2 ]; }
read_window() { wine "$probe" window 2>/dev/null | tr -d '\r' >"$scratch/probe.txt"; }
# The centre of a control in Form1's client area, from the probe's "rect=left,top,right,bottom".
centre_of() {
  awk -v n="$1" '$1 == "control" && $2 == n { for (i = 3; i <= NF; i++)
    if ($i ~ /^rect=/) { split(substr($i, 6), r, ","); print int((r[1] + r[3]) / 2), int((r[2] + r[4]) / 2) } }' "$scratch/probe.txt"
}

while read -r how; do
  start wine "$exe" 2>"$scratch/stderr"
  app=$last_pid
  wait_for_window Form1 || give_up "the window Form1 did not appear"
  # Keys go to Form1 once Wine has given its price box the focus.
  wait_until 5 eval 'read_window && grep -qx "focus txtPrice" "$scratch/probe.txt"' || give_up "Form1 never had the focus"
  case $how in
    access-key) xdotool key alt+c ;;
    click) read -r x y < <(centre_of cmdCalculateSalesTax)
      xdotool mousemove --window "$wid" "${x:-0}" "${y:-0}" click 1 ;;
  esac
  wait_until 5 eval '! absent report' || give_up "$how: the empty price box brought up no report"
  wine "$probe" close || give_up "$how: the probe could not post WM_CLOSE to Form1"
  check "$how: told to close while the report is up, the report goes, and Form1 with it" \
    eval 'wait_until 5 absent report && wait_until 10 absent window'
  wait_until 10 ended "$app"
  await_exit "$app"
  check "$how: and the process ends with status 0 (got $status)" test "$status" = 0
  fault=$(grep -i -e 'page fault' -e unhandled "$scratch/stderr" | head -n 3)
  check "$how: and Wine reports no fault${fault:+: $fault}" test -z "$fault"
  # A program left hanging (a crash waits in the debugger) is not the next one's business.
  [ "$status" = running ] && { wineserver -k 2>/dev/null; timeout 10 wineserver -w 2>/dev/null; }
done <<'EOF'
access-key
click
EOF
finish
