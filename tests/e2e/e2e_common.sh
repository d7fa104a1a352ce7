# Shared by the end-to-end scripts (sourced, after their arguments are parsed): the Wine screen's
# environment, the check counter, and stopping the program under test on exit.
#   needs: $wine_exec, $root, $out; sets: failures, program; defines: check, stop_program, wine_run
e2e_name=$(basename "$0" .sh)
for tool in xdotool import python3; do
  command -v "$tool" >/dev/null || { echo "$e2e_name: $tool is missing" >&2; exit 2; }
done
mkdir -p "$out"
eval "$("$wine_exec" --root "$root" --env)"

failures=0
check() {  # check DESCRIPTION CONDITION...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what" >&2; failures=$((failures + 1)); fi
}

program=""
stop_program() {
  [ -n "$program" ] || return 0
  kill "$program" 2>/dev/null || return 0
  # A Wine process may outlive SIGTERM.
  for _ in $(seq 20); do kill -0 "$program" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$program" 2>/dev/null || true
}
trap stop_program EXIT

# A Windows program on the same screen, its output without CRs.
wine_run() { "$wine_exec" --root "$root" -- "$@" 2>/dev/null | tr -d '\r'; }
