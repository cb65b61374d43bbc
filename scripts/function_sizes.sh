#!/usr/bin/env bash
# Prints the longest functions of the product code (not tests, benchmarks,
# tools or fuzz targets), C++ and the web page's JavaScript, longest first,
# as clang-tidy counts their lines (scripts/js_function_sizes.js counts the
# JavaScript the same way); functions as long as the last one shown are
# shown too:
#   scripts/function_sizes.sh [BUILD_DIR] [HOW_MANY]
# BUILD_DIR holds compile_commands.json (build-test by default). Exits 1 when
# a function is longer than 60 lines.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-test}"
many="${2:-10}"
limit=60
cd "$root"
sizes="$(mktemp)"
trap 'rm -f "$sizes"' EXIT
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
    / note: [0-9]+ lines including/ { print $3 "\t" name "\t" file ":" where[2] }' >"$sizes"
NODE_PATH=/usr/share/nodejs node scripts/js_function_sizes.js $(git ls-files 'web/*.js') >>"$sizes"
# A header's function comes once from each file that includes it.
sort -u "$sizes" | sort -t$'\t' -k1,1nr -k3,3 -o "$sizes"
# The first HOW_MANY, and every one as long as the last of them.
awk -F'\t' -v many="$many" 'NR <= many || $1 == last { print; last = $1; next } { exit }' "$sizes" | column -t -s$'\t'
over=$(awk -F'\t' -v limit=$limit '$1 > limit' "$sizes" | wc -l)
echo "functions over $limit lines: $over"
[ "$over" -eq 0 ]
