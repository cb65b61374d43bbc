#!/usr/bin/env bash
# Starts an installed Capacimo (PREFIX/bin/capacimo, a link to the program
# beside its units) on a private X server the ways a user may, and checks
# that it finds its unit each time: through a link in another directory,
# through a relative path, from another working directory; its windows have
# the class the desktop entry names. Then with the units directory unreadable:
# one line on stderr, and the launcher still starts with "No units
# available!". Every case runs; the failures are listed.
#   installed_start_e2e.sh PREFIX PROBE
set -euo pipefail

prefix=$(cd "$1" && pwd)
probe=$2
command="$prefix/bin/capacimo"
unit_dir="$(dirname "$(readlink -f "$command")")/DLLs"
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

require_x_tools
[ -x "$command" ] || { echo "FAIL: no program at $command" >&2; exit 1; }
# The desktop entry's window class: a dock shows the windows under the entry.
window_class=$(sed -n 's/^StartupWMClass=//p' "$prefix"/share/applications/*.desktop)
[ -n "$window_class" ] || { echo "FAIL: no desktop entry with StartupWMClass in $prefix/share/applications" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
# The units directory is made unreadable by one case: readable again at the end.
trap 'chmod 755 "$unit_dir" 2>/dev/null || true; end_x_session' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
start_x_session

failures=()
# Notes a failed case with what the program wrote, and ends its run.
case_failed() {
  failures+=("$name: $*")
  echo "FAIL: $name: $*" >&2
  sed 's/^/  capacimo: /' "$log" >&2
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  app_pid=
  return 1
}

# run_case NAME UNITS DIR COMMAND...: starts COMMAND in DIR with a settings
# store of its own and closes the launcher again. UNITS is "found" (the
# launcher stores its unit as the last one used) or "none" (the launcher
# says so in a box and stores nothing).
run_case() {
  name=$1
  local units=$2 dir=$3 launcher
  shift 3
  log="$work/$name.log"
  export XDG_CONFIG_HOME="$work/config-$name"
  mkdir -p "$XDG_CONFIG_HOME"
  (cd "$dir" && exec "$@") >"$log" 2>&1 &
  app_pid=$!

  # Without units a box says so while the launcher is being shown; the
  # launcher appears once it is closed.
  local first title
  first=$(wait_window 60 '^(Ostrel Capacimo .*|Fehler)$') || case_failed "neither launcher nor box appeared" || return 0
  title=$(xdotool getwindowname "$first")
  if [ "$units" = found ] && [ "$title" = Fehler ]; then
    case_failed "no unit found: \"No units available!\"" || return 0
  elif [ "$units" = none ]; then
    [ "$title" = Fehler ] || case_failed "the launcher came without a \"No units available!\" box" || return 0
    "$probe" close "$first" || case_failed "could not close the box" || return 0
  fi
  launcher=$(wait_window 60 '^Ostrel Capacimo ') || case_failed "the launcher did not appear" || return 0
  xdotool search --onlyvisible --class "^$window_class\$" | grep -qx "$launcher" ||
    case_failed "the launcher's window class is not \"$window_class\" (StartupWMClass)" || return 0
  "$probe" close "$launcher" || case_failed "could not ask the launcher to close" || return 0
  wait_exit 30 "$app_pid" || case_failed "Capacimo did not end after its launcher was closed" || return 0
  app_pid=
  [ "$exit_code" -eq 0 ] || case_failed "Capacimo ended with exit code $exit_code" || return 0

  local last expected="Last=Scribent S"
  last=$("$probe" settings | grep '^Last=' || true)
  [ "$units" = none ] && expected="Last="
  [ "$last" = "$expected" ] || case_failed "expected $expected, the store holds $last" || return 0
  echo "ok: $name"
}

mkdir -p "$work/elsewhere"
ln -s "$command" "$work/elsewhere/capacimo"
run_case link-elsewhere found "$work/elsewhere" "$work/elsewhere/capacimo"
run_case relative-path found "$prefix/share" ../bin/capacimo
run_case other-directory found / "$command"
for found in link-elsewhere relative-path other-directory; do
  if grep -q '^Capacimo: skipped ' "$work/$found.log"; then
    failures+=("$found: skipped files in a clean installation: $(grep '^Capacimo: skipped ' "$work/$found.log")")
  fi
done

# An unreadable units directory. Root reads any directory, so it runs the
# program without the capabilities that allow that.
chmod 000 "$unit_dir"
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --bounding-set=-dac_override,-dac_read_search --)
run_case unreadable-units none / "${as_user[@]}" "$command"
chmod 755 "$unit_dir"
skipped=$(grep '^Capacimo: skipped ' "$work/unreadable-units.log" || true)
if [ "$(grep -c . <<<"$skipped")" -ne 1 ] || [[ "$skipped" != "Capacimo: skipped $unit_dir"* ]]; then
  failures+=("unreadable-units: expected one line \"Capacimo: skipped $unit_dir...: reason\", got: ${skipped:-nothing}")
fi

if [ ${#failures[@]} -ne 0 ]; then
  echo "FAIL: installed start, ${#failures[@]} problem(s):" >&2
  printf '  %s\n' "${failures[@]}" >&2
  exit 1
fi
echo "PASS: installed start"
