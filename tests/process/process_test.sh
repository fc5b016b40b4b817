#!/usr/bin/env bash
# Runs the real executable under Xvfb: the window, the error report, a polite close, and
# what it leaves in an empty home.   process_test.sh SALESTAX XPROBE
set -uo pipefail
salestax=$1 xprobe=$2

if [ -z "${INSIDE_XVFB:-}" ]; then
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 800x600x24 -dpi 96 -noreset" "$0" "$@"
fi

passed=0 failed=0
check() { # description, command...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAIL: $what"; fi
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null' EXIT
for d in home config cache data state runtime; do mkdir -p "$scratch/$d"; done
chmod 700 "$scratch/runtime"

HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache \
XDG_DATA_HOME=$scratch/data XDG_STATE_HOME=$scratch/state XDG_RUNTIME_DIR=$scratch/runtime \
  "$salestax" --style=Windows -platform offscreen ignored-argument &
pid=$!

window_id() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
wait_for_window() { # name -> sets wid
  for _ in $(seq 100); do wid=$(window_id "$1"); [ -n "$wid" ] && return 0; sleep 0.1; done
  return 1
}

check "the window Form1 appears (Qt options on the command line are ignored)" wait_for_window Form1
form=$wid
size=$(xwininfo -id "$form" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
check "its client area is 465 x 443 (got $size)" test "$size" = "465x443"

echo "threads: $(ls /proc/$pid/task | wc -l): $(cat /proc/$pid/task/*/comm | tr '\n' ' ')"

xdotool windowfocus --sync "$form" >/dev/null 2>&1
xdotool key alt+c
check "with an empty price box, Alt+C brings up the report" wait_for_window "Sales Tax Calculator"
check "and the process stays alive" kill -0 "$pid"
xdotool windowfocus --sync "$wid" >/dev/null 2>&1
xdotool key Return
sleep 0.5
check "after the report is dismissed the process goes on" kill -0 "$pid"
check "and the report is gone" test -z "$(window_id "Sales Tax Calculator")"

"$xprobe" close "$form"
status=timeout
for _ in $(seq 50); do
  if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; status=$?; break; fi
  sleep 0.1
done
pid=
check "a polite close ends the process with status 0 (got $status)" test "$status" = 0

left=$(find "$scratch" -mindepth 2 | head)
check "nothing written under HOME or the XDG folders${left:+: $left}" test -z "$left"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
