#!/usr/bin/env bash
# The real program on a Wayland compositor with no X server: weston's headless backend on a
# private socket, and the program's side of the protocol as WAYLAND_DEBUG logs it.
#   wayland_test.sh SALESTAX APP_ID
set -uo pipefail
salestax=$1 app_id=$2
. "$(dirname "$0")/../tools/desktop.sh"
unset DISPLAY

start_weston

# WAYLAND_DEBUG names an object interface@id up to libwayland 1.22 (Debian 12) and
# interface#id from 1.23 (Debian 13): the patterns take either.
# Without Qt's own title bar, what the window draws is the whole buffer.
WAYLAND_DISPLAY=$wayland_socket WAYLAND_DEBUG=1 QT_QPA_PLATFORM=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=1 \
  start "$salestax" 2>"$scratch/protocol.log"
pid=$last_pid
check "the top-level is titled Form1" wait_until 10 grep -q 'xdg_toplevel[@#][0-9]*\.set_title("Form1")' "$scratch/protocol.log"
check "with the desktop file's name as its app id" \
  grep -qF ".set_app_id(\"$app_id\")" "$scratch/protocol.log"
has_buffer() { grep -q 'create_buffer(new id wl_buffer[@#][0-9]*, [0-9]*, 465, 443,' "$scratch/protocol.log"; }
check "it draws into buffers of the window's size, 465 x 443" wait_until 10 has_buffer
check "and attaches them" grep -q 'wl_surface[@#][0-9]*\.attach(wl_buffer[@#]' "$scratch/protocol.log"
check "the process stays up until it is stopped" eval '! wait_until 1 ended "$pid"'
finish
