#!/usr/bin/env bash
# Renders the dialog widgets (spin edit, result list, page control) in their
# states to PNG files at 96 and at 120 dpi: OUTDIR/96dpi/*.png, OUTDIR/120dpi/*.png.
# Each picture also comes enlarged three times as NAME@3x.png.
#   scripts/render_widgets.sh OUTDIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${CAPACIMO_WIDGETS_BUILD:-$root/build-widgets}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" --target capacimo_widget_gallery >/dev/null
gallery="$(find "$build" -type f -name capacimo_widget_gallery -perm -u+x | head -n 1)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
for dpi in 96 120; do
  "$gallery" "$1/${dpi}dpi" --dpi "$dpi" --zoom 3
done
