#!/usr/bin/env bash
# Fails when a library links itself round a circle, when a file includes from
# a library that its own does not link, or a Qt header of a module its library
# does not link (so a library that links no Qt includes no Qt header at all),
# and when the README's picture of who links whom is not the build's. The
# libraries, their files and who links whom come from the configured build
# (cmake/layout.cmake writes them into BUILD_DIR/layout.txt), so that the link
# graph is said once, in CMake.
#   scripts/check_layout.sh [BUILD_DIR]      (build-test by default)
# A header a file includes must be listed in its library's sources.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build-test}" 2>/dev/null && pwd)" || build="${1:-$root/build-test}"
layout="$build/layout.txt"
if [ ! -f "$layout" ]; then
  echo "check_layout: $layout is missing: configure the build first (cmake -S . -B ${1:-build-test})" >&2
  exit 2
fi

declare -A owners links passes include_dirs qt_dir reach
tree=""
while IFS=$'\t' read -r kind name rest; do
  case "$kind" in
    root) tree="$name" ;;
    source) owners["$rest"]+="$name " ;;
    LINK_LIBRARIES) links["$name"]="${rest//$'\t'/ }" ;;
    INTERFACE_LINK_LIBRARIES) passes["$name"]="${rest//$'\t'/ }" ;;
    INCLUDE_DIRECTORIES) include_dirs["$name"]="$rest" ;;
    qt) qt_dir["$name"]="$rest" ;;
  esac
done <"$layout"

# What a target may include from: itself, what it links, and what those pass on.
reachable() {
  local target="$1" next
  [ -n "${reach[$target]:-}" ] && return
  local seen=" $target " queue more
  read -r -a queue <<<"${links[$target]:-}"
  while [ ${#queue[@]} -gt 0 ]; do
    next="${queue[0]}"
    queue=("${queue[@]:1}")
    [[ "$seen" == *" $next "* ]] && continue
    seen+="$next "
    read -r -a more <<<"${passes[$next]:-}"
    queue+=("${more[@]}")
  done
  reach["$target"]="$seen"
}

# The Qt module whose headers hold <name>, among those given, or nothing.
qt_module_of() {
  local name="$1" module dir
  shift
  for module in "$@"; do
    dir="${qt_dir[$module]:-}"
    [ -n "$dir" ] || continue
    if [ -e "$dir/$name" ] || [[ "$name" == "$(basename "$dir")/"* && -e "$(dirname "$dir")/$name" ]]; then
      echo "$module"
      return
    fi
  done
}

problems=()
for file in "${!owners[@]}"; do
  [ -f "$file" ] || continue
  here="$(dirname "$file")"
  shown="${file#"$tree"/}"
  includes="$(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$file" || true)"
  [ -n "$includes" ] || continue
  for target in ${owners[$file]}; do
    reachable "$target"
    allowed="${reach[$target]}"
    IFS=$'\t' read -r -a dirs <<<"${include_dirs[$target]:-}"
    while IFS= read -r line; do
      number="${line%%:*}"
      text="${line#*:}"
      if [[ "$text" =~ \<(Q[A-Za-z/._]*)\> ]]; then
        name="${BASH_REMATCH[1]}"
        # shellcheck disable=SC2086
        [ -n "$(qt_module_of "$name" $allowed)" ] && continue
        module="$(qt_module_of "$name" "${!qt_dir[@]}")"
        problems+=("$shown:$number: includes <$name> of ${module:-no Qt module this build knows}, which $target does not link")
        continue
      fi
      [[ "$text" =~ \"([^\"]+)\" ]] || continue
      name="${BASH_REMATCH[1]}"
      found=""
      for dir in "$here" "${dirs[@]}"; do
        if [ -f "$dir/$name" ]; then
          found="$(realpath -m "$dir/$name")"
          break
        fi
      done
      # Outside the tree (a library's), or written by the build (moc, version).
      [[ -n "$found" && "$found" == "$tree/"* && "$found" != "$build/"* ]] || continue
      if [ -z "${owners[$found]:-}" ]; then
        problems+=("$shown:$number: includes ${found#"$tree"/}, which no library lists in its sources")
        continue
      fi
      ok=""
      for owner in ${owners[$found]}; do
        [[ "$allowed" == *" $owner "* ]] && ok=1 && break
      done
      [ -n "$ok" ] && continue
      problems+=("$shown:$number: includes ${found#"$tree"/} of ${owners[$found]% }, which $target does not link")
    done <<<"$includes"
  done
done

# No circle: no library reaches itself through what it links, so that every
# library sits above the ones it uses.
for target in "${!links[@]}"; do
  seen=" "
  read -r -a queue <<<"${links[$target]}"
  while [ ${#queue[@]} -gt 0 ]; do
    next="${queue[0]}"
    queue=("${queue[@]:1}")
    if [ "$next" = "$target" ]; then
      problems+=("$target links itself through the libraries it links: a circle")
      break
    fi
    [[ "$seen" == *" $next "* ]] && continue
    seen+="$next "
    read -r -a more <<<"${links[$next]:-}"
    queue+=("${more[@]}")
  done
done

if [ ${#problems[@]} -gt 0 ]; then
  printf '%s\n' "${problems[@]}" | sort -u >&2
  echo "check_layout: ${#problems[@]} problems: a circle, or a file including from a library its own does" \
       "not link; link it in CMake, or move the piece it needs down into a library both link" >&2
  exit 1
fi

# The README's picture (the first block under "## Layout") is the one the
# build's graph draws: for a build of this tree, not of another one.
# (Drawn once the graph has no circle, which it could not draw.)
picture_ok=1
drawn="$("$root/scripts/layout_picture.sh" "$build")"
shown="$drawn"
if [ "$(cd "$tree" && pwd)" = "$root" ]; then
  shown="$(awk '/^## /{on = ($0 == "## Layout")} on && /^```/{if (inside) exit; inside = 1; next} inside' \
           "$root/README.md")"
fi
if [ "$drawn" != "$shown" ]; then
  echo "check_layout: README.md's picture under Layout is not the build's link graph (< README, > build);" \
       "put the output of scripts/layout_picture.sh there:" >&2
  diff <(echo "$shown") <(echo "$drawn") >&2 || true
  picture_ok=""
fi
[ -n "$picture_ok" ] || exit 1
echo "check_layout: ${#owners[@]} files include only from what their libraries link; the README draws the graph"
