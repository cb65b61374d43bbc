#!/usr/bin/env bash
# Builds the fuzz targets (build-fuzz/: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each target: first once on every
# committed regression input (fuzz/regressions/<target>/ and the large ones
# the build writes), then for SECONDS on new inputs it makes from those and
# from fuzz/corpus/<target>/. What it finds worth keeping it keeps in
# build-fuzz/corpus/<target>/, so that the next run goes on from there.
# A crash, a sanitizer's report or a broken promise of a reader fails the
# run; the input is kept in build-fuzz/findings/<target>/.
#
#   scripts/fuzz.sh [-t SECONDS] [-j TARGETS_AT_ONCE] [TARGET...] [-- LIBFUZZER_OPTION...]
#
# TARGET: setup, plant, settings, web, dates (all by default); SECONDS: 15 by
# default; TARGETS_AT_ONCE: 1 by default.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds=15
at_once=1
targets=()
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    -t) seconds="$2"; shift 2 ;;
    -j) at_once="$2"; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    setup|plant|settings|web|dates) targets+=("$1"); shift ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(setup plant settings web dates)

build="$root/build-fuzz"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_COMPILER=clang++ \
         -DCAPACIMO_FUZZ=ON -DCAPACIMO_WARNINGS_AS_ERRORS=ON &&
       cmake --build "$build"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "fuzz: the build failed" >&2
  exit 1
fi

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
shopt -s nullglob
# One target: the replay, each input on its own so that every one that
# breaks it is named, then the run; a line of figures, or what broke.
# $1: the target.
run() {
  local target="$1" program="$build/fuzz/capacimo_fuzz_$1" out="$build/logs/$1.log" input broken=0
  local regressions=("$root/fuzz/regressions/$target"/* "$build/fuzz/large_inputs/$target"/*)
  mkdir -p "$build/corpus/$target" "$build/findings/$target" "$build/logs"
  for input in "${regressions[@]}"; do
    if ! "$program" -timeout=120 -rss_limit_mb=4096 "$input" >"$out" 2>&1; then
      echo "fuzz: $target: ${input#"$root/"} breaks it again:" >&2
      grep -E '^broken: |held .* at once|ERROR: |SUMMARY: |what\(\): ' "$out" | head -n 2 | sed 's/^/  /' >&2
      broken=1
    fi
  done
  [ "$broken" -eq 0 ] || return 1
  if ! "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
         -artifact_prefix="$build/findings/$target/" "${extra[@]}" \
         "$build/corpus/$target" "$root/fuzz/corpus/$target" "$root/fuzz/regressions/$target" >"$out" 2>&1; then
    echo "fuzz: $target: found an input that breaks it (build-fuzz/logs/$target.log):" >&2
    grep -E '^broken: |held .* at once|ERROR: |SUMMARY: |what\(\): |Test unit written' "$out" | tail -n 6 >&2
    return 1
  fi
  # The last line of figures: "#RUNS DONE cov: ..." or, with -fork, "#RUNS: cov: ...".
  local last
  last="$(grep -E '^#[0-9]+(:|[[:space:]]+DONE)' "$out" | tail -n 1)"
  echo "fuzz: $target: ${#regressions[@]} regression inputs replayed; $(grep -oE '^#[0-9]+' <<<"$last" | tr -d '#')" \
       "runs in ${seconds} s, $(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' <<<"$last")" \
       "(build-fuzz/corpus/$target: $(find "$build/corpus/$target" -type f | wc -l) inputs)"
}

status=0
running=0
for target in "${targets[@]}"; do
  run "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$at_once" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit "$status"
