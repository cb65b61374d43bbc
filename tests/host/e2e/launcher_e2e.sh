#!/usr/bin/env bash
# Runs the real Capacimo with the real unit on a private X server, the way a
# person would: Execute, close the unit's dialog, close the launcher. Then
# checks the exit code and what both sides stored.
#   launcher_e2e.sh CAPACIMO PROBE
set -euo pipefail

# An installed program is started through a link; its units lie beside the real file.
capacimo=$(readlink -f "$1")
probe=$2
unit_dir="$(dirname "$capacimo")/DLLs"
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

require_x_tools
if ! ls "$unit_dir"/*.so >/dev/null 2>&1; then
  echo "SKIP: no unit library in $unit_dir"
  exit 77
fi

work=$(mktemp -d)
xvfb_pid=
app_pid=
trap end_x_session EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/capacimo.log" ] && sed 's/^/  capacimo: /' "$work/capacimo.log" >&2
  exit 1
}

start_x_session

# The program in a directory of its own, its unit in DLLs, and beside them
# things a real installation may hold that are no units.
program="$work/program"
mkdir -p "$program/DLLs/old.so"
cp "$capacimo" "$program/Capacimo"
cp "$unit_dir"/*.so "$program/DLLs/"
: >"$program/empty.so"
head -c 4096 /dev/urandom >"$program/DLLs/garbage.so"
mkfifo "$program/DLLs/pipe.so"

"$program/Capacimo" >"$work/capacimo.log" 2>&1 &
app_pid=$!

launcher=$(wait_window 60 '^Ostrel Capacimo ') || fail "the launcher did not appear"
echo "launcher window $launcher: $(xdotool getwindowname "$launcher")"

# Out of the way of the unit's dialog, which opens in the screen's centre.
xdotool windowmove "$launcher" 0 0

# "Execute" is at 12,45 (214 x 30) of the 343 x 82 design; the dialog
# scales with the screen's resolution, so aim by its actual width.
sleep 0.5
width=$(xdotool getwindowgeometry --shell "$launcher" | sed -n 's/^WIDTH=//p')
x=$(( (119 * width + 171) / 343 ))
y=$(( (60 * width + 171) / 343 ))
echo "launcher width $width, clicking Execute at $x,$y"
xdotool mousemove --window "$launcher" "$x" "$y" click 1
unit=$(wait_window 60 '^Scribent S$') || fail "the unit's dialog did not appear after Execute"
echo "unit window $unit"

# While the unit's dialog is open the launcher takes no input: a second
# click on Execute must not start a second run.
sleep 0.5
xdotool mousemove --window "$launcher" "$x" "$y" click 1
sleep 1
units=$(xdotool search --onlyvisible --name '^Scribent S$' 2>/dev/null || true)
echo "unit dialog at $(xdotool getwindowgeometry "$unit" | sed -n "s/^ *Position: //p"), launcher at $(xdotool getwindowgeometry "$launcher" | sed -n "s/^ *Position: //p")"
[ "$units" = "$unit" ] || fail "Execute reacted while the unit's dialog was open (windows: $units)"

"$probe" close "$unit" || fail "could not ask the unit's dialog to close"
wait_gone 30 '^Scribent S$' || fail "the unit's dialog did not close"

"$probe" close "$launcher" || fail "could not ask the launcher to close"
wait_exit 30 "$app_pid" || fail "Capacimo did not end after its launcher was closed"
app_pid=
[ "$exit_code" -eq 0 ] || fail "Capacimo ended with exit code $exit_code"

# One log line for each rejected candidate: empty.so, garbage.so, the
# directory and the FIFO.
skipped=$(grep -c '^Capacimo: skipped ' "$work/capacimo.log" || true)
[ "$skipped" -eq 4 ] || fail "expected 4 rejected candidates in the log, found $skipped"

settings=$("$probe" settings)
echo "$settings"
grep -qx 'Last=Scribent S' <<<"$settings" || fail "the host did not store Last=Scribent S"
# 45 entries, then each group's alarm cycle, the alarm share and the card reserve.
grep -qx 'UnitValues=57' <<<"$settings" || fail "the unit did not store its 57 values"
echo "PASS: launcher end to end"
