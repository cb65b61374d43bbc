#!/usr/bin/env bash
# Builds the web edition into build-web/ (the page in build-web/web/, the zip
# beside it) and serves it at http://127.0.0.1:8080/ until Ctrl+C.
# With --build-only it only builds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
build="$root/build-web"
# Debian's emscripten runs its JavaScript tools with the system's node, which
# finds Debian's node modules (acorn) only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build"
if [ "${1:-}" = "--build-only" ]; then
  exit 0
fi
echo "Capacimo web edition: http://127.0.0.1:8080/  (Ctrl+C ends)" >&2
exec /usr/bin/python3 -m http.server 8080 --bind 127.0.0.1 --directory "$build/web"
