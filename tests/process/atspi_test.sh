#!/usr/bin/env bash
# A screen reader's view of the real program: a private session bus, the accessibility bus,
# the program, and a client on AT-SPI. On X under a window manager (openbox), on bare X
# (xvfb), or on a Wayland compositor with no X server (weston, mutter); on Wayland, also that
# the error report is a titled, decorated top-level whose parent is the window, and a modal
# dialog of it where the compositor offers the dialog protocol.
#   atspi_test.sh SALESTAX [openbox | xvfb | weston | mutter]
set -uo pipefail
salestax=$1 desktop=${2:-openbox}
here=$(dirname "$0")
. "$here/../tools/desktop.sh"

start_session_bus
start /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$scratch/a11y.log" 2>&1
wait_until 10 bus_has_name org.a11y.Bus || give_up "the accessibility bus did not start"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
if [ "$desktop" = weston ] || [ "$desktop" = mutter ]; then
  unset DISPLAY
  "start_$desktop"
  WAYLAND_DISPLAY=$wayland_socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 start "$salestax" 2>"$scratch/app.log"
else
  start_xvfb
  [ "$desktop" = openbox ] && start_openbox
  QT_QPA_PLATFORM=xcb start "$salestax" 2>"$scratch/app.log"
  wait_for_window Form1 || give_up "the window Form1 did not appear"
  [ "$desktop" = xvfb ] && xdotool windowfocus --sync "$wid" >/dev/null 2>&1  # no window manager to do it
fi
app=$last_pid

client_options=()
[ "$desktop" = weston ] || [ "$desktop" = mutter ] && client_options=(--no-keyboard)
/usr/bin/python3 "$here/atspi_client.py" "${client_options[@]}" | tee "$scratch/client.log"
check "the screen-reader client passed" test "${PIPESTATUS[0]}" = 0
if [ "$desktop" = weston ] || [ "$desktop" = mutter ]; then
  # The report is a top-level of its own over the window, with the same title bar as the
  # window: its frame is its content plus the margins Form1's frame adds to Form1's 465 x 443.
  # An object in WAYLAND_DEBUG's log is interface@id or, from libwayland 1.23, interface#id.
  geometry() { sed -n "s/.*xdg_surface[@#]$1\.set_window_geometry(0, 0, \([0-9]*\), \([0-9]*\)).*/\1 \2/p" "$scratch/app.log" | tail -n 1; }
  surface_of() { sed -n "s/.*xdg_surface[@#]\([0-9]*\)\.get_toplevel(new id xdg_toplevel[@#]$1).*/\1/p" "$scratch/app.log"; }
  form=$(sed -n 's/.*xdg_toplevel[@#]\([0-9]*\)\.set_title("Form1").*/\1/p' "$scratch/app.log" | head -n 1)
  report=$(sed -n 's/.*xdg_toplevel[@#]\([0-9]*\)\.set_title("Sales Tax Calculator").*/\1/p' "$scratch/app.log" | head -n 1)
  check "the report is a top-level titled with the product name" test -n "$report"
  check "whose parent is the window" grep -q "xdg_toplevel[@#]$report\.set_parent(xdg_toplevel[@#]$form)" "$scratch/app.log"
  read -r form_w form_h <<<"$(geometry "$(surface_of "$form")")"
  read -r report_w report_h <<<"$(geometry "$(surface_of "$report")")"
  read -r content_w content_h <<<"$(sed -n "s/^the alert's size: //p" "$scratch/client.log")"
  check "and which has a title bar like the window's" \
    test "$((report_w - content_w)) $((report_h - content_h))" = "$((form_w - 465)) $((form_h - 443))"
  # Where a top-level goes is the compositor's choice. One that offers the dialog protocol
  # (mutter 48) is told the report is a modal dialog of its parent, and puts it over the
  # window; without it (weston, mutter 43) the compositor may put it anywhere.
  if grep -q 'global([0-9]*, "xdg_wm_dialog_v1"' "$scratch/app.log"; then
    check "the report is a modal dialog of the window (xdg-dialog)" eval '
      dialog=$(sed -n "s/.*get_xdg_dialog(new id xdg_dialog_v1[@#]\([0-9]*\), xdg_toplevel[@#]$report).*/\1/p" "$scratch/app.log") &&
      [ -n "$dialog" ] && grep -q "xdg_dialog_v1[@#]$dialog\.set_modal()" "$scratch/app.log"'
  else
    echo "($desktop offers no dialog protocol: the report's place is the compositor's choice)"
  fi
fi
check "the program is still running" kill -0 "$app"
finish
