#!/usr/bin/env bash
# Times the heaviest setup natively (g++ -O2) and in WebAssembly (em++ -Os, as
# the web edition is built), one right after the other, three times each.
# Run after scripts/web.sh --build-only (it uses build-web's core library).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
export NODE_PATH=/usr/share/nodejs
core_sources=$(sed -n '/add_library(capacimo_core STATIC/,/)/p' "$root/calculator/CMakeLists.txt" | grep '\.cpp' | sed "s|^ *|$root/calculator/|")
g++ -std=c++20 -O2 -DNDEBUG -I"$root" "$root/bench/web/core_timing.cpp" $core_sources -o "$out/native"
em++ -std=c++20 -Os -DNDEBUG -fwasm-exceptions -mbulk-memory -I"$root" -isystem "$root/build-web/include" \
  "$root/bench/web/core_timing.cpp" "$root/build-web/calculator/libcapacimo_core.a" \
  -fwasm-exceptions -mbulk-memory -sSINGLE_FILE=1 -sENVIRONMENT=node -Os -o "$out/wasm.js"
for round in 1 2 3; do
  echo "native:      $("$out/native")"
  echo "WebAssembly: $(node "$out/wasm.js")"
done
