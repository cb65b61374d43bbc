#!/usr/bin/env bash
# Prints the longest functions of the product code (not tests, benchmarks,
# tools or fuzz targets), longest first, as clang-tidy counts their lines:
#   scripts/function_sizes.sh [BUILD_DIR] [HOW_MANY]
# BUILD_DIR holds compile_commands.json (build-test by default). Exits 1 when
# a function is longer than 60 lines.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-test}"
many="${2:-10}"
limit=60
cd "$root"
mapfile -t files < <(git ls-files 'calculator/*.cpp' 'common/*.cpp' 'widgets/*.cpp' 'unit_api/*.cpp' 'host/*.cpp' \
                                  'cli/*.cpp' 'web/*.cpp' | while read -r f; do
                       grep -q "\"file\": \"$root/$f\"" "$build/compile_commands.json" && echo "$f"; done)
# Every function over a threshold of 0 lines is reported with its length.
config="{CheckOptions: [{key: readability-function-size.LineThreshold, value: 0}]}"
printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet --checks='-*,readability-function-size' \
        --config="$config" 2>/dev/null |
  awk -v root="$root/" '
    / warning: function .* exceeds recommended size/ {
      split($1, where, ":"); file = where[1]; sub(root, "", file)
      match($0, /function .[^ ]+. exceeds/); name = substr($0, RSTART + 10, RLENGTH - 19) }
    / note: [0-9]+ lines including/ { print $3 "\t" name "\t" file ":" where[2] }' |
  sort -t$'\t' -k1,1nr -u > /tmp/function_sizes.$$
head -n "$many" /tmp/function_sizes.$$ | column -t -s$'\t'
over=$(awk -v limit=$limit '$1 > limit' /tmp/function_sizes.$$ | wc -l)
rm -f /tmp/function_sizes.$$
echo "functions over $limit lines: $over"
[ "$over" -eq 0 ]
