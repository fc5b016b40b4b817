#!/usr/bin/env bash
# The Windows program under Wine on a private Xvfb, driven by real keys (xdotool) and read
# back by a Win32 probe of our own: the start state, every control where the table puts it
# at the dpi, the captions fitting, the worked examples, the access keys, the tab order, an
# error report, the tax label widening, one thread, and a close with status 0.
#   wine_test.sh SALESTAX.exe WIN32PROBE.exe FACTS.exe DPI [SCREENSHOT_DIR]
set -uo pipefail
exe=$1 probe=$2 facts=$3 dpi=$4 shots=${5:-}
here=$(dirname "$0")
. "$here/../tools/desktop.sh"
wine_test_setup "$facts"
start_xvfb "$((1024 * dpi / 96))x$((768 * dpi / 96))"
start_openbox  # Windows always has a window manager; Wine hands activation to it
# The prefix's dpi, for the processes started after its wineserver restarts.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null

start wine "$exe"
app=$last_pid
wait_for_window Form1 || give_up "the window Form1 did not appear"
# Without a window manager Wine gives the keyboard to the window under the pointer.
xdotool mousemove --window "$wid" $((450 * dpi / 96)) $((430 * dpi / 96))

probe() { wine "$probe" "${1:-window}" 2>/dev/null | tr -d '\r' >"$scratch/probe.txt"; return "${PIPESTATUS[0]}"; }
fact() { awk -v k="$1" '$1 == k { $1 = ""; sub(/^ /, ""); print; exit }' "$scratch/probe.txt"; }
field() { awk -v n="$1" -v f="$2" '$1 == "control" && $2 == n {
  for (i = 3; i <= NF; i++) if (index($i, f "=") == 1) { v = substr($i, length(f) + 2); for (j = i + 1; f == "text" && j <= NF; j++) v = v " " $j; print v; exit } }' "$scratch/probe.txt"; }
is() { [ "$1" = "$2" ] || { echo "  expected '$2', got '$1'"; return 1; }; }
keys() { xdotool key --delay 60 "$@"; }
# shows CONDITION: the probe's reading meets the condition within 3 seconds.
shows() { wait_until 3 eval "probe && { $1; } >/dev/null"; }
# focus_after KEY NAME: the key moves the focus to the control NAME.
focus_after() { keys "$1"; shows "is \"\$(fact focus)\" $2" || { probe; is "$(fact focus)" "$2"; }; }

probe || give_up "the probe could not read Form1"
grep "fits=0" "$scratch/probe.txt"  # says which, if any
check "the client area is 465 x 443 at 96 dpi, scaled to $dpi dpi" \
  is "$(fact client)" "$(((6975 * dpi + 720) / 1440)) $(((6645 * dpi + 720) / 1440))"
check "every control is where the table puts it" is "$(grep -c 'placed=0' "$scratch/probe.txt")" 0
check "every caption fits its control" is "$(fact captions_fit)" 1
check "the title is Form1" is "$(fact title)" Form1
check "at start: Pennsylvania selected, the tax 0, the price box empty and focused" \
  eval 'is "$(field optPA checked)" 1 && is "$(field lblSalesTax text)" 0 && is "$(field txtPrice text)" "" && is "$(fact focus)" txtPrice'
check "the controls are the system's own" eval 'is "$(field txtPrice class)" Edit && is "$(field cmdCalculateSalesTax class)" Button &&
  is "$(field optOH class)" Button && is "$(field Frame1 class)" Button && is "$(field lblSalesTax class)" Static'
check "the price box holds the table's longest price" is "$(fact price_limit)" "$(build_fact price_max_length)"
check "captions keep their access keys" is "$(field cmdCalculateSalesTax text)" "&Calculate Sales Tax"
check "the process runs one thread" is "$(fact threads)" 1
[ -n "$shots" ] && mkdir -p "$shots"

