#!/usr/bin/env bash
# A screen reader's view of the real program: a private session bus, the accessibility bus,
# the program, and a client on AT-SPI. On X under a window manager (openbox), on bare X
# (xvfb), or on a Wayland compositor with no X server (weston).
#   atspi_test.sh SALESTAX [openbox | xvfb | weston]
set -uo pipefail
salestax=$1 desktop=${2:-openbox}
here=$(dirname "$0")
. "$here/../../tools/desktop.sh"

start_session_bus
start /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$scratch/a11y.log" 2>&1
wait_until 10 bus_has_name org.a11y.Bus || give_up "the accessibility bus did not start"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
if [ "$desktop" = weston ]; then
  unset DISPLAY
  start_weston
  WAYLAND_DISPLAY=$wayland_socket QT_QPA_PLATFORM=wayland start "$salestax" 2>"$scratch/app.log"
else
  start_xvfb
  [ "$desktop" = openbox ] && start_openbox
  QT_QPA_PLATFORM=xcb start "$salestax" 2>"$scratch/app.log"
  wait_for_window Form1 || give_up "the window Form1 did not appear"
  [ "$desktop" = xvfb ] && xdotool windowfocus --sync "$wid" >/dev/null 2>&1  # no window manager to do it
fi
app=$last_pid

client_options=()
[ "$desktop" = weston ] && client_options=(--no-keyboard)
/usr/bin/python3 "$here/atspi_client.py" "${client_options[@]}"
check "the screen-reader client passed" test $? = 0
check "the program is still running" kill -0 "$app"
finish
