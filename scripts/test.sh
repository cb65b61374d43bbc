#!/usr/bin/env bash
# Checks the layout of the sources (their format, that no file includes from
# a library its own does not link, that no function is longer than 60 lines),
# builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (warnings are errors) and runs every test, each benchmark once, builds and tests the web edition (build-web/), builds
# the Debian package and tests it (scripts/test_package.sh), then runs the
# readers' fuzz targets for a short while (scripts/fuzz.sh, build-fuzz/).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh" --tests
"$root/scripts/check_format.sh"
build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCAPACIMO_SANITIZE=ON \
  -DCAPACIMO_WARNINGS_AS_ERRORS=ON >/dev/null
# No file includes from a library its own does not link (the build's own link graph).
"$root/scripts/check_layout.sh" "$build"
cmake --build "$build"
# No function of the product, C++ or JavaScript, is longer than 60 lines.
"$root/scripts/function_sizes.sh" "$build" 5
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j2

# The web edition: built into build-web/ with its zip; the module against this
# build's capacimo-calc, the page in headless Chromium.
CAPACIMO_CALC="$build/bin/capacimo-calc" "$root/scripts/web.sh" --build-only
ctest --test-dir "$root/build-web" --output-on-failure

# The Debian package, unpacked and started like an installed program.
"$root/scripts/test_package.sh" "$build/bin/host_e2e_probe"

# The readers under libFuzzer: every regression input once, then each target
# for 15 s on new inputs.
"$root/scripts/fuzz.sh" -t 15
