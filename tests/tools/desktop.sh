# Desktop parts for the process tests and the scripts that show the program: a scratch
# folder with an empty home and private runtime folder, servers on private sockets, bounded
# waits, checks that count, and clean-up that stops everything started here by its pid.

scratch=$(mktemp -d)
started=()
# Stops what was started, last first; what has not ended 5 seconds after being asked to is
# killed.
cleanup() {
  local i pid
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do kill "${started[i]}" 2>/dev/null; done
  for pid in "${started[@]}"; do
    wait_until 5 ended "$pid" || kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$scratch"
}
trap cleanup EXIT

for d in home config cache data state runtime; do mkdir -p "$scratch/$d"; done
chmod 700 "$scratch/runtime"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache \
  XDG_DATA_HOME=$scratch/data XDG_STATE_HOME=$scratch/state XDG_RUNTIME_DIR=$scratch/runtime
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR

passed=0 failed=0
check() { # description, command...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
}
# Gives up on the whole test with a message: for what the rest cannot do without.
give_up() { echo "FAIL: $*"; failed=$((failed + 1)); finish; exit 1; }

# wait_until SECONDS COMMAND...: polls every tenth of a second.
wait_until() {
  local tries=$(($1 * 10)); shift
  for ((t = 0; t < tries; t++)); do "$@" && return 0; sleep 0.1; done
  return 1
}

# Starts a command in the background and remembers its pid for clean-up; sets $last_pid.
start() { "$@" & last_pid=$!; started+=("$last_pid"); }

# An X server of our own on a display number it picks, with a screen of 1024x768 or the size
# given; sets DISPLAY.
start_xvfb() {
  start Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -dpi 96 -nolisten tcp -noreset \
    3>"$scratch/display" 2>"$scratch/xvfb.log"
  wait_until 10 test -s "$scratch/display" || give_up "Xvfb did not start: $(tail -3 "$scratch/xvfb.log")"
  export DISPLAY=:$(cat "$scratch/display")
}

# A private session bus; sets DBUS_SESSION_BUS_ADDRESS.
start_session_bus() {
  start dbus-daemon --session --nofork --nopidfile --address="unix:path=$scratch/bus" 2>"$scratch/bus.log"
  wait_until 10 test -S "$scratch/bus" || give_up "the session bus did not start"
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/bus
}

# Whether the bus has a name, without starting a service for it.
bus_has_name() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

window_id() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
window_shown() { wid=$(window_id "$1"); [ -n "$wid" ]; }
# wait_for_window NAME [SECONDS]: sets $wid, or fails within 10 seconds or those given.
wait_for_window() { wait_until "${2:-10}" window_shown "$1"; }
window_gone() { [ -z "$(window_id "$1")" ]; }
# Whether the X window shows more than one colour: drawn, not just cleared.
painted() { [ "$(import -window "$1" -format '%k' info: 2>/dev/null || echo 0)" -gt 1 ]; }

# Waits up to 5 seconds for the pid to end by itself; sets $status to its exit status, or
# to "running".
ended() { ! kill -0 "$1" 2>/dev/null || grep -q '^[0-9]* (.*) Z' "/proc/$1/stat" 2>/dev/null; }
await_exit() {
  status=running
  if wait_until 5 ended "$1"; then wait "$1"; status=$?; fi
}

# A Wayland compositor of our own, headless, on a socket in the private runtime folder; sets
# $wayland_socket.
start_weston() {
  wayland_socket=salestax-test
  start weston --backend=headless-backend.so --socket="$wayland_socket" --idle-time=0 >"$scratch/weston.log" 2>&1
  wait_until 10 test -S "$XDG_RUNTIME_DIR/$wayland_socket" ||
    give_up "weston did not start: $(tail -3 "$scratch/weston.log")"
}

# GNOME's compositor, headless, with one virtual monitor, on a socket in the private runtime
# folder; needs the session bus. Sets $wayland_socket.
start_mutter() {
  wayland_socket=salestax-test
  start mutter --headless --wayland --no-x11 --virtual-monitor 1024x768 \
    --wayland-display="$wayland_socket" >"$scratch/mutter.log" 2>&1
  wait_until 10 test -S "$XDG_RUNTIME_DIR/$wayland_socket" ||
    give_up "mutter did not start: $(tail -3 "$scratch/mutter.log")"
}

# The resident memory of a process in KiB.
resident_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null; }

# A window manager with folders of its own, so that what it writes is not taken for ours.
start_openbox() {
  mkdir -p "$scratch/wm"
  HOME=$scratch/wm XDG_CACHE_HOME=$scratch/wm XDG_CONFIG_HOME=$scratch/wm \
    start openbox --sm-disable >"$scratch/wm/openbox.log" 2>&1
  wait_until 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    give_up "openbox did not start"
}

# A Wine test's set-up: Wine quiet and offline in the test's prefix (SALESTAX_WINEPREFIX),
# made if need be, with its wineserver stopped at the end; the build's facts read with
# FACTS.exe into $scratch/facts, for build_fact.   wine_test_setup FACTS.exe
wine_test_setup() {
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=${SALESTAX_WINEPREFIX:?}
  trap 'wineserver -k 2>/dev/null; timeout 10 wineserver -w 2>/dev/null; cleanup' EXIT
  "$(dirname "${BASH_SOURCE[0]}")/wine-run" --prepare || give_up "no Wine prefix"
  wine "$1" 2>/dev/null | tr -d '\r' >"$scratch/facts"
  grep -q '^example ' "$scratch/facts" || give_up "the build's facts could not be read"
  # Its wineserver started with no display: the test's own programs need one that knows it.
  wineserver -k 2>/dev/null; timeout 10 wineserver -w 2>/dev/null
}
# build_fact KEY: the rest of the first line of the build's facts that starts with KEY.
build_fact() { awk -v k="$1" '$1 == k { $1 = ""; sub(/^ /, ""); print; exit }' "$scratch/facts"; }
