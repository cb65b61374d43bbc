#!/usr/bin/env bash
# Draws the host's splash and launcher dialog offscreen into PNG files, at 96
# and at 120 pixels per inch:
#   scripts/render_host.sh OUTDIR  ->  OUTDIR/splash_96.png, OUTDIR/launcher_96.png,
#                                      OUTDIR/splash_120.png, OUTDIR/launcher_120.png
# each also three times enlarged as NAME@3x.png.
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
for dpi in 96 120; do
  XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" QT_QPA_PLATFORM=offscreen QT_FONT_DPI=$dpi \
    "$build/bin/capacimo-render-host" "$out" "_$dpi"
done
ls "$out"/splash*.png "$out"/launcher*.png
