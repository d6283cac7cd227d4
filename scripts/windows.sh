#!/usr/bin/env bash
# Builds the 32-bit Windows programs (build-windows/src/window/win32/netsetup.exe, ...) with
# mingw-w64. `scripts/windows.sh run` then opens netsetup.exe under wine on a simulated
# instrument, as scripts/run.sh does for the Linux window: over TCP, with COM5 mapped to the
# simulator's pseudo-terminal. Installs what it needs on the first run (about 400 MB).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh windows
cmake --preset windows >/dev/null
cmake --build --preset windows --target netsetup
exe="$root/build-windows/src/window/win32/netsetup.exe"
echo "windows: built $exe"
[[ "${1:-}" == run ]] || exit 0

cmake --preset default >/dev/null
cmake --build --preset default --target netsetup-sim
scripts/wine.sh build-windows
demo="$root/build-windows/demo"
mkdir -p "$demo"
cp -f "$exe" "$demo/netsetup.exe"
bash tests/support/win32-sim.sh start "$root/build/tools/sim/netsetup-sim" "$root/build-windows/sim" >/dev/null
trap 'bash tests/support/win32-sim.sh stop "$root/build-windows/sim"' EXIT
port=$(sed -n 's/^tcp 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$root/build-windows/sim/endpoints")
echo "windows: simulated VRN-207K on TCP 127.0.0.1:$port and on COM5; transcript in build-windows/sim/sim.log"
# Port index 4 is COM5; "Serial Port" switches the window to it.
printf '[#]\r\nPort=4\r\nBaud=0\r\nUseIP=1\r\nSockIP=127.0.0.1\r\nSockPort=%s\r\n' "$port" >"$demo/netsetup.ini"
if [[ -z "${DISPLAY:-}" ]]; then
  echo "windows: no display to open the window on; try: xvfb-run -a scripts/windows.sh run" >&2
  exit 1
fi
WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all wine "$demo/netsetup.exe"
