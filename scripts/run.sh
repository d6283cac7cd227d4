#!/usr/bin/env bash
# Builds the tool and the instrument simulator, starts the simulator on loopback and opens the
# window on it over TCP. Everything lives in build/demo, so a netsetup.ini of your own is never
# touched; the simulated instrument keeps its memory in build/demo/instrument.mem.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target netsetup netsetup-sim

demo="$root/build/demo"
mkdir -p "$demo"
cp -f build/src/window/qt/netsetup "$demo/netsetup"

endpoints="$demo/endpoints"
rm -f "$endpoints"
build/tools/sim/netsetup-sim --tcp 127.0.0.1:0 --pty "$demo/vrn-pty" --state "$demo/instrument.mem" \
  --log "$demo/sim.log" >"$endpoints" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^pty ' "$endpoints" 2>/dev/null && break
  kill -0 "$sim" 2>/dev/null || { echo "run: the simulator did not start; see $demo/sim.log" >&2; exit 1; }
  sleep 0.05
done
port=$(sed -n 's/^tcp 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$endpoints")
echo "run: simulated VRN-207K on TCP 127.0.0.1:$port and on the serial port COM1 ($demo/vrn-pty)"
echo "run: its transcript goes to $demo/sim.log"

# The window reaches the simulator over TCP; "Serial Port" opens COM1, its pseudo-terminal.
printf '[#]\r\nPort=0\r\nBaud=0\r\nUseIP=1\r\nSockIP=127.0.0.1\r\nSockPort=%s\r\n[Ports]\r\nCOM1=%s\r\n' \
  "$port" "$demo/vrn-pty" >"$demo/netsetup.ini"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "run: no display to open the window on (DISPLAY is not set)." >&2
  echo "run: on a machine without one, try: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
"$demo/netsetup"
