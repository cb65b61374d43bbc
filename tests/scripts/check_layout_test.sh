#!/usr/bin/env bash
# scripts/check_layout.sh on a tiny tree (layout_fixture/): it passes the tree
# as it is and names each include and the circle planted into it.
#   check_layout_test.sh SOURCE_ROOT WORK_DIR
set -euo pipefail
root="$1"
work="$2"
fixture="$root/tests/scripts/layout_fixture"
configure() { cmake -S "$fixture" -B "$work/$1" -G Ninja -DCAPACIMO_ROOT="$root" -DPLANT="$2" >/dev/null; }

configure clean OFF
"$root/scripts/check_layout.sh" "$work/clean"

configure planted ON
if "$root/scripts/check_layout.sh" "$work/planted" 2>"$work/planted.txt"; then
  echo "FAIL: the planted includes passed" >&2
  exit 1
fi
for expected in "low/planted.cpp:3: includes <QString> of Qt6::Core, which low does not link" \
                "low/planted.cpp:5: includes high/high.h of high, which low does not link" \
                "low/planted.cpp:6: includes low/unlisted.h, which no library lists in its sources" \
                "ring_a links itself through the libraries it links: a circle"; do
  if ! grep -qxF "$expected" "$work/planted.txt"; then
    echo "FAIL: not said: $expected" >&2
    cat "$work/planted.txt" >&2
    exit 1
  fi
done
echo "check_layout: the planted includes are named"
