#!/usr/bin/env bash
# The real tamblin.exe under load on a Wine virtual desktop: the button clicked 100 times (100
# timers of 1 ms, each drawing the crosshair on every tick), then a minute of running. The window
# must still answer, Esc must end the program within a second, and its memory and GDI objects
# must be as many at the end of the minute as at its start. Prints the figures.
#
#   load_e2e.sh --wine-exec PATH --root DIR --exe tamblin.exe --probe e2e_probe.exe
#               --usage load_probe.exe --analyse analyse.py --out DIR [--clicks N] [--seconds S]
# The screen is TAMBLIN_SCREEN (WIDTHxHEIGHTxDEPTH), as for scripts/wine-exec.
set -euo pipefail

clicks=100
seconds=60
while [ $# -gt 0 ]; do
  case "$1" in
    --wine-exec) wine_exec=$2; shift 2 ;;
    --root) root=$2; shift 2 ;;
    --exe) exe=$2; shift 2 ;;
    --probe) probe_exe=$2; shift 2 ;;
    --usage) usage_exe=$2; shift 2 ;;
    --analyse) analyse=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --clicks) clicks=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) echo "load_e2e: unknown argument $1" >&2; exit 2 ;;
  esac
done
. "$(dirname "$0")/../e2e_common.sh"

run() { wine_run "$@"; }

if run "$probe_exe" layout >/dev/null; then
  echo "load_e2e: a tamblin window is already open on this screen" >&2
  exit 1
fi

"$wine_exec" --root "$root" -- "$exe" >"$out/program.log" 2>&1 &
program=$!

layout=""
for _ in $(seq 150); do
  layout=$(run "$probe_exe" layout) && break
  kill -0 "$program" 2>/dev/null || { echo "load_e2e: the program ended at start" >&2; exit 1; }
  sleep 0.2
done
[ -n "$layout" ] || { echo "load_e2e: the window never appeared" >&2; exit 1; }
read -r _ button_x button_y < <(grep '^button' <<<"$layout")
read -r _ width height < <(grep '^screen' <<<"$layout")

# The program's memory as Linux counts it, its CPU time in clock ticks, and its GDI objects as
# its process's handle table holds them.
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$program/status"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$program/stat"; }
measure() {  # measure NAME: sets NAME_rss, NAME_cpu, NAME_gdi, NAME_regions
  local usage
  usage=$(run "$usage_exe" usage) || { echo "load_e2e: cannot read the program's GDI objects" >&2; return 1; }
  printf -v "$1_rss" '%s' "$(rss_kb)"
  printf -v "$1_cpu" '%s' "$(cpu_ticks)"
  printf -v "$1_gdi" '%s' "$(awk '/^gdi/ {print $2}' <<<"$usage")"
  printf -v "$1_regions" '%s' "$(awk '/^gdi/ {print $3}' <<<"$usage")"
}

measure idle
xdotool mousemove "$button_x" "$button_y"
xdotool click --repeat "$clicks" --delay 30 1
# Settle: every timer has ticked and every cache the drawing fills is full.
sleep 3
import -window root -depth 8 "$out/loaded.ppm"
seen=$(python3 "$analyse" "$out/loaded.ppm" $((width / 2)) $((height / 2)))
measure start
check "the window answers under load" run "$usage_exe" answers
started=$SECONDS
while [ $((SECONDS - started)) -lt "$seconds" ]; do
  kill -0 "$program" 2>/dev/null || break
  sleep 1
done
check "the program still runs after ${seconds} s under load" kill -0 "$program"
answer=$(run "$usage_exe" answers) && answered=yes || answered=""
check "the window still answers after ${seconds} s: ${answer}" [ -n "$answered" ]
measure end
import -window root "$out/after.png" || true

echo "under ${clicks} timers for ${seconds} s:"
echo "  memory (VmRSS): before the clicks ${idle_rss} kB, start ${start_rss} kB, end ${end_rss} kB"
echo "  CPU time of the program during the minute: $(((end_cpu - start_cpu) * 100 / $(getconf CLK_TCK) / seconds)) %"
echo "  GDI objects: before the clicks ${idle_gdi} (${idle_regions} regions), start ${start_gdi} (${start_regions}" \
     "regions), end ${end_gdi} (${end_regions} regions)"
echo "  at the centre under load: ${seen}"
check "the crosshair is drawn" [ "$(awk '{print $2}' <<<"$seen")" -ge 10 ]
# Flat: no GDI object kept per tick (thousands of ticks a minute), and memory within a few MB.
check "GDI objects other than regions stay flat" [ $((end_gdi - end_regions)) -le $((start_gdi - start_regions)) ]
check "memory stays flat (VmRSS within 4 MB)" [ $((end_rss - start_rss)) -le 4096 ]

xdotool key Escape
pressed=$(date +%s%N)
ended=""
status=""
for _ in $(seq 250); do
  if ! kill -0 "$program" 2>/dev/null; then
    ended=$(date +%s%N)
    wait "$program" && status=0 || status=$?
    break
  fi
  sleep 0.02
done
took_ms=$(((${ended:-$(date +%s%N)} - pressed) / 1000000))
echo "  Esc to exit: ${took_ms} ms"
check "Esc ends the program" [ -n "$ended" ]
check "within a second" [ "$took_ms" -le 1000 ]
check "with exit status 0" [ "${status:-x}" = 0 ]
[ -n "$ended" ] && program=""

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed; screenshots in $out" >&2
  exit 1
fi
echo "all checks passed; screenshots in $out"
