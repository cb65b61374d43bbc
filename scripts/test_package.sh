#!/usr/bin/env bash
# Builds the Debian package (Release, into build/ as scripts/run.sh does),
# checks its contents and control fields, runs lintian on it, checks that the
# programs are hardened and that a second cpack gives the same bytes, unpacks
# it into a temporary root and runs both programs from there: capacimo-calc's
# default result, the launcher end to end under Xvfb, and the installed
# program started through a link, a relative path and from elsewhere.
# Validates the desktop entry and the AppStream metadata. Any problem ends it
# with "FAIL: package: ...".
#   scripts/test_package.sh [PROBE]   PROBE: the end-to-end helper program,
#                                     by default build-test/bin/host_e2e_probe
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh" --tests
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
[ "$(field Recommends)" = fonts-liberation2 ] || fail "Recommends is '$(field Recommends)'"
depends=$(field Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6; do
  tr ',' '\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$library" || fail "Depends lacks $library: $depends"
done
owners=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
[ -z "$owners" ] || fail "entries not owned by root: $owners"
apt-get -s install "$deb" >"$work/apt.log" 2>&1 || fail "apt cannot install it here: $(cat "$work/apt.log")"

# lintian finds no error and no warning. Its info tags pass only when named
# here, with the reason they are accepted.
declare -A accepted_info=(
  [binary-has-unneeded-section]="cpack strips with plain 'strip', which leaves the compiler's .comment note"
  [package-contains-documentation-outside-usr-share-doc]="the web edition's page is a program that opens in a browser, not documentation"
)
lintian --fail-on none --display-info --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>"$work/lintian.err" ||
  fail "lintian could not check the package: $(cat "$work/lintian.err")"
cat "$work/lintian.txt"
# lintian reads the machine code's short immediate strings as words: the
# compiler loads " without" or " more" eight bytes at a time, and the byte of
# the next instruction that follows them makes "withoutH" or "mor". Those
# words, and only those, pass its spelling check.
accepted_spelling=(withoutH mor)
while read -r kind _ tag word _; do
  if [ "$kind" = I: ] && [ "$tag" = spelling-error-in-binary ]; then
    printf '%s\n' "${accepted_spelling[@]}" | grep -qxF "$word" || fail "lintian: $kind $tag $word"
    continue
  fi
  [ "$kind" = I: ] && [ -n "${accepted_info[$tag]+named}" ] || fail "lintian: $kind $tag"
done <"$work/lintian.txt"

# The same sources give the same package: every time stamp in it is the date
# of the sources (the last commit's), the installed files are in sorted
# order, and a second cpack writes the same bytes.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
stamp=$(TZ=UTC date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
for part in ctrl fsys; do
  dpkg-deb "--$part-tarfile" "$deb" | TZ=UTC tar -tv --full-time >"$work/$part.txt"
  stray=$(awk -v stamp="$stamp" '$4 " " $5 != stamp' "$work/$part.txt")
  [ -z "$stray" ] || fail "$part archive: times other than $stamp: $stray"
done
awk '{print $6}' "$work/fsys.txt" | LC_ALL=C sort -c || fail "the files are not in sorted order"
mv "$deb" "$work/first.deb"
sleep 1
(cd "$build" && cpack -G DEB >/dev/null) || fail "the second cpack -G DEB failed"
cmp -s "$work/first.deb" "$deb" || fail "a second cpack gave another package: $(sha256sum "$work/first.deb" "$deb")"

# The layout on the target machine.
target="$work/root"
dpkg-deb -x "$deb" "$target"
usr="$target/usr"
app_id=com.ostrelwerk.Capacimo
binaries=(lib/capacimo/Capacimo lib/capacimo/capacimo-calc lib/capacimo/DLLs/cp_ktv00xa.so)
for file in "${binaries[@]}" share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$app_id.svg share/man/man1/capacimo-calc.1.gz share/man/man1/capacimo.1.gz \
  share/doc/capacimo/copyright share/doc/capacimo/changelog.gz share/doc/capacimo/README.md; do
  [ -f "$usr/$file" ] && [ ! -L "$usr/$file" ] || fail "no file usr/$file"
done

# Built with Debian's hardening flags: stack protector, fortified functions,
# relro and immediate binding (the compiler's own PIE included).
for binary in "${binaries[@]}"; do
  hardening-check --nocfprotection "$usr/$binary" >"$work/hardening.txt" ||
    fail "usr/$binary is not hardened: $(cat "$work/hardening.txt")"
done

# The changelog names the package's version and the date of the sources.
zcat "$usr/share/doc/capacimo/changelog.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
  fail "the changelog's version is not $version: $(cat "$work/changelog")"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Timestamp)" = "$epoch" ] ||
  fail "the changelog's date is not the sources' ($stamp): $(cat "$work/changelog")"
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
grep -q "<release version=\"$version\" date=\"${stamp% *}\"/>" "$metainfo" ||
  fail "the metadata's release is not $version of ${stamp% *}: $(grep '<release ' "$metainfo")"
# The screenshot it names is the one the build rendered, in the package.
screenshot=$(sed -n 's|.*<image>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo")
file "$usr/share/doc/capacimo/$screenshot" | grep -q 'PNG image data' ||
  fail "the screenshot '$screenshot' is not in the package"

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
