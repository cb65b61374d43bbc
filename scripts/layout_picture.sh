#!/usr/bin/env bash
# Draws who links whom among the product's libraries and programs, as the
# README's Layout section shows it, from the configured build's own link graph
# (BUILD_DIR/layout.txt, written by cmake/layout.cmake):
#   scripts/layout_picture.sh [BUILD_DIR]      (build-test by default)
# Programs first, then the libraries by the most of Qt they reach (Widgets,
# Gui, Core, none), each above the ones it links; beside each, what it links
# itself, and in brackets what it links from outside the tree but Qt.
# scripts/check_layout.sh fails when the README's picture is not this one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
layout="${1:-$root/build-test}/layout.txt"
[ -f "$layout" ] || { echo "layout_picture: $layout is missing: configure the build first" >&2; exit 2; }

awk -F'\t' '
  # The product: what is built outside the folders of tests and tools.
  $1 == "target" && $4 !~ /^(tests|bench|fuzz|tools|packaging)(\/|$)/ {
    kind[$2] = $3; folder[$2] = $4; order[++count] = $2 }
  $1 == "LINK_LIBRARIES" { for (i = 3; i <= NF; ++i) links[$2] = links[$2] " " $i }
  function shown(t) { sub(/^capacimo_/, "", t); gsub(/_/, " ", t); return t }
  function outside(t) { sub(/::.*/, "", t); gsub(/_/, "-", t); return t }
  function program(t) { return kind[t] == "EXECUTABLE" || kind[t] == "MODULE_LIBRARY" }
  # The Qt a target reaches through everything it links: 3 Widgets, 2 Gui, 1 Core, 0 none.
  function qt(t,    n, names, i, best, q) {
    if (t in level) return level[t]
    level[t] = 0
    n = split(links[t], names, " ")
    for (i = 1; i <= n; ++i) {
      q = names[i] == "Qt6::Widgets" ? 3 : names[i] == "Qt6::Gui" ? 2 : names[i] == "Qt6::Core" ? 1 : \
          (names[i] in kind) ? qt(names[i]) : 0
      if (q > best) best = q
    }
    return level[t] = best
  }
  # The longest way down from a target to a library that links none of the tree.
  function height(t,    n, names, i, h, best) {
    if (t in tall) return tall[t]
    n = split(links[t], names, " ")
    for (i = 1; i <= n; ++i)
      if (names[i] in kind && (h = height(names[i]) + 1) > best) best = h
    return tall[t] = best
  }
  END {
    label[4, 1] = "programs"; label[3, 1] = "Qt Widgets"; label[2, 1] = "Qt Gui"; label[1, 1] = "Qt Core"
    label[0, 1] = "standard"; label[0, 2] = "library only"
    for (tier = 4; tier >= 0; --tier) {
      rows = 0
      for (i = 1; i <= count; ++i) {
        t = order[i]
        if ((program(t) ? 4 : qt(t)) != tier) continue
        row[++rows] = t
      }
      # Taller first (a library above the ones it links), then by name.
      for (i = 2; i <= rows; ++i)
        for (j = i; j > 1; --j) {
          a = row[j - 1]; b = row[j]
          if (height(a) > height(b) || (height(a) == height(b) && shown(a) <= shown(b))) break
          row[j - 1] = b; row[j] = a
        }
      if ((tier, 2) in label && rows < 2) row[++rows] = ""
      for (i = 1; i <= rows; ++i) {
        t = row[i]
        name = t == "" ? "" : program(t) ? t " (" folder[t] "/)" : shown(t)
        mine = ""; theirs = ""
        n = split(links[t], names, " ")
        for (k = 1; k <= n; ++k) {
          if (names[k] in kind) mine = mine (mine == "" ? "" : ", ") shown(names[k])
          else if (names[k] !~ /^Qt6::/) theirs = theirs (theirs == "" ? "" : ", ") outside(names[k])
        }
        if (theirs != "") mine = mine " (+ " theirs ")"
        line = sprintf(" %-14s%s", label[tier, i], name)
        if (mine != "") {
          line = line " "
          for (k = length(name) + 1; k < 28; ++k) line = line "─"
          line = line "▶ " mine
        }
        print line
      }
    }
  }' "$layout"