# The worked examples, each by a state's access key, Shift+Tab back to the price box, the
# price typed and Alt+C.
examples_ok=0 examples=0
while read -r _ key price tax; do
  examples=$((examples + 1))
  keys "alt+$key" shift+Tab; shows 'is "$(fact focus)" txtPrice'
  xdotool type --delay 40 -- "$price"; shows 'is "$(field txtPrice text)" "'"$price"'"'
  keys alt+c
  if shows 'is "$(field lblSalesTax text)" "'"$tax"'" && is "$(field txtPrice text)" "" && is "$(fact focus)" txtPrice'; then
    examples_ok=$((examples_ok + 1))
  else
    echo "  $price with alt+$key: tax $(field lblSalesTax text), price '$(field txtPrice text)', focus $(fact focus)"
  fi
done < <(grep '^example ' "$scratch/facts")
check "the worked examples, by access keys and Alt+C ($examples_ok of $examples)" is "$examples_ok" "$examples"
if [ -n "$shots" ]; then
  keys alt+p shift+Tab; xdotool type -- 19.99; keys alt+c
  shows 'is "$(field lblSalesTax text)" 1.1994' && import -window "$wid" "$shots/windows-${dpi}dpi.png"
fi

keys alt+o
check "Alt+O selects Ohio and focuses it" shows 'is "$(field optOH checked)" 1 && is "$(fact focus)" optOH'
keys Down
check "Down moves to Maryland and selects it" shows 'is "$(field optMD checked)" 1 && is "$(field optOH checked)" 0 && is "$(fact focus)" optMD'
check "Tab goes from the selected state to the button" focus_after Tab cmdCalculateSalesTax
check "and on to the price box" focus_after Tab txtPrice
check "and into the states at the selected one" focus_after Tab optMD
check "Shift+Tab goes back to the price box" focus_after shift+Tab txtPrice

probe; tax=$(field lblSalesTax text)
# The 5 typed after them shows when they have been handled.
xdotool type -- 10; keys Return Escape; xdotool type -- 5
check "Return and Escape in the price box do nothing" eval 'shows "is \"\$(field txtPrice text)\" 105" && ! probe report && probe && is "$(field lblSalesTax text)" "$tax"'
keys End shift+Home BackSpace; shows 'is "$(field txtPrice text)" ""'

xdotool type -- abc; keys alt+c
if wait_until 5 probe report; then
  check "a run-time error shows a report titled with the product name" is "$(fact report_title)" "$(build_fact name)"
  check "with its number and message" grep -q '^report_text Run-time error 1' "$scratch/probe.txt"
  check "and an error icon" grep -q '^report_icon' "$scratch/probe.txt"
  check "Form1 is disabled while it is up" is "$(fact form_enabled)" 0
  [ -n "$shots" ] && import -window root "$shots/windows-report-${dpi}dpi.png"
  keys Return
  check "Return dismisses it" wait_until 5 eval '! probe report'
  check "the price is still in the box, selected and focused" eval 'probe && is "$(field txtPrice text)" abc && is "$(fact selection)" "0 3" && is "$(fact focus)" txtPrice && is "$(fact enabled)" 1'
else
  check "a run-time error shows a report" false
fi

keys BackSpace alt+m shift+Tab; xdotool type -- 1099511627776; keys alt+c  # 2^40 at 13421773 / 2^24
check "the tax label widens to show a large tax" shows 'is "$(field lblSalesTax text)" 879609315328 && is "$(field lblSalesTax fits)" 1 && is "$(field lblSalesTax placed)" 1'
# Ink in the last column may be a glyph cut at the edge: a column of background must follow.
ink_clear() { probe; read -r _ last _ width < <(grep '^tax_ink ' "$scratch/probe.txt"); [ "$last" -ge 0 ] && [ "$last" -lt $((width - 1)) ] ||
  { echo "  ink in column $last of $width"; return 1; }; }
keys alt+o shift+Tab; xdotool type -- 8388608000; keys alt+c  # Ohio: a tax of twelve characters
check "and no pixel of its last glyph is cut" eval 'shows "is \"\$(field lblSalesTax text)\" 419430406.25" && ink_clear'
check "the process still runs one thread" eval 'probe; is "$(fact threads)" 1'

wine "$probe" close
await_exit "$app"
check "closing the window ends the process with status 0" is "$status" 0
finish
