#!/usr/bin/env bash
# Times the heaviest setup natively (g++ -O2) and in WebAssembly (built as
# the web module is, by scripts/web.sh --build-only), one right after the
# other, three times each.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
layout="$root/build-web/layout.txt"
[ -f "$layout" ] || { echo "compare_native: build the web edition first (scripts/web.sh --build-only)" >&2; exit 2; }
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# The sources of the timing program and of every library it links, from the
# web build's own link graph (cmake/layout.cmake), so that both programs are
# made of the same files.
sources=$(awk -F'\t' '
  $1 == "source" { files[$2] = files[$2] " " $3 }
  $1 == "LINK_LIBRARIES" { for (i = 3; i <= NF; ++i) links[$2] = links[$2] " " $i }
  END {
    queue[1] = "capacimo_web_timing"; n = 1
    for (i = 1; i <= n; ++i) {
      t = queue[i]; if (t in seen) continue; seen[t] = 1
      m = split(files[t], f, " "); for (k = 1; k <= m; ++k) if (f[k] ~ /\.cpp$/) print f[k]
      m = split(links[t], l, " "); for (k = 1; k <= m; ++k) queue[++n] = l[k]
    }
  }' "$layout")
# shellcheck disable=SC2086
g++ -std=c++20 -O2 -DNDEBUG -I"$root" $sources -o "$out/native"
for round in 1 2 3; do
  echo "native:      $("$out/native")"
  echo "WebAssembly: $(node "$root/build-web/web-build/capacimo_web_timing.js")"
done
