#!/usr/bin/env bash
# Renders everything a person sees to PNG files, at 96 and at 120 pixels per inch:
#   OUTDIR/dialog/   every page of the "Scribent S" calculator dialog and its Details window
#   OUTDIR/host/     the launcher dialog and the splash
#   OUTDIR/widgets/  the spin edit, result list and page control in their states
#   scripts/render.sh OUTDIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "$1" && cd "$1" && pwd)"
# One build for all three pictures.
export CAPACIMO_HOST_BUILD="$root/build-render"
export CAPACIMO_WIDGETS_BUILD="$root/build-render"
"$root/scripts/render_dialog.sh" "$out/dialog"
"$root/scripts/render_host.sh" "$out/host"
"$root/scripts/render_widgets.sh" "$out/widgets"
echo "Pictures in $out"
