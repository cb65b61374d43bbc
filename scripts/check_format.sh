#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from the layout .clang-format sets;
# prints the files and how to mend them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
bad=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'Not in the tree'"'"'s layout: %s\n' "${bad[@]}" >&2
  echo "Mend with: clang-format -i ${bad[*]}" >&2
  exit 1
fi
