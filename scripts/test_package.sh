#!/usr/bin/env bash
# Builds the Debian package (Release, into build/ as scripts/run.sh does),
# checks its contents and control fields, unpacks it into a temporary root
# and runs both programs from there: capacimo-calc's default result, the
# launcher end to end under Xvfb, and the installed program started through
# a link, a relative path and from elsewhere. Validates the desktop entry and
# the AppStream metadata. Any problem ends it with "FAIL: package: ...".
#   scripts/test_package.sh [PROBE]   PROBE: the end-to-end helper program,
#                                     by default build-test/bin/host_e2e_probe
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
build="$root/build"
probe="${1:-$root/build-test/bin/host_e2e_probe}"
fail() {
  echo "FAIL: package: $*" >&2
  exit 1
}

# The end-to-end helper comes from the test build (scripts/test.sh).
if [ ! -x "$probe" ]; then
  [ -f "$root/build-test/CMakeCache.txt" ] || fail "no $probe: run scripts/test.sh, which builds it"
  cmake --build "$root/build-test" --target host_e2e_probe >/dev/null
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCAPACIMO_TESTS=OFF -DCAPACIMO_BENCH=OFF >/dev/null
cmake --build "$build" >/dev/null
version=$(sed -n 's/^project(Capacimo VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
deb="$build/capacimo_${version}_$(dpkg --print-architecture).deb"
rm -f "$build"/capacimo_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack -G DEB failed"
[ -f "$deb" ] || fail "cpack wrote no $deb"
echo "Package: $deb"
dpkg-deb -c "$deb"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = capacimo ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
[ "$(field Maintainer)" = "Ostrelwerk Capacimo team <capacimo@ostrelwerk.example>" ] ||
  fail "Maintainer is '$(field Maintainer)'"
[ "$(field Description | wc -l)" -gt 2 ] || fail "no long description: $(field Description)"
depends=$(field Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6; do
  tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$library" || fail "Depends lacks $library: $depends"
done
owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
[ -z "$owners" ] || fail "entries not owned by root: $owners"
apt-get -s install "$deb" >"$work/apt.log" 2>&1 || fail "apt cannot install it here: $(cat "$work/apt.log")"

# The layout on the target machine.
target="$work/root"
dpkg-deb -x "$deb" "$target"
usr="$target/usr"
app_id=com.ostrelwerk.Capacimo
for file in lib/capacimo/Capacimo lib/capacimo/capacimo-calc lib/capacimo/DLLs/cp_ktv00xa.so \
  share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$app_id.svg share/man/man1/capacimo-calc.1.gz share/doc/capacimo/copyright; do
  [ -f "$usr/$file" ] && [ ! -L "$usr/$file" ] || fail "no file usr/$file"
done
[ "$(readlink "$usr/bin/capacimo")" = ../lib/capacimo/Capacimo ] || fail "usr/bin/capacimo is no link to the program"
[ "$(readlink "$usr/bin/capacimo-calc")" = ../lib/capacimo/capacimo-calc ] ||
  fail "usr/bin/capacimo-calc is no link to the program"
for size in 16 32 48 64 128 256; do
  png="$usr/share/icons/hicolor/${size}x$size/apps/$app_id.png"
  file "$png" | grep -q "PNG image data, $size x $size," || fail "icon ${size}x$size: $(file "$png")"
done
strays=$(find "$target" -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$strays" ] || fail "files outside /usr: $strays"
head -n1 "$usr/share/doc/capacimo/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"

# cmake --install lays out the same files and links under any prefix.
cmake --install "$build" --prefix "$work/prefix" >/dev/null
listing() { (cd "$1" && find . -mindepth 1 -printf '%P %y %l\n' | sort); }
diff <(listing "$usr") <(listing "$work/prefix") >"$work/layout.diff" ||
  fail "cmake --install differs from the package (< package, > install): $(cat "$work/layout.diff")"

# The desktop entry starts the installed program and shows the installed icon;
# the metadata names the entry.
desktop="$usr/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" >"$work/validate.log" 2>&1 && [ ! -s "$work/validate.log" ] ||
  fail "desktop-file-validate: $(cat "$work/validate.log")"
exec_command=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$usr/bin/$exec_command" ] || fail "the desktop entry starts '$exec_command', which is not in usr/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the desktop entry's icon '$icon' is not installed"
metainfo="$usr/share/metainfo/$app_id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/appstream.log")"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
  fail "the metadata does not name the desktop entry $(basename "$desktop")"

# capacimo-calc from the unpacked tree: the build's result, and a man page
# that lists every option of its help.
"$usr/bin/capacimo-calc" >"$work/calc.txt" || fail "the installed capacimo-calc failed"
"$build/bin/capacimo-calc" | diff - "$work/calc.txt" >"$work/calc.diff" ||
  fail "the installed capacimo-calc's default result differs from the build's: $(cat "$work/calc.diff")"
cat "$work/calc.txt"
zcat "$usr/share/man/man1/capacimo-calc.1.gz" | sed 's/\\-/-/g' >"$work/man.txt"
grep -q '^\.TH CAPACIMO-CALC "1"' "$work/man.txt" || fail "the man page is not one of section 1"
for option in $("$usr/bin/capacimo-calc" --help | grep -o -- '--[a-z0-9-]*' | sort -u); do
  grep -q -- "$option" "$work/man.txt" || fail "the man page lacks $option"
done

# The launcher with its unit, from the unpacked tree.
"$root/tests/host/e2e/launcher_e2e.sh" "$usr/bin/capacimo" "$probe" || fail "launcher end to end (exit $?)"
"$root/tests/host/e2e/installed_start_e2e.sh" "$usr" "$probe" || fail "installed start (exit $?)"
echo "PASS: package $deb"
