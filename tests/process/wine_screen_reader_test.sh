#!/usr/bin/env bash
# What a screen reader is told by the Windows program under Wine: a WinEvent client of our
# own (win32probe.exe events) listens out of context, as a screen reader does, while real keys from
# xdotool drive the program, and its events are put in the order they happened (their
# dwmsEventTime). Then the command's access key through real keys, a case at a time: Alt+C,
# a C held with the keyboard's repeats, a click while it is held, leaving the window while it
# is held, a plain C after Alt+C; each click counted by the tax label's live-region events
# and by the price box (a click empties it).
#   wine_screen_reader_test.sh SALESTAX.exe WIN32PROBE.exe FACTS.exe [TRACE]
# TRACE, when given, gets the ordered events of the first sequence.
#
# Not checked, because Wine cannot show it: the names the program sets through
# IAccPropServices ("Enter Price:" for the price box, "Sales Tax is: 1.1994" for the tax
# label). Wine's oleacc reads a control's caption instead, so the tax label is heard here as
# "1.1994" and the price box has no name; nor the live region's politeness, which a screen
# reader reads through UI Automation. Nor whether Alt+C leaves the window in a menu's mode:
# under Wine 8 not even Alt alone puts this window (it has no menu bar) in one.
set -uo pipefail
exe=$1 probe=$2 facts=$3 trace=${4:-}
. "$(dirname "$0")/../tools/desktop.sh"
wine_test_setup "$facts"
start_xvfb
# Openbox's own configuration with no mouse bindings (a configuration without the section
# gets the defaults): by default Alt and a click on a window is openbox's own (the start of a
# move), and a case below clicks with Alt held.
mkdir -p "$scratch/wm/openbox"
sed '/^<mouse>/,/^<\/mouse>/c <mouse></mouse>' /etc/xdg/openbox/rc.xml >"$scratch/wm/openbox/rc.xml"
start_openbox

probe() { wine "$probe" "${1:-window}" 2>/dev/null | tr -d '\r' >"$scratch/probe.txt"; return "${PIPESTATUS[0]}"; }
fact() { awk -v k="$1" '$1 == k { $1 = ""; sub(/^ /, ""); print; exit }' "$scratch/probe.txt"; }
field() { awk -v n="$1" -v f="$2" '$1 == "control" && $2 == n {
  for (i = 3; i <= NF; i++) if (index($i, f "=") == 1) { v = substr($i, length(f) + 2); for (j = i + 1; f == "text" && j <= NF; j++) v = v " " $j; print v; exit } }' "$scratch/probe.txt"; }
is() { [ "$1" = "$2" ] || { echo "  expected '$2', got '$1'"; return 1; }; }
shows() { wait_until 5 eval "probe && { $1; } >/dev/null"; }
price_is() { shows 'is "$(field txtPrice text)" "'"$1"'"'; }

# The program with the listener on it; the keyboard goes to Form1 (the pointer over it).
start_program() {
  start wine "$exe"
  app=$last_pid
  wait_for_window Form1 20 || give_up "the window Form1 did not appear within 20 s: $(why_not_shown Form1)the program" \
    "$(kill -0 "$app" 2>/dev/null && echo "still running" || echo "ended")"
  xdotool mousemove --window "$wid" 450 430
  events=$scratch/events.raw
  start wine "$probe" events 2>/dev/null >"$events"
  wait_until 15 grep -q '^ready' "$events" || give_up "the WinEvent client could not listen: $(head -c 200 "$events")"
  shows 'is "$(fact focus)" txtPrice' || give_up "Form1 never had the focus"
  mark_events
}
# Each program ends, with status 0, its window gone, before the next starts.
stop_program() {
  wine "$probe" close
  await_exit "$app"
  check "the program ends with status 0, its window gone" eval 'is "$status" 0 && wait_until 5 window_gone Form1'
}
# The events since the last mark, in the order they happened.
mark_events() { event_mark=$(wc -l <"$events"); }
new_events() { tail -n +$((event_mark + 1)) "$events" | grep -v '^ready' | sort -n -k1,1 -k2,2; }
# live_events: the tax label's live-region events since the mark.
live_events() { new_events | awk '$3 == "liveregion" && $4 == "lblSalesTax"' | wc -l; }
# The controls that took the focus since the mark, in order; a window already gone when the
# client read the event (the report's own as it closes) gives a screen reader nothing to read.
focus_trail() { new_events | awk '$3 == "focus" && $4 != "gone" { printf "%s%s", sep, $4; sep = " " }'; }

# --- 19.99 and Alt+C, twice; Alt+O; Alt+C with the price box empty; Return on the report.
start_program
xdotool type --delay 60 19.99; price_is 19.99
alt_key c
check "Alt+C: the tax shown, the price box emptied, the button not left pressed" \
  shows 'is "$(field lblSalesTax text)" 1.1994 && is "$(field txtPrice text)" "" && is "$(field cmdCalculateSalesTax pushed)" 0'
