#!/usr/bin/env bash
# bench_actions on both lines: the simulator on a pseudo-terminal that paces its answers at RATE
# (default 115200), and on TCP loopback, unpaced. `windows` runs the Windows build's
# bench_actions.exe under wine instead, with COM7 of the build's wine prefix mapped to that
# pseudo-terminal (as scripts/wine.sh maps COM5 for the tests). Needs the builds: build/ for the
# simulator and, for Linux, the bench; build-windows/ for the Windows bench.
#   bench/actions.sh [linux|windows] [RUNS] [RATE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-linux} runs=${2:-20} rate=${3:-115200}
sim=$root/build/tools/sim/netsetup-sim
folder=$root/build/bench/actions-sim
[[ "$what" == windows ]] && folder=$root/build-windows/bench/actions-sim
mkdir -p "$folder"
pty=$folder/vrn-pty

"$sim" --pty "$pty" --baud "$rate" --quiet >"$folder/pty.out" 2>&1 &
paced=$!
"$sim" --tcp 127.0.0.1:0 --quiet >"$folder/tcp.out" 2>&1 &
unpaced=$!
trap 'kill $paced $unpaced 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^pty ' "$folder/pty.out" && grep -q '^tcp ' "$folder/tcp.out" && break
  sleep 0.05
done
tcp=$(sed -n 's/^tcp //p' "$folder/tcp.out")

case "$what" in
  linux)
    bench=$root/build/bench/bench_actions
    echo "== Linux, serial (pseudo-terminal paced at $rate baud)"
    "$bench" serial "$pty" "$runs" --baud "$rate"
    echo "== Linux, TCP on loopback"
    "$bench" tcp "$tcp" "$runs"
    ;;
  windows)
    export WINEPREFIX=$root/build-windows/wineprefix WINEDEBUG=-all
    "$root/scripts/wine.sh" "$root/build-windows"
    if ! grep -qF "$pty" "$WINEPREFIX/system.reg"; then
      # A new port mapping is read when wine starts.
      wine reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$pty" /f </dev/null >/dev/null 2>&1
      wineserver -k </dev/null >/dev/null 2>&1 || true
      "$root/scripts/wine.sh" "$root/build-windows"
    fi
    bench=$root/build-windows/bench/bench_actions.exe
    echo "== Windows under wine, serial (COM7: a pseudo-terminal paced at $rate baud)"
    wine "$bench" serial COM7 "$runs" --baud "$rate" </dev/null
    echo "== Windows under wine, TCP on loopback"
    wine "$bench" tcp "$tcp" "$runs" </dev/null
    ;;
  *)
    echo "usage: bench/actions.sh [linux|windows] [RUNS] [RATE]" >&2
    exit 2
    ;;
esac
