#!/usr/bin/env bash
# Renders everything a person sees to PNG files, offscreen, at 96, 120 and 144
# pixels per inch:
#   OUTDIR/dialog/   every page of the "Scribent S" calculator dialog and the
#                    status line in its error and information states
#   OUTDIR/host/     the splash and the launcher (each also enlarged, NAME@3x.png)
#   OUTDIR/widgets/  the spin edit, result list and page control in their states
#   OUTDIR/report/   the setup report of two setups, as PDF on A4 and Letter
#                    and as PNG pages
# Name parts to render only those:
#   scripts/render.sh OUTDIR [dialog] [host] [widgets] [report]
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 OUTDIR [dialog] [host] [widgets] [report]" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "$1" && cd "$1" && pwd)"
shift
parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(dialog host widgets report)
"$root/scripts/deps.sh" --tests

# One build for all pictures; its output is shown only when it fails.
build="$root/build-render"
log="$(mktemp)"
config="$(mktemp -d)"
trap 'rm -rf "$log" "$config"' EXIT
if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCAPACIMO_BENCH=OFF &&
       cmake --build "$build" --target capacimo_render_dialog capacimo-render-host capacimo_widget_gallery \
             capacimo_render_report cp_ktv00xa; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "render: the build failed" >&2
  exit 1
fi

# A throw-away settings store: rendering must not touch the user's.
export XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" QT_QPA_PLATFORM=offscreen
for part in "${parts[@]}"; do
  for dpi in 96 120 144; do
    case "$part" in
      dialog) QT_FONT_DPI=$dpi "$build/bin/capacimo_render_dialog" "$out/dialog" "_$dpi" ;;
      host) QT_FONT_DPI=$dpi "$build/bin/capacimo-render-host" "$out/host" "_$dpi" ;;
      widgets) "$build/bin/capacimo_widget_gallery" "$out/widgets/${dpi}dpi" --dpi "$dpi" --zoom 3 ;;
      report)
        "$build/bin/capacimo_render_report" "$out/report"
        for pdf in "$out"/report/*.pdf; do pdftoppm -r "$dpi" -png -singlefile "$pdf" "${pdf%.pdf}_$dpi"; done ;;
      *) echo "render: no part named '$part' (dialog, host, widgets, report)" >&2; exit 2 ;;
    esac
  done
done
echo "Pictures in $out"
