#!/usr/bin/env bash
# Every function the shipped programs import, compared with the reviewed list imports.txt. wine runs
# a program that imports a function Windows 7 lacks, and Windows 7 refuses to start it, so a new
# import needs a look before it ships; an import that went away leaves the list, so it stays true.
# Usage: test-imports.sh OBJDUMP LIST PROGRAM.exe...
set -uo pipefail
objdump=${1:?usage: test-imports.sh OBJDUMP LIST PROGRAM.exe...}
list=${2:?usage: test-imports.sh OBJDUMP LIST PROGRAM.exe...}
shift 2
(($#)) || { echo "usage: test-imports.sh OBJDUMP LIST PROGRAM.exe..." >&2; exit 2; }

# "dll function" per import (the DLL in lower case, as Windows matches it); "dll #N" by ordinal.
imports() {
  local dump
  dump=$("$objdump" -p "$1") || { echo "test-imports: $objdump cannot read $1" >&2; return 1; }
  awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^[^ \t]/ { inside = 0 }
    inside && /^\tDLL Name:/ { dll = tolower($3); next }
    inside && dll != "" && /^\t[0-9a-f]+\t/ {
      if ($NF == "<none>") print dll, "#" $(NF - 1); else print dll, $NF
    }' <<<"$dump"
}

actual=
for exe in "$@"; do
  found=$(imports "$exe") || exit 1
  [[ -n $found ]] || { echo "test-imports: no imports found in $exe; has objdump's output changed?" >&2; exit 1; }
  actual+=$found$'\n'
done
actual=$(sort -u <<<"$actual" | sed '/^$/d')
reviewed=$(grep -v '^#' "$list" | sed '/^$/d' | LC_ALL=C sort -u)
actual=$(LC_ALL=C sort -u <<<"$actual")

added=$(comm -13 <(echo "$reviewed") <(echo "$actual"))
gone=$(comm -23 <(echo "$reviewed") <(echo "$actual"))
status=0
if [[ -n $added ]]; then
  echo "FAIL: the programs import functions that $list does not list:" >&2
  sed 's/^/  /' <<<"$added" >&2
  echo "Check that each exists on Windows 7 (its documented minimum), then add it to $list." >&2
  status=1
fi
if [[ -n $gone ]]; then
  echo "FAIL: $list lists imports the programs no longer have; remove them from the list:" >&2
  sed 's/^/  /' <<<"$gone" >&2
  status=1
fi
((status)) || echo "test-imports: $(wc -l <<<"$actual") imports of $# programs, all reviewed"
exit $status
