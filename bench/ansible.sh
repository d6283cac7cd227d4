#!/usr/bin/env bash
# The example playbook (each instrument brought to its values, then read back for the report)
# against COUNT (default 50) simulated instruments on TCP loopback, with forks 1 and forks 10:
# the wall time of a run that writes every instrument (a new server port each time) and of a
# second one that finds nothing to change. Needs build/ and ansible-core (scripts/setup.sh
# ansible).
#   bench/ansible.sh [COUNT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-50}
sim=$root/build/tools/sim/netsetup-sim
work=$(mktemp -d)
source "$root/tests/ansible/fleet.sh"
trap 'stop_sims; rm -rf "$work"' EXIT
export ANSIBLE_COLLECTIONS_PATH=$root/ansible/collections ANSIBLE_LOCAL_TEMP=$work/tmp ANSIBLE_REMOTE_TMP=$work/tmp

write_inventory "$count" </dev/null
cp "$root/ansible/collections/ansible_collections/netsetup/instrument/examples/playbook.yml" "$work/"
mkdir -p "$work/group_vars"
printf 'instrument_cli: %s\ninstrument_backup_dir: %s\ninstrument_log: %s\ninstrument_report: %s\ninstrument_mask: 255.255.0.0\n' \
  "$root/build/netsetup-cli" "$work/backups" "$work/writes.jsonl" "$work/report.csv" >"$work/group_vars/instruments.yml"

# Seconds the run took; a host that did not end ok fails the bench.
timed_run() {
  local start end
  start=$(date +%s.%N)
  ansible-playbook -i "$work/inventory.ini" "$work/playbook.yml" "$@" >"$work/out" 2>&1 ||
    { cat "$work/out" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { print e - s }'
}

printf '%-8s %-10s %s\n' forks run seconds
for forks in 1 10; do
  printf '%-8s %-10s %.1f\n' "$forks" writes "$(timed_run --forks "$forks" -e "instrument_server_port=$((9100 + forks))")"
  printf '%-8s %-10s %.1f\n' "$forks" unchanged "$(timed_run --forks "$forks" -e "instrument_server_port=$((9100 + forks))")"
done
echo "($count instruments on TCP loopback, $(nproc) cores)"
