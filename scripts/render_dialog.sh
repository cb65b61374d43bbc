#!/usr/bin/env bash
# Renders every page of the "Scribent S" calculator dialog, the status line
# in its error and information states, and the Details window to PNG files
# at 96 and at 120 pixels per inch: OUTDIR/dialog-*_96.png,
# OUTDIR/dialog-*_120.png, OUTDIR/details_96.png and OUTDIR/details_120.png.
#   scripts/render_dialog.sh OUTDIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
build="$root/build-render"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCAPACIMO_BENCH=OFF >/dev/null
cmake --build "$build" --target capacimo_render_dialog >/dev/null
mkdir -p "$1"
for dpi in 96 120; do
  QT_QPA_PLATFORM=offscreen QT_FONT_DPI=$dpi "$build/bin/capacimo_render_dialog" "$1" "_$dpi"
done
echo "Pictures in $1"
