#!/usr/bin/env bash
# Starts or stops the Linux netsetup-sim for the Windows tests under wine: TCP on a free loopback
# port, and a pseudo-terminal at SIMDIR/vrn-pty, which the wine prefix maps to COM5. The tests
# read SIMDIR/endpoints ("tcp 127.0.0.1:PORT" and "pty ..." lines).
set -euo pipefail
case "${1:-}" in
  start)
    sim=${2:?netsetup-sim}; dir=${3:?folder}
    mkdir -p "$dir"
    [[ -f "$dir/pid" ]] && kill "$(cat "$dir/pid")" 2>/dev/null || true
    rm -f "$dir/endpoints" "$dir/pid"
    "$sim" --tcp 127.0.0.1:0 --pty "$dir/vrn-pty" --log "$dir/sim.log" >"$dir/endpoints.tmp" 2>>"$dir/sim.err" &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
      grep -q '^pty ' "$dir/endpoints.tmp" 2>/dev/null && break
      kill -0 "$(cat "$dir/pid")" 2>/dev/null || { echo "the simulator did not start:" >&2; cat "$dir/sim.err" >&2; exit 1; }
      sleep 0.05
    done
    mv "$dir/endpoints.tmp" "$dir/endpoints"
    cat "$dir/endpoints"
    ;;
  stop)
    dir=${2:?folder}
    [[ -f "$dir/pid" ]] && kill "$(cat "$dir/pid")" 2>/dev/null || true
    rm -f "$dir/pid"
    ;;
  *)
    echo "usage: win32-sim.sh start NETSETUP_SIM FOLDER | stop FOLDER" >&2
    exit 2
    ;;
esac
