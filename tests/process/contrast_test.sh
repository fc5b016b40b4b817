#!/usr/bin/env bash
# The controls a user must find, seen in the desktop's light and dark palettes: a screenshot
# of the window under Xvfb with the GTK platform theme of a GNOME session (Adwaita and
# Adwaita:dark), and the contrast of an option circle's ring and of the price box's border
# against the window's background, which must reach 3:1.
#   contrast_test.sh SALESTAX
set -uo pipefail
salestax=$1
. "$(dirname "$0")/../tools/desktop.sh"
start_xvfb
for theme in Adwaita Adwaita:dark; do
  XDG_CURRENT_DESKTOP=GNOME GTK_THEME=$theme QT_QPA_PLATFORM=xcb start "$salestax" 2>"$scratch/app.log"
  app=$last_pid
  wait_for_window Form1 || give_up "the window did not appear in $theme"
  wait_until 5 painted "$wid" || give_up "the window was never drawn in $theme"
  # Always RGB: ImageMagick would write a window with no colour in it as grey.
  import -window "$wid" "PNG24:$scratch/$theme.png"
  kill "$app"
  # Gone before the next palette's window is looked for.
  wait_until 5 ended "$app" && wait_until 5 window_gone Form1 || give_up "the window in $theme did not close"
  # WCAG's contrast of the most distinct pixel of a part against the window's background:
  # Ohio's circle (window pixels 40-53 x 121-135, left of its caption) and the price box's
  # top border (y 72, x 300-350), against the background at (8, 8).
  read -r background circle border < <(convert "$scratch/$theme.png" -depth 8 txt:- | /usr/bin/python3 -c '
import re, sys
px = {}
for line in sys.stdin:
    m = re.match(r"(\d+),(\d+): \((\d+),(\d+),(\d+)", line)
    if m:
        px[int(m[1]), int(m[2])] = tuple(int(v) for v in m.groups()[2:5])
def lum(c):
    f = lambda v: v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
    r, g, b = (f(v / 255) for v in c)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b
def contrast(a, b):
    x, y = sorted((lum(a), lum(b)))
    return (y + 0.05) / (x + 0.05)
bg = px[8, 8]
circle = max(contrast(px[x, y], bg) for x in range(40, 54) for y in range(121, 136))
border = max(contrast(px[x, 72], bg) for x in range(300, 351))
print("%.3f %.2f %.2f" % (lum(bg), circle, border))')
  [ -n "$border" ] || give_up "the screenshot in $theme could not be read"
  echo "$theme: background luminance $background, circle $circle:1, border $border:1"
  if [ "$theme" = Adwaita ]; then palette="light"; dark=0; else palette="dark"; dark=1; fi
  check "the $palette palette is the desktop's" awk -v l="$background" -v d="$dark" 'BEGIN { exit !(d ? l < 0.1 : l > 0.6) }'
  check "an option circle stands out 3:1 in the $palette palette" awk -v c="$circle" 'BEGIN { exit !(c >= 3) }'
  check "the price box's border stands out 3:1 in the $palette palette" awk -v c="$border" 'BEGIN { exit !(c >= 3) }'
done
finish
