#!/usr/bin/env bash
# Makes sure the Debian packages are present that the program needs to be
# built and to run (scripts/run.sh), and with --tests those of every test,
# the web edition and the package too (scripts/test.sh), and the web tests'
# npm packages. As root it installs the Debian packages that are missing;
# otherwise it prints the apt-get line and fails.
set -euo pipefail

# The program: its build, its man page and icon, the fonts its windows are laid out for.
packages=(cmake ninja-build g++ qt6-base-dev nlohmann-json3-dev fonts-liberation2 help2man git librsvg2-bin)
if [ "${1:-}" = "--tests" ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev ccache
             xvfb xdotool xauth clang-format clang-tidy clang libclang-rt-dev
             openbox x11-xserver-utils x11-utils dbus-daemon dbus-bin at-spi2-core
             dpkg-dev file desktop-file-utils appstream lintian devscripts
             python3-jsonschema python3-icalendar poppler-utils libreoffice-calc-nogui
             emscripten nodejs node-acorn chromium chromium-driver python3-selenium)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# npm comes with some builds of nodejs and is a package of its own with Debian's.
if ! command -v npm >/dev/null; then
  missing+=(npm)
fi

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
  else
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
fi

[ "${1:-}" = "--tests" ] || exit 0

# What Debian lacks, from npm as tests/web/package-lock.json pins it (axe-core,
# for the web edition's browser test), into tests/web/node_modules: once for
# each lock file. npm keeps what it fetched in ~/.cache/capacimo/npm, so that
# installing again (another checkout, a removed node_modules) needs no network.
web_tests="$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/web" && pwd)"
installed="$web_tests/node_modules/.installed-package-lock.json"
if ! cmp -s "$web_tests/package-lock.json" "$installed"; then
  npm ci --prefix "$web_tests" --prefer-offline --cache "${XDG_CACHE_HOME:-$HOME/.cache}/capacimo/npm" \
    --no-audit --no-fund --loglevel=error >&2
  cp "$web_tests/package-lock.json" "$installed"
fi
