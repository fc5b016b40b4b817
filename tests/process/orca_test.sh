#!/usr/bin/env bash
# The program under Debian's own screen reader: Orca on a private session bus and
# accessibility bus, speaking through speech-dispatcher into espeak-ng, on Xvfb under
# openbox, driven by real keys and clicks. What it says is read from speech-dispatcher's
# speech log: every text the synthesizer was given, in order.
#   orca_test.sh SALESTAX
set -uo pipefail
salestax=$1
here=$(dirname "$0")
. "$here/../tools/desktop.sh"
export GSETTINGS_BACKEND=memory QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

start_desktop_with_orca

mark
QT_QPA_PLATFORM=xcb start "$salestax" 2>"$scratch/app.log"
app=$last_pid
wait_for_window Form1 || give_up "the window Form1 did not appear"
check "the start speaks the window and the price box" \
  eval 'heard 5 "Form1 frame" && heard_once 5 "Enter Price: text" && ! words_since_mark | grep -q "Price text"'
said_since_mark

calculate 19.99 alt_key c
check "19.99 and Alt+C speaks the tax within a second, once" heard_once 1 "Sales Tax is: 1.1994"
said_since_mark
calculate 19.99 alt_key c
check "the same tax again is spoken again, once" heard_once 1 "Sales Tax is: 1.1994"
calculate 100 xdotool mousemove --window "$wid" 328 192 click 1
check "a click on the button speaks the tax, once, and no other" \
  eval 'heard_once 1 "Sales Tax is: 6" && [ "$(words_since_mark | grep -o "Sales Tax is:" | wc -l)" -eq 1 ]'
said_since_mark

mark
alt_key o
check "Alt+O speaks Ohio, selected" heard 2 "Ohio selected radio button"
check "and not 'not selected'" eval '! since_mark | grep -q "not selected"'
check "the group is named once" test "$(words_since_mark | grep -o 'States' | wc -l)" -eq 1
said_since_mark

mark
xdotool key shift+Tab
heard 2 "Enter Price: text" || echo "  (the price box was not spoken on Shift+Tab)"
mark
xdotool key KP_Enter
check "where am I in the price box gives the last tax" \
  eval 'heard 2 "Enter Price: text" && heard 2 "Sales Tax is: 6"'
said_since_mark

mark
alt_key c
check "an empty box and Alt+C speaks the report" eval 'heard 3 "alert Sales Tax Calculator" &&
  heard 3 "Run-time error 1 Please enter a price: the price box is empty" && heard_like 3 "OK (push )?button"'
said_since_mark
mark
xdotool key Return
check "Return speaks the price box again" heard 3 "Enter Price: text"
said_since_mark

check "Orca and the program are still running" eval 'kill -0 "$orca" && kill -0 "$app"'
finish
