#!/usr/bin/env bash
# Runs the real executable on X: the window, the error report, a polite close, and what it
# leaves in an empty home. On bare Xvfb, or with "openbox" under a real window manager.
#   process_test.sh SALESTAX XPROBE [openbox]
set -uo pipefail
salestax=$1 xprobe=$2 wm=${3:-}
. "$(dirname "$0")/../tools/desktop.sh"

start_xvfb
[ "$wm" = openbox ] && start_openbox

# Qt's own options on the command line are ignored; the platform is pinned to X whatever the
# environment says.
QT_QPA_PLATFORM=xcb start "$salestax" --style=Windows -platform offscreen ignored-argument 2>"$scratch/app.log"
pid=$last_pid

wait_for_window Form1 ||
  give_up "the window Form1 did not appear ($(why_not_shown Form1)the program said: $(tail -3 "$scratch/app.log"))"
form=$wid
geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'; }
read -r fx fy fw fh < <(geometry "$form")
check "its client area is 465 x 443 (got ${fw}x$fh)" test "${fw}x$fh" = 465x443
check "it carries WM_CLASS" eval 'xprop -id "$form" WM_CLASS | grep -q "\"salestax\", \"Sales Tax Calculator\""'
icons=$(xprop -id "$form" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | tr '\n' ' ')
check "and _NET_WM_ICON with 16 and 32 pixel images (got $icons)" \
  test "$icons" = "Icon (16 x 16) Icon (32 x 32) "
# Qt's pooled threads, when a style uses them, start at the first paint.
wait_until 5 painted "$form" || give_up "the window was never drawn"
threads=$(ls /proc/$pid/task | wc -l)
check "it runs no more threads than a bare Qt window, 3 (got $threads: $(cat /proc/$pid/task/*/comm | tr '\n' ' '))" \
  test "$threads" -le 3

if [ "$wm" = openbox ]; then
  is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
  check "the window manager gives the window the focus" wait_until 5 is_active "$form"
else
  xdotool windowfocus --sync "$form" >/dev/null 2>&1  # no window manager to do it
fi
xdotool key alt+c
check "with an empty price box, Alt+C brings up the report" wait_for_window "Sales Tax Calculator"
report=$wid
check "and the process stays alive" kill -0 "$pid"
check "the report is transient for the window" \
  eval 'xprop -id "$report" WM_TRANSIENT_FOR | grep -qi "$(printf "0x%x" "$form")"'
check "and modal" eval 'xprop -id "$report" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL'
read -r rx ry rw rh < <(geometry "$report")
dx=$(((rx + rw / 2) - (fx + fw / 2))) dy=$(((ry + rh / 2) - (fy + fh / 2)))
if [ "$wm" = openbox ]; then  # allowing for the report's title bar
  check "and centred on it (off by $dx, $dy)" test "${dx#-}" -le 4 -a "${dy#-}" -le 25
else  # with no window manager Qt can only guess at title bars
  check "and over it (off centre by $dx, $dy)" test "${dx#-}" -le $((fw / 2)) -a "${dy#-}" -le $((fh / 2))
fi
if [ "$wm" = openbox ]; then
  # The window manager asked to close Form1 (_NET_CLOSE_WINDOW, as a taskbar's Close sends
  # it) while the report is up: Qt refuses the close of a window an application-modal box
  # blocks. A second for the close to take effect, if it would.
  wmctrl -i -c "$form"
  ! wait_until 1 window_gone Form1
  check "the window manager's close of Form1 under the report is refused: both stay, the process runs" \
    eval 'window_shown Form1 && window_shown "Sales Tax Calculator" && kill -0 "$pid"'
fi
[ "$wm" = openbox ] || xdotool windowfocus --sync "$report" >/dev/null 2>&1
xdotool key Return
check "Return dismisses the report" wait_until 5 window_gone "Sales Tax Calculator"
check "and the process goes on" kill -0 "$pid"
[ "$wm" = openbox ] && check "and Form1 stays: a close refused under the report is not kept for later" \
  eval '! wait_until 1 window_gone Form1'

