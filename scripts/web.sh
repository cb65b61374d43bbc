#!/usr/bin/env bash
# Builds the web edition into build-web/ (the page in build-web/web/, the zip
# beside it) and serves it at http://127.0.0.1:8080/ until Ctrl+C.
# With --build-only it only builds.
# Its tests (ctest --test-dir build-web) compare the module with the native
# capacimo-calc named by CAPACIMO_CALC, by default the test build's
# (build-test/, which scripts/test.sh builds).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh" --tests
build="$root/build-web"
# Debian's emscripten runs its JavaScript tools with the system's node, which
# finds Debian's node modules (acorn) only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCAPACIMO_CALC="${CAPACIMO_CALC:-$root/build-test/bin/capacimo-calc}" >/dev/null
cmake --build "$build"
if [ "${1:-}" = "--build-only" ]; then
  exit 0
fi
echo "Capacimo web edition: http://127.0.0.1:8080/  (Ctrl+C ends)" >&2
exec /usr/bin/python3 -m http.server 8080 --bind 127.0.0.1 --directory "$build/web"
