#!/usr/bin/env bash
# Fails when two paths of the tree differ only by case: Windows and macOS check out one of them.
#   tests/tree/case-clash.sh SOURCE_DIR
set -euo pipefail
cd "$1"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  paths=$(git ls-files)
else
  paths=$(find . -path ./.git -prune -o -path './build*' -prune -o -type f -print | sed 's|^\./||')
fi
# Folders clash too: a/B/x and a/b/y land in one folder on those systems.
prefixes=$(printf '%s\n' "$paths" | awk -F/ '{ p = ""; for (i = 1; i <= NF; i++) { p = p (i > 1 ? "/" : "") $i; print p } }' | sort -u)
clashes=$(printf '%s\n' "$prefixes" | sort -f | uniq -Di)
if [[ -n "$clashes" ]]; then
  echo "paths that differ only by case (Windows and macOS keep one of each):"
  printf '%s\n' "$clashes" | sed 's/^/  /'
  exit 1
fi
echo "no two paths differ only by case ($(printf '%s\n' "$paths" | wc -l) files)"
