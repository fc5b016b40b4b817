#!/usr/bin/env bash
# A screen reader's view of the real program: a private session bus, the accessibility bus,
# the program on X, and a client on AT-SPI.   atspi_test.sh SALESTAX
set -uo pipefail
salestax=$1
here=$(dirname "$0")
. "$here/../../tools/desktop.sh"

start_xvfb
start_openbox  # the focus, as on a desktop
start_session_bus
start /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$scratch/a11y.log" 2>&1
wait_until 10 bus_has_name org.a11y.Bus || give_up "the accessibility bus did not start"

QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start "$salestax" 2>"$scratch/app.log"
app=$last_pid
wait_for_window Form1 || give_up "the window Form1 did not appear"

/usr/bin/python3 "$here/atspi_client.py"
client=$?
check "the screen-reader client passed" test "$client" = 0
check "the program is still running" kill -0 "$app"
finish
