#!/usr/bin/env bash
# netsetup-cli.exe in a console, as an engineer on a Russian Windows sees it: wine given a
# pseudo-terminal by script(1) runs the program in a console, whose text reaches the terminal as
# UTF-8. A Cyrillic server name read from the simulator, a Cyrillic path and Windows' own
# (Russian) error text must come through intact under the console code pages 866, 1251 and
# 65001; the same output to a file is UTF-8 bytes.
# Usage: console.sh NETSETUP_CLI_EXE NETSETUP_SIM   (a Windows build's wine prefix in WINEPREFIX)
set -uo pipefail
usage="usage: console.sh NETSETUP_CLI_EXE NETSETUP_SIM"
exe=${1:?$usage}
sim=${2:?$usage}
for tool in script localedef wine; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh windows)" >&2; exit 1; }
done

work=$(mktemp -d)
sim_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Wine's messages follow the Linux locale: a Russian one, made here, gives Windows' Russian texts.
localedef -i ru_RU -f UTF-8 "$work/ru_RU.UTF-8" 2>/dev/null || { echo "FAIL: localedef ru_RU.UTF-8" >&2; exit 1; }
russian() { env -u LANG -u LANGUAGE LOCPATH="$work" LC_ALL=ru_RU.UTF-8 "$@"; }

"$sim" --tcp 127.0.0.1:0 --quiet >"$work/endpoints" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
  grep -q '^tcp ' "$work/endpoints" && break
  sleep 0.05
done
link="--tcp $(sed -n 's/^tcp //p' "$work/endpoints")"
[[ $link != "--tcp " ]] || { echo "FAIL: the simulator did not start: $(cat "$work/sim.err")" >&2; exit 1; }

server="сервер.рф"
russian wine "$exe" $link write --set "server=$server" --backup-dir "Z:$work" >"$work/write.out" 2>&1 ||
  { echo "FAIL: setting the server name: $(cat "$work/write.out")" >&2; exit 1; }

missing='Z:\tmp\нет-такой-папки\файл.txt'
# What each row's output must hold, exactly as these UTF-8 bytes.
expected_lines=(
  "server       $server"
  "netsetup-cli: cannot write $missing: Путь не найден"
)
for page in 866 1251 65001; do
  # In a console: cmd sets the code page, then runs the program twice (a read, a refused output).
  russian script -qec "wine cmd /c 'chcp $page >nul & Z:$exe $link read & Z:$exe $link read --output $missing'" \
    /dev/null </dev/null >"$work/console-$page" 2>&1
  for line in "${expected_lines[@]}"; do
    grep -aqF -- "$line" "$work/console-$page" ||
      fail "code page $page: '$line' not shown; the console showed: $(tr -d '\r' <"$work/console-$page")"
  done
done

# To a file and a pipe: UTF-8, untouched by any console.
russian wine "$exe" $link read >"$work/file.out" 2>/dev/null
grep -qF -- "server       $server" "$work/file.out" || fail "the file holds: $(cat "$work/file.out")"
piped=$(russian wine "$exe" $link read --output "$missing" 2>&1 >/dev/null | cat)
[[ $piped == *"${expected_lines[1]}"* ]] || fail "the error through a pipe: $piped"

# Windows programs answer /? with their help.
help=$(wine "$exe" '/?' 2>&1 | head -1)
[[ $help == "netsetup-cli: read and change"* ]] || fail "/? shows: $help"
[[ $failures == 0 ]] || exit 1
echo "console: Cyrillic and Windows' error text intact under 866, 1251 and 65001, and in a file"