# The access key and a click on the button within a moment of each other, in both orders:
# the command runs once, and no click left over runs it again after the report.
reports() { xdotool search --onlyvisible --name "^Sales Tax Calculator\$" 2>/dev/null | wc -l; }
for order in "key alt+c mousemove --window $form 320 190 click 1" \
             "mousemove --window $form 320 190 click 1 key alt+c"; do
  [ "$wm" = openbox ] || xdotool windowfocus --sync "$form" >/dev/null 2>&1
  xdotool $order
  wait_for_window "Sales Tax Calculator"
  # A second report would come at once: a second with none is the quiet that says so.
  ! wait_until 1 eval '[ "$(reports)" -gt 1 ]'
  check "${order%% *} first: one report ($(reports))" test "$(reports)" = 1
  # The click may have left the focus on the window behind the report.
  if [ "$wm" = openbox ]; then xdotool windowactivate --sync "$wid"; else xdotool windowfocus --sync "$wid"; fi >/dev/null 2>&1
  xdotool key Return
  wait_until 5 window_gone "Sales Tax Calculator"
  ! wait_until 1 eval '[ "$(reports)" -gt 0 ]'
  check "and none after it ($(reports))" test "$(reports)" = 0
done

# The access key held as a hand holds it, with the X server's own auto-repeat (a release and
# a press for each repeat), clicked while held, and held while another window takes the
# keyboard: with the box empty, each run of the command brings a report.
focus_form() {
  if [ "$wm" = openbox ]; then xdotool windowactivate --sync "$form"; else xdotool windowfocus --sync "$form"; fi >/dev/null 2>&1
}
dismiss_report() {
  if [ "$wm" = openbox ]; then xdotool windowactivate --sync "$wid"; else xdotool windowfocus --sync "$wid"; fi >/dev/null 2>&1
  xdotool key Return
  wait_until 5 window_gone "Sales Tax Calculator"
}
focus_form
xdotool keydown alt+c
sleep 1.5  # the server repeats a held key after 660 ms, 25 times a second
check "Alt+C held with the keyboard repeating brings no report while held ($(reports))" test "$(reports)" = 0
xdotool keyup c keyup alt
check "and one as C is let go of" wait_for_window "Sales Tax Calculator"
! wait_until 1 eval '[ "$(reports)" -gt 1 ]'
check "only one ($(reports))" test "$(reports)" = 1
dismiss_report
! wait_until 1 eval '[ "$(reports)" -gt 0 ]'
check "and none after it ($(reports))" test "$(reports)" = 0

# Alt let go of first: window managers take Alt and a click for moving the window.
focus_form
xdotool keydown alt+c keyup alt mousemove --window "$form" 320 190 click 1
check "a click while C of Alt+C is held brings the report" wait_for_window "Sales Tax Calculator"
xdotool keyup c
dismiss_report
! wait_until 1 eval '[ "$(reports)" -gt 0 ]'
check "and letting go of C then runs nothing more ($(reports))" test "$(reports)" = 0

if [ "$wm" = openbox ]; then
  focus_form
  xdotool keydown alt+c
  start xmessage -name other -title other "another window"
  other=$last_pid
  is_other_active() { [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = other ]; }
  wait_until 5 is_other_active
  xdotool keyup c keyup alt
  kill "$other"
  check "Alt+C let go of after another window took the keyboard runs nothing" \
    eval '! wait_until 2 eval "[ \"\$(reports)\" -gt 0 ]"'
fi

if [ "$wm" = openbox ]; then
  # The same request for the report itself (what its title bar's close button does) dismisses
  # it as OK does: Form1 stays, and the next Alt+C brings up a report again.
  xdotool windowactivate --sync "$form" key alt+c >/dev/null 2>&1
  wait_for_window "Sales Tax Calculator" && wmctrl -i -c "$wid"
  check "the window manager's close of the report dismisses it, and Form1 stays" \
    eval 'wait_until 5 window_gone "Sales Tax Calculator" && window_shown Form1 && kill -0 "$pid"'
  xdotool windowactivate --sync "$form" key alt+c >/dev/null 2>&1
  check "and Alt+C brings up a report again" wait_for_window "Sales Tax Calculator"
  xdotool key Return
  wait_until 5 window_gone "Sales Tax Calculator"
fi

if [ "$wm" = openbox ]; then
  # The close button at the right end of the title bar, which openbox draws.
  xdotool mousemove "$((fx + fw - 8))" "$((fy - 10))" click 1
else
  "$xprobe" close "$form"
fi
await_exit "$pid"
check "closing the window ends the process with status 0 (got $status)" test "$status" = 0

left=$(find "$scratch"/{home,config,cache,data,state} -mindepth 1 | head)
check "nothing written under HOME or the XDG folders${left:+: $left}" test -z "$left"
finish
