#!/usr/bin/env bash
# Makes a Windows build folder's wine prefix ready for the tests: a 32-bit prefix inside the
# build folder (never in the user's home), wine's own fonts where wine looks for them, COM5
# mapped to the simulator's pseudo-terminal, and a wineserver already running with its output
# sent away, since a wineserver that ctest starts keeps ctest's output pipe open for seconds.
set -euo pipefail
build=$(cd "${1:?usage: wine.sh BUILD_FOLDER}" && pwd)
export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d

if [[ ! -f "$WINEPREFIX/.netsetup-ready" ]]; then
  mkdir -p "$build/sim"
  (unset DISPLAY; wineboot --init) </dev/null >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -f /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # A hand-made dosdevices link does not survive wine's start; the registry entry does.
  wine reg add 'HKLM\Software\Wine\Ports' /v COM5 /d "$build/sim/vrn-pty" /f </dev/null >/dev/null 2>&1
  wineserver -k </dev/null >/dev/null 2>&1 || true
  touch "$WINEPREFIX/.netsetup-ready"
fi
wineserver -p </dev/null >/dev/null 2>&1 || true  # already running: fine
wine cmd /c exit </dev/null >/dev/null 2>&1
