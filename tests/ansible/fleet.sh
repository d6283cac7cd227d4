# Sourced by tests/ansible/run.sh and bench/ansible.sh: simulated instruments for the playbook
# example, and an inventory naming them. Needs $sim (netsetup-sim) and $work (a folder).

fleet_pids=()

# Starts one simulator with ARGS; sim_endpoint is what it serves: "127.0.0.1:PORT", or the
# pseudo-terminal's link. (Not in a subshell: the simulator's process id is kept here.)
start_sim() {
  local out="$work/sim-$(( ${#fleet_pids[@]} + 1 )).out" line
  "$sim" --quiet "$@" >"$out" 2>&1 &
  fleet_pids+=($!)
  for _ in $(seq 200); do
    line=$(grep -m1 -E '^(tcp|pty) ' "$out" || true)
    if [[ -n "$line" ]]; then
      sim_endpoint=$(awk '{print $2}' <<<"$line")
      return
    fi
    kill -0 "${fleet_pids[-1]}" 2>/dev/null || break
    sleep 0.02
  done
  echo "the simulator did not start: $(cat "$out")" >&2
  return 1
}

stop_sims() {
  local pid
  for pid in "${fleet_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${fleet_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  fleet_pids=()
}

# An inventory of COUNT instruments on TCP, t01.., each with its own state file and address
# 10.0.0.N, in group "instruments"; extra lines (a pseudo-terminal's host) come on stdin. The
# simulators take $sim_options as well (a delay, say).
write_inventory() {
  local count=$1 i
  {
    echo "[instruments]"
    for i in $(seq -w 1 "$count"); do
      # shellcheck disable=SC2086  # the options are words
      start_sim --tcp 127.0.0.1:0 --state "$work/state-t$i" ${sim_options:-}
      echo "t$i instrument_tcp=$sim_endpoint instrument_ip=10.0.0.$((10#$i))"
    done
    cat
    printf '\n[instruments:vars]\nansible_connection=local\nansible_python_interpreter=/usr/bin/python3\n'
  } >"$work/inventory.ini"
}
