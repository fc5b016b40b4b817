#!/usr/bin/env bash
# The page under Debian's own screen reader, in a browser: Orca on a private session bus and
# accessibility bus, speaking through speech-dispatcher into espeak-ng, on Xvfb under
# openbox; the browser headed, with a fresh profile and no network, on the page from
# file://, driven by real keys held as a person holds them. What Orca says is read from
# speech-dispatcher's speech log: every text the synthesizer was given, in order.
#   web_orca_test.sh chromium|firefox PAGE
set -uo pipefail
browser=$1 page=$(realpath -e "$2") || { echo "FAIL: no page at $2"; exit 1; }
here=$(dirname "$0")
. "$here/../tools/desktop.sh"
export GSETTINGS_BACKEND=memory

start_desktop_with_orca

# The browser, accessible to the screen reader, started as the browser tests start theirs
# (tests/web/browsers.py): a profile of its own that skips first-run pages and asks nothing
# of the network, and the locale it needs.
case $browser in chromium | firefox) ;; *) give_up "no such browser: $browser (chromium or firefox)" ;; esac
command=()
while IFS= read -r -d '' word; do command+=("$word"); done < <(
  "${SALESTAX_PYTHON3:-python3}" "$here/../web/browsers.py" headed "$browser" "$scratch/profile")
[ ${#command[@]} -gt 0 ] || give_up "no command to start $browser"

mark
start "${command[@]}" "file://$page" >"$scratch/browser.log" 2>&1
browser_pid=$last_pid
# The window's title is the page's, "Form1", and the browser's name.
wait_until 30 eval 'wid=$(xdotool search --onlyvisible --name "^Form1 " 2>/dev/null | head -n 1); [ -n "$wid" ]' ||
  give_up "no $browser window showing the page: $(tail -3 "$scratch/browser.log")"

# expect WHAT SECONDS SAID [UNWANTED]: SAID (an extended regular expression, over the words
# since the mark) is said within the time and not again (heard_like_once), and nothing
# matching UNWANTED is said; what was said is shown.
expect() {
  local what=$1 seconds=$2 said=$3 unwanted=${4:-}
  check "$what" eval 'heard_like_once "$seconds" "$said" && { [ -z "$unwanted" ] || ! words_since_mark | grep -qE -- "$unwanted"; }'
  said_since_mark
}
price_box="Enter Price: (entry|text)"

# The page loads, and Orca reads where the focus is; the tax label's "0" is not news. Orca 48
# in Firefox at times says no more than the window's name, or the page's summary ("Page has 1
# landmark, 1 heading. Focus mode"): when Firefox tells it of the price box's focus before it
# has told it what the price box is (the focus event finds it without its editable and
# focusable states), Orca takes the focus in silently, whenever the page gives it (measured
# with the focus given as the script runs, at the load event and 300 ms after it). There, and
# only there, a start without the price box is noted, and Orca, left in browse mode (where the
# digits of a price are its keys for headings), is brought to the price box as a user brings
# it: Tab into the states, Shift+Tab back.
wait_until 30 eval 'words_since_mark | grep -qE -- "(Chromium|Firefox) frame"' ||
  give_up "Orca did not name the browser's window: $(since_mark | tr '\n' '|')"
orca_major=$(orca --version 2>/dev/null | grep -oE '[0-9]+' | head -n 1)
if [ "$browser" = firefox ] && [ "${orca_major:-0}" -ge 48 ] && ! heard_like 5 "$price_box"; then
  echo "note: Orca $orca_major did not present the price box at start: $(since_mark | tr '\n' '|')"
  wait_until 5 eval '! synthesizing'
  mark
  xdotool key Tab
  heard 5 "Pennsylvania"
  mark
  xdotool key shift+Tab
  expect "  Tab and Shift+Tab bring it to the price box" 5 "$price_box"
else
  expect "the start speaks the price box, once, and not the tax label" 10 "$price_box" "Sales Tax is"
fi

# The same tax each time: the page has to make a repeat news to the screen reader, and it
# does so in two ways in turn.
for time in "" ", the same tax again," ", and a third time,"; do
  calculate 19.99 alt_key c
  expect "19.99 and Alt+C$time speaks the tax, once" 2 "Sales Tax is: 1\.1994( |$)"
done

mark
alt_key o
expect "Alt+O speaks Ohio, selected radio button, once" 3 "Ohio selected radio button" "not selected"
check "  and names the group once" test "$(words_since_mark | grep -o 'States' | wc -l)" -eq 1

mark
xdotool key shift+Tab
expect "Shift+Tab goes back to the price box" 3 "$price_box"

mark
alt_key c
expect "an empty price box and Alt+C speaks the report's message, once, and not the tax" 3 \
  "Run-time error 1 Please enter a price: the price box is empty" "Sales Tax is"
check "  with the report's title before it, and OK after it" \
  heard_like 1 "Sales Tax Calculator( dialog)? Run-time error 1 .* OK (push )?button"

mark
xdotool key Return
expect "Return speaks the price box again, once, and not the page, the report or the tax" 3 "$price_box" \
  "Sales Tax is|Form1|Run-time error|Please enter"

check "Orca and the browser are still running" eval 'kill -0 "$orca" && kill -0 "$browser_pid"'
# Closed as a person closes it, through the window manager; it and the processes it started
# are given 5 seconds to end, then stopped.
descendants() { local child; for child in $(pgrep -P "$1"); do echo "$child"; descendants "$child"; done; }
family=$(descendants "$browser_pid")
wmctrl -i -c "$wid"
for pid in $browser_pid $family; do wait_until 5 ended "$pid" || kill -KILL "$pid" 2>/dev/null; done
finish
