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

start_session_bus
start /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$scratch/a11y.log" 2>&1
wait_until 10 bus_has_name org.a11y.Bus || give_up "the accessibility bus did not start"
start_xvfb
start_openbox

# speech-dispatcher with one voice, which logs each text and has espeak-ng speak it into a
# file; sound goes nowhere (libao's null driver), so no sound device is needed.
speech=$scratch/speech.log sd=$scratch/speechd
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
# heard_once SECONDS TEXT: said within the time, and not again in the second after.
heard_once() { heard "$1" "$2" && sleep 1 && [ "$(words_since_mark | grep -oF -- "$2" | wc -l)" -eq 1 ]; }
said_since_mark() { echo "  said: $(since_mark | tr '\n' '|')"; }

mark
start /usr/bin/python3 "$here/orca_launcher.py" --debug --debug-file="$scratch/orca-debug.log" >"$scratch/orca.log" 2>&1
orca=$last_pid
heard 15 "Screen reader on" || give_up "Orca did not start: $(tail -3 "$scratch/orca.log")"

mark
QT_QPA_PLATFORM=xcb start "$salestax" 2>"$scratch/app.log"
app=$last_pid
wait_for_window Form1 || give_up "the window Form1 did not appear"
check "the start speaks the window and the price box" \
  eval 'heard 5 "Form1 frame" && heard_once 5 "Enter Price: text" && ! words_since_mark | grep -q "Price text"'
said_since_mark

# alt_key KEY: Alt+KEY as a person presses it, each key held down for a tenth of a second,
# not pressed and released in the same instant.
alt_key() { xdotool keydown alt; sleep 0.1; xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; xdotool keyup alt; }

# calculate KEYS...: types a price and runs the command by the keys given.
calculate() { mark; xdotool type --delay 120 "$1"; sleep 0.3; shift; "$@"; }
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