xdotool type --delay 60 19.99; price_is 19.99
alt_key c
wait_until 5 eval '[ "$(live_events)" -ge 2 ]'
alt_key o
shows 'is "$(fact focus)" optOH'
alt_key c
check "Alt+C with the price box empty brings up the report" wait_until 5 probe report
wait_until 5 eval '[[ "$(focus_trail)" == *report.Button ]]'
sleep 1  # what the report's coming up tells, told
live_under_report=$(live_events)
xdotool key Return
check "Return dismisses it, and the price box has the focus" \
  eval 'wait_until 5 eval "! probe report" && shows "is \"\$(fact focus)\" txtPrice"'
wait_until 5 eval '[[ "$(focus_trail)" == *txtPrice ]]'
trail=$(focus_trail)
check "focus events: Ohio, the report's OK, the price box, never the button (got: $trail)" \
  eval '[[ "$trail" =~ ^(txtPrice )*optOH\ report\.Button\ txtPrice$ ]]'
check "one live-region event from the tax label for each tax, two for the same tax twice" \
  eval 'is "$(new_events | awk '\''$3 == "liveregion" { print $4, $5 }'\'' | tr "\n" " ")" "lblSalesTax name=1.1994 lblSalesTax name=1.1994 "'
check "none while the report is up, nor after it" is "$(live_events)" "$live_under_report"
# Once the window has settled (under Wine without a window manager the focus came back to the
# button two seconds after the report had gone), the same.
sleep 3
check "and still so 3 s later: the price box focused, no other focus event" \
  eval 'is "$(focus_trail)" "$trail" && is "$(live_events)" 2 && probe && is "$(fact focus)" txtPrice'
[ -n "$trace" ] && new_events >"$trace"
stop_program

# --- The access key through real keys. Each case starts with 2 in the price box (tax 0.12 in
# Pennsylvania), does its keys, then types 9: keys are handled in order, so once the 9 is in
# the box whatever the case's keys did has been done. A click empties the box first.
# alt_held KEYS...: with Alt and C down, the keys given, then C and Alt let go.
alt_c_held() { xdotool keydown alt; sleep 0.1; xdotool keydown c; "$@"; xdotool keyup c; sleep 0.1; xdotool keyup alt; }
# X's auto-repeat sends C again every 1/25 s after the first 2/3 s.
repeats() { sleep 1.5; }
click_button() {
  read -r x y < <(probe && awk '$1 == "control" && $2 == "cmdCalculateSalesTax" { for (i = 3; i <= NF; i++)
    if ($i ~ /^rect=/) { split(substr($i, 6), r, ","); print int((r[1] + r[3]) / 2), int((r[2] + r[4]) / 2) } }' "$scratch/probe.txt")
  xdotool mousemove --window "$wid" "$x" "$y" click 1 mousemove --window "$wid" 450 430
  # The click's own: the box emptied while C is still held.
  price_is "" || echo "  the click on the button ran nothing"
}
# Another program's window takes the activation while C is held, and gives it back after.
other_window() {
  xmessage -title salestax-other other >/dev/null 2>&1 &
  other=$!
  local other_wid
  wait_until 5 eval 'other_wid=$(window_id salestax-other); [ -n "$other_wid" ]' &&
    xdotool windowactivate "$other_wid" 2>/dev/null
  # Form1 told it is no longer active.
  wait_until 5 eval 'probe && is "$(fact active)" 0' >/dev/null
}
back_to_form() {
  kill "$other" 2>/dev/null; wait "$other" 2>/dev/null
  xdotool windowactivate "$wid" 2>/dev/null
  xdotool mousemove --window "$wid" 450 430
  shows 'is "$(fact focus)" txtPrice'
}
deactivated() { other_window; }
plain_c() { alt_key c; price_is ""; xdotool type c; }

start_program
cases=0 cases_ok=0
while read -r what clicks shown action; do
  cases=$((cases + 1))
  xdotool key End shift+Home BackSpace; xdotool type 2; price_is 2 || echo "  $what: the price box did not take 2"
  mark_events
  case $action in
    alt_c) alt_key c ;;
    held) alt_c_held repeats ;;
    click) alt_c_held click_button ;;
    deactivated) alt_c_held deactivated; back_to_form ;;
    plain_c) plain_c ;;
  esac
  xdotool type 9
  price_is "$shown"
  ! wait_until 1 eval '[ "$(live_events)" -gt "$clicks" ]'  # a late click would show by now
  got=$(live_events)
  # A second click on the emptied box brings up a report: said, and dismissed for the next case.
  probe report && { echo "  $what: a report came up"; xdotool key Return; wait_until 5 eval '! probe report'; }
  if probe && [ "$got" = "$clicks" ] && [ "$(field txtPrice text)" = "$shown" ] &&
    [ "$(field cmdCalculateSalesTax pushed)" = 0 ]; then
    cases_ok=$((cases_ok + 1)); echo "ok: $what: $clicks click(s)"
  else
    echo "  $what: $got click(s), want $clicks; the price box '$(field txtPrice text)', want '$shown';" \
      "button pushed $(field cmdCalculateSalesTax pushed)"
  fi
done <<'EOF'
Alt+C                                1 9   alt_c
C_held_with_repeats                  1 9   held
a_click_while_C_is_held              1 9   click
another_window_active_while_held     0 29  deactivated
a_plain_C_after_Alt+C                1 c9  plain_c
EOF
check "the access key's cases through real keys ($cases_ok of $cases)" is "$cases_ok" "$cases"
stop_program
finish
