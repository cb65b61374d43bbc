#!/usr/bin/env bash
# Draws the host's splash and launcher dialog offscreen into PNG files:
#   scripts/render_host.sh OUTDIR   ->  OUTDIR/splash.png, OUTDIR/launcher.png
# and three times enlarged copies OUTDIR/splash@3x.png, OUTDIR/launcher@3x.png.
# The launcher lists the units built into build/bin/DLLs.
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "$1" && cd "$1" && pwd)"
build="${CAPACIMO_HOST_BUILD:-$root/build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCAPACIMO_TESTS=OFF -DCAPACIMO_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target capacimo-render-host cp_ktv00xa >/dev/null

# A throw-away settings store: rendering must not touch the user's "Last".
config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" QT_QPA_PLATFORM=offscreen "$build/bin/capacimo-render-host" "$out"
ls "$out"/splash*.png "$out"/launcher*.png
