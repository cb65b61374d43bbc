#!/usr/bin/env bash
# Writes the fuzz targets' starting inputs (fuzz/corpus/) from files the
# program writes: setup files saved by capacimo-calc --save-setup, and what
# capacimo_fuzz_inputs makes of them (plant CSVs, the settings file the
# dialog and the host save, the web page's calls of the module). Uses the
# test build (build-test/, scripts/test.sh makes it). Run it again after a
# change of a file format and commit what it writes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-test"
cmake --build "$build" --target capacimo-calc capacimo_fuzz_inputs >/dev/null
corpus="$root/fuzz/corpus"
rm -rf "$corpus"
mkdir -p "$corpus/setup"
export ASAN_OPTIONS=detect_leaks=0

save() {
  local name="$1"
  shift
  "$build/bin/capacimo-calc" "$@" --save-setup "$corpus/setup/$name.capacimo" >/dev/null 2>&1
}
every_group() { for g in $(seq "$1" 10); do printf -- '--group %s:%s ' "$g" "$2"; done; }

save defaults
save boiler --analog 4 --group 1:cycle=1s,values=4 --analysis1 1h
# shellcheck disable=SC2046
save heaviest --analog 40 --digital-events 14 --group 1:cycle=100ms,values=8 $(every_group 2 cycle=1s,values=8) \
  --analysis1 1min --analysis2 daily --analysis3 daily --analysis4 daily
save mixed --analog 8 --analog-totalized 2 --digital-events 4 --group 1:cycle=1s,values=8 \
  --group 2:cycle=10s,states=4 --analysis2 weekly --card 1GB
save math --analog 2 --analog-impulse 1 --digital-counters 2 --digital-events-optime 3 --math-values 8 \
  --math-values-totalized 3 --math-states 2 --math-counters 1 --group 1:cycle=Off \
  --group 3:cycle=1h,values=4,states=2 --analysis1 12h --analysis4 annual --card 2GB
# Alarms and a card reserve: the alarm cycles, the share and the reserve written only when set.
save alarms --analog 6 --digital-events 2 --group 1:cycle=10s,values=6,alarm=100ms --group 2:cycle=1min,states=2,alarm=2s \
  --alarm-share 7 --card-reserve 100
# Counts that contradict each other are saved as they are, with the status line's error.
save contradicting --analog 1 --analog-totalized 5 --group 10:cycle=30min,values=8,states=8 --card 512MB

"$build/bin/capacimo_fuzz_inputs" "$corpus"
find "$corpus" -type f | sort | sed "s|^$root/||"
