# Desktop parts for the process tests and the scripts that show the program: a scratch
# folder with an empty home and private runtime folder, servers on private sockets, bounded
# waits, checks that count, and clean-up that stops everything started here by its pid.

scratch=$(mktemp -d)
started=()
# Stops what was started, last first; what has not ended 5 seconds after being asked to is
# killed. Each step may fail (a process that has ended already, or was killed) without
# stopping the rest, also in a script run with set -e.
cleanup() {
  local i pid
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do kill "${started[i]}" 2>/dev/null || true; done
  for pid in "${started[@]}"; do
    wait_until 5 ended "$pid" || kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if [ -n "${SALESTAX_KEEP_SCRATCH:-}" ]; then echo "kept: $scratch"; else rm -rf "$scratch"; fi
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
  local tries=$(($1 * 10)) t; shift
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
# What there is of a window that did not show, for a test's message: each window of the name,
# whether it is mapped, and whether a window manager manages it.
why_not_shown() {
  local id found=
  for id in $(xdotool search --name "^$1\$" 2>/dev/null); do
    found=1
    printf '%s %s, %s; ' "$id" "$(xwininfo -id "$id" 2>/dev/null | sed -n 's/^ *Map State: //p')" \
      "$(xprop -id "$id" WM_STATE 2>/dev/null | grep -q 'window state' && echo managed || echo not managed)"
  done
  [ -n "$found" ] || printf 'no window of that name; '
}
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
# Openbox claims the screen (_NET_SUPPORTING_WM_CHECK) before it has finished starting, and a
# window mapped in between is never managed: it stays unmapped for good. So openbox is ready
# once it has managed a window mapped after that: a small one of ours, closed again, a new
# one for each try.
start_openbox() {
  mkdir -p "$scratch/wm"
  HOME=$scratch/wm XDG_CACHE_HOME=$scratch/wm XDG_CONFIG_HOME=$scratch/wm \
    start openbox --sm-disable >"$scratch/wm/openbox.log" 2>&1
  wait_until 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    give_up "openbox did not start"
  local try
  for try in 1 2 3 4 5; do wm_manages_a_new_window && return 0; done
  give_up "openbox did not manage a window within 10 seconds of claiming the screen"
}
# Whether the window manager gives a window mapped now its WM_STATE within 2 seconds.
wm_manages_a_new_window() {
  local title=salestax-window-manager-probe probe managed=1
  xmessage -title "$title" probe >/dev/null 2>&1 &
  probe=$!
  wait_until 2 managed_by_wm "$title" && managed=0
  kill "$probe" 2>/dev/null; wait "$probe" 2>/dev/null
  return "$managed"
}
managed_by_wm() {
  local id; id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
  [ -n "$id" ] && xprop -id "$id" WM_STATE 2>/dev/null | grep -q 'window state: Normal'
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

# The accessibility bus beside the private session bus, with accessibility on for every
# program started after it.
start_accessibility_bus() {
  start /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$scratch/a11y.log" 2>&1
  wait_until 10 bus_has_name org.a11y.Bus || give_up "the accessibility bus did not start"
}

# speech-dispatcher with one voice, which logs each text to $speech and has espeak-ng speak it
# into a file; sound goes nowhere (libao's null driver), so no sound device is needed. Sets
# $speech and SPEECHD_ADDRESS.
start_logged_speech() {
  speech=$scratch/speech.log
  local sd=$scratch/speechd
  mkdir -p "$sd/modules" "$sd/log"
  printf 'default_driver=null\n' >"$HOME/.libao"
  cat >"$sd/speechd.conf" <<CONF
AudioOutputMethod "libao"
AddModule "espeak-ng-logged" "sd_generic" "espeak-ng-logged.conf"
DefaultModule espeak-ng-logged
DefaultLanguage "en"
CONF
  cat >"$sd/modules/espeak-ng-logged.conf" <<CONF
GenericExecuteSynth "printf '%s\\\\n' \'\$DATA\' | tee -a $speech | espeak-ng -v en-us -q --stdin -w $sd/last.wav"
GenericLanguage "en" "en-us" "utf-8"
AddVoice "en" "MALE1" "en-us"
CONF
  touch "$speech"
  start speech-dispatcher --run-single --timeout 0 -c unix_socket -S "$scratch/speechd.sock" \
    -C "$sd" -P "$sd/pid" -L "$sd/log" >"$sd/out.log" 2>&1
  wait_until 10 test -S "$scratch/speechd.sock" || give_up "speech-dispatcher did not start: $(tail -3 "$sd/out.log")"
  export SPEECHD_ADDRESS=unix_socket:$scratch/speechd.sock
}

# Orca, through the test's launcher, once it has said "Screen reader on."; its debug log in
# $scratch/orca-debug.log. Needs the buses and the logged speech. Sets $orca.
start_orca() {
  mark
  start /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../process/orca_launcher.py" --debug \
    --debug-file="$scratch/orca-debug.log" >"$scratch/orca.log" 2>&1
  orca=$last_pid
  heard 15 "Screen reader on" || give_up "Orca did not start: $(tail -3 "$scratch/orca.log")"
}

# The whole of it: a private session bus and accessibility bus, Xvfb with openbox, the logged
# speech and Orca, ready.
start_desktop_with_orca() {
  start_session_bus
  start_accessibility_bus
  start_xvfb
  start_openbox
  start_logged_speech
  start_orca
}

# What was said since the last mark, as one line of words: how Orca splits it into texts and
# ends them (Orca 43: "notification Sales Tax is: 6.", Orca 48: "notification", "Sales Tax
# is: 6") is not what the user hears.
mark() { mark=$(wc -l <"$speech"); }
since_mark() { tail -n +$((mark + 1)) "$speech"; }
words() { tr '\n' ' ' | sed -E 's/\.( |$)/ /g; s/ +/ /g; s/ $//'; }
words_since_mark() { since_mark | words; }
# heard SECONDS TEXT: the words were said since the last mark, within the time (a regular
# expression with heard_like).
heard() { local seconds=$1 text=$2; wait_until "$seconds" eval 'words_since_mark | grep -qF -- "$text"'; }
heard_like() { local seconds=$1 text=$2; wait_until "$seconds" eval 'words_since_mark | grep -qE -- "$text"'; }
# times_heard TEXT: how often the words were said since the last mark.
times_heard() { words_since_mark | grep -oF -- "$1" | wc -l; }
times_heard_like() { words_since_mark | grep -oE -- "$1" | wc -l; }
# Whether the synthesizer is at work on a text: a repeat queued behind the last one is
# handed to it, and so logged, only once it is done.
synthesizing() { pgrep -f -- "-w $scratch/speechd/last.wav" >/dev/null; }
said_more_than_once() { [ "$(times_heard "$1")" -gt 1 ]; }
said_like_more_than_once() { [ "$(times_heard_like "$1")" -gt 1 ]; }
# heard_once SECONDS TEXT: said within the time, and not again: not by the time the
# synthesizer is done with what it was given (within 5 seconds), nor in the second after.
# heard_like_once: the same for a regular expression.
heard_once() {
  heard "$1" "$2" || return 1
  wait_until 5 eval '! synthesizing'
  ! wait_until 1 said_more_than_once "$2"
}
heard_like_once() {
  heard_like "$1" "$2" || return 1
  wait_until 5 eval '! synthesizing'
  ! wait_until 1 said_like_more_than_once "$2"
}
said_since_mark() { echo "  said: $(since_mark | tr '\n' '|')"; }

# alt_key KEY: Alt+KEY as a person presses it, each key held down for a tenth of a second,
# not pressed and released in the same instant.
alt_key() { xdotool keydown alt; sleep 0.1; xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; xdotool keyup alt; }
# The words Orca echoes as TEXT is typed, a key at a time: "19.99" gives "1 9 dot 9 9".
echoed() { sed 's/./& /g; s/\./dot/g; s/ $//' <<<"$1"; }
# Whether Orca has gone quiet after the last key of TEXT: the last words said are its echo,
# and the synthesizer is done. (Under load the echo of a key may be cut short by the next.)
echoed_last_key() { [[ "$(words_since_mark)" == *"$(echoed "${1: -1}")" ]] && ! synthesizing; }
# calculate PRICE KEYS...: marks, types the price and, once Orca has echoed its last key (the
# program has every key in its queue by then), runs the command by the keys given.
calculate() {
  mark; xdotool type --delay 120 "$1"
  wait_until 5 echoed_last_key "$1" || echo "  (Orca did not echo the last key of $1: $(words_since_mark))"
  shift; "$@"
}
