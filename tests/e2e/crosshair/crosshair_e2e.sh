#!/usr/bin/env bash
# The real tamblin.exe on a Wine virtual desktop over Xvfb, driven with X input (xdotool) and
# judged from the X display's pixels (import), as a person would use and see it:
#   before the button is pressed nothing is drawn; after it a red glyph shows at the centre;
#   typing "+" into the list's field draws "+"; emptying the field draws nothing; Esc ends it.
#
#   crosshair_e2e.sh --wine-exec PATH --root DIR --exe tamblin.exe --probe probe.exe --out DIR
# The screen is TAMBLIN_SCREEN (WIDTHxHEIGHTxDEPTH), as for scripts/wine-exec.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
while [ $# -gt 0 ]; do
  case "$1" in
    --wine-exec) wine_exec=$2; shift 2 ;;
    --root) root=$2; shift 2 ;;
    --exe) exe=$2; shift 2 ;;
    --probe) probe=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "crosshair_e2e: unknown argument $1" >&2; exit 2 ;;
  esac
done
. "$(dirname "$0")/../e2e_common.sh"

probe() { wine_run "$probe" "$@"; }

# A program left behind by an earlier, interrupted run would confuse the probe.
if probe layout >/dev/null; then
  echo "crosshair_e2e: a tamblin window is already open on this screen" >&2
  exit 1
fi

"$wine_exec" --root "$root" -- "$exe" >"$out/program.log" 2>&1 &
program=$!

layout=""
for _ in $(seq 150); do
  layout=$(probe layout) && break
  kill -0 "$program" 2>/dev/null || { echo "crosshair_e2e: the program ended at start" >&2; exit 1; }
  sleep 0.2
done
[ -n "$layout" ] || { echo "crosshair_e2e: the window never appeared" >&2; exit 1; }
echo "$layout" >"$out/layout.txt"
read -r _ window_left _ _ window_bottom < <(grep '^window' <<<"$layout")
read -r _ width height < <(grep '^screen' <<<"$layout")
read -r _ button_x button_y < <(grep '^button' <<<"$layout")
read -r _ field_x field_y < <(grep '^field' <<<"$layout")
# Wine may still be tearing down the desktop of a program that just ended: wait until the
# window's empty lower right corner is on the X display, not the bare black root window.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p'; }
shown=""
for _ in $(seq 100); do
  [ "$(pixel $((window_left + 140)) $((window_bottom - 8)))" != 000000 ] && { shown=yes; break; }
  sleep 0.2
done
[ -n "$shown" ] || { echo "crosshair_e2e: the window never showed on the X display" >&2; exit 1; }

cx=$((width / 2))
cy=$((height / 2))
echo "screen ${width}x${height}, crosshair expected from ($cx, $cy)"

# Judges the centre of the screen after wiping old drawings: prints "red N box ... shape S".
look() {  # look NAME
  probe repaint >/dev/null
  sleep 0.5
  import -window root -depth 8 "$out/$1.ppm"
  convert "$out/$1.ppm" "$out/$1.png" 2>/dev/null || true
  python3 "$here/analyse.py" "$out/$1.ppm" "$cx" "$cy" | tee "$out/$1.txt"
}
red_count() { awk '{print $2}' <<<"$1"; }
box_at_centre() {  # the red starts at the point, and stays within a 20-pixel cell of it
  local left top right bottom
  read -r _ _ _ left top right bottom _ <<<"$1"
  [ "$left" -ge "$cx" ] && [ "$top" -ge "$cy" ] && [ "$right" -le $((cx + 21)) ] && [ "$bottom" -le $((cy + 21)) ]
}
shape() { awk '{print $NF}' <<<"$1"; }

seen=$(look before)
check "nothing is drawn before the button is pressed" [ "$(red_count "$seen")" -eq 0 ]

xdotool mousemove "$button_x" "$button_y" click 1
sleep 0.3
seen=$(look pressed)
check "a red glyph shows at the centre after the click" [ "$(red_count "$seen")" -ge 10 ]
check "it starts at the centre point" box_at_centre "$seen"
check "it is the circled glyph" [ "$(shape "$seen")" = ring ]

# Select the field's text and type over it.
xdotool mousemove "$field_x" "$field_y" click 1
sleep 0.2
xdotool key End shift+Home
xdotool type --delay 50 '+'
sleep 0.2
seen=$(look plus)
check "typing + draws a red + at the centre" [ "$(red_count "$seen")" -ge 5 ]
check "the + starts at the centre point" box_at_centre "$seen"
check "the shape is a cross" [ "$(shape "$seen")" = cross ]

xdotool key End shift+Home BackSpace
sleep 0.2
seen=$(look emptied)
check "an emptied field draws nothing" [ "$(red_count "$seen")" -eq 0 ]
check "the program still runs with an empty field" kill -0 "$program"

xdotool key Escape
status=""
for _ in $(seq 50); do
  if ! kill -0 "$program" 2>/dev/null; then
    wait "$program" && status=0 || status=$?
    break
  fi
  sleep 0.2
done
check "Esc ends the program" [ -n "$status" ]
check "with exit status 0" [ "${status:-x}" = 0 ]
program=""

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed; screenshots in $out" >&2
  exit 1
fi
echo "all checks passed; screenshots in $out"
