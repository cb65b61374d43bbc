#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) managed by openbox, at a given
# resolution in pixels per inch, and ends both afterwards:
#   scripts/openbox_session.sh [--screen-reader] PPI WIDTHxHEIGHT COMMAND [ARGUMENTS...]
# The command gets DISPLAY, QT_QPA_PLATFORM=xcb and private settings and
# runtime directories; its exit status is the script's. Qt 6 takes the
# resolution from the X resource Xft.dpi, not from Xvfb's -dpi, so it is set
# with xrdb. With --screen-reader the command also gets a private D-Bus
# session whose accessibility bus (AT-SPI) is switched on, as a screen reader
# switches it on, so that Qt presents its windows there. Exits with 77
# (skipped, for CTest) when a tool is missing: scripts/deps.sh installs them.
set -euo pipefail
screen_reader=no
if [ "${1:-}" = --screen-reader ]; then
  screen_reader=yes
  shift
fi
if [ $# -lt 3 ]; then
  echo "usage: $0 [--screen-reader] PPI WIDTHxHEIGHT COMMAND [ARGUMENTS...]" >&2
  exit 2
fi
ppi=$1
screen=$2
shift 2
tools=(Xvfb openbox xrdb xprop)
[ "$screen_reader" = yes ] && tools+=(dbus-run-session dbus-send /usr/libexec/at-spi-bus-launcher)
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"
    exit 77
  fi
done

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/tests/host/e2e/x_session.sh"
work=$(mktemp -d)
xvfb_pid=
openbox_pid=
finish() {
  [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null || true
  end_x_session
}
trap finish EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.log; do sed "s|^|  $(basename "$log" .log): |" "$log" >&2; done
  exit 1
}

# A private home too, so that openbox reads no one's configuration. -noreset
# keeps the server (and its resources) when the last client goes.
export HOME="$work/home"
mkdir -p "$HOME"
start_x_session "$screen" -noreset >/dev/null
echo "Xft.dpi: $ppi" | xrdb -nocpp -merge
openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox_pid=$!
# The window manager is in charge once it has named itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || fail "openbox did not start"
echo "X display $DISPLAY, openbox, $ppi ppi, $screen"

set +e
if [ "$screen_reader" = yes ]; then
  dbus-run-session -- sh -c 'dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
      org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null &&
    exec "$@"' sh "$@"
else
  "$@"
fi
status=$?
set -e
exit "$status"
