# Shared by the end-to-end scripts: a private X server, settings store and
# runtime directory, and waiting for windows by their title.
# The sourcing script defines $work (a fresh directory) and fail MESSAGE.

# Exits with 77 (skipped) when the X tools are missing.
require_x_tools() {
  local tool
  for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"
      exit 77
    fi
  done
}

# Starts Xvfb (its pid in $xvfb_pid) and points DISPLAY, the settings store
# and the runtime directory at private places under $work; no Wayland.
#   start_x_session [WIDTHxHEIGHT [XVFB_OPTION...]]   (1280x1024 by default)
start_x_session() {
  local screen=${1:-1280x1024}
  [ $# -gt 0 ] && shift
  export XDG_CONFIG_HOME="$work/config"
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb

  # Xvfb picks a free display number itself and reports it.
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp "$@" 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
  echo "X display $DISPLAY"
}

# Ends the program ($app_pid) and the X server ($xvfb_pid) and removes $work:
# the sourcing script's EXIT trap.
end_x_session() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}

# Waits up to $1 seconds for a visible window whose title matches $2; prints its id.
wait_window() {
  local seconds=$1 pattern=$2 id
  for _ in $(seq $((seconds * 10))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds until no visible window's title matches $2.
wait_gone() {
  local seconds=$1 pattern=$2
  for _ in $(seq $((seconds * 10))); do
    xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds for process $2 to end; its exit status in $exit_code.
wait_exit() {
  local seconds=$1 pid=$2
  for _ in $(seq $((seconds * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && return 1
  set +e
  wait "$pid"
  exit_code=$?
  set -e
  return 0
}
