#!/usr/bin/env bash
# Times the heaviest setup natively (g++ -O2) and in WebAssembly (built as
# the web module is, by scripts/web.sh --build-only), one right after the
# other, three times each.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# The sources of the standard-library libraries, as their CMakeLists.txt list them.
core_sources=$(for dir in calculator calculator/text calculator/files; do
  sed -n '/add_library(capacimo_[a-z]* STATIC/,/)/p' "$root/$dir/CMakeLists.txt" | grep -o '[a-z_]*\.cpp' | sed "s|^|$root/$dir/|"
done)
g++ -std=c++20 -O2 -DNDEBUG -I"$root" "$root/bench/web/core_timing.cpp" $core_sources -o "$out/native"
for round in 1 2 3; do
  echo "native:      $("$out/native")"
  echo "WebAssembly: $(node "$root/build-web/web-build/capacimo_web_timing.js")"
done
