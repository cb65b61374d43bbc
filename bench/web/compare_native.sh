#!/usr/bin/env bash
# Times the heaviest setup natively (g++ -O2) and in WebAssembly (built as
# the web module is, by scripts/web.sh --build-only), one right after the
# other, three times each.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
core_sources=$(sed -n '/add_library(capacimo_core STATIC/,/)/p' "$root/calculator/CMakeLists.txt" | grep '\.cpp' | sed "s|^ *|$root/calculator/|")
g++ -std=c++20 -O2 -DNDEBUG -I"$root" "$root/bench/web/core_timing.cpp" $core_sources -o "$out/native"
for round in 1 2 3; do
  echo "native:      $("$out/native")"
  echo "WebAssembly: $(node "$root/build-web/web-build/capacimo_web_timing.js")"
done
