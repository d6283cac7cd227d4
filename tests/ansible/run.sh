#!/usr/bin/env bash
# The settings module of the Ansible collection, through the example playbook, against ten
# simulated instruments on TCP, one on a pseudo-terminal and one that never answers, run in
# parallel: each row of the table is one playbook run and what it must come to.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: run.sh BUILD_FOLDER}" && pwd)
sim=$build/tools/sim/netsetup-sim
command -v ansible-playbook >/dev/null || { echo "ansible-playbook is missing: scripts/setup.sh ansible" >&2; exit 1; }
work=$(mktemp -d)
source "$root/tests/ansible/fleet.sh"
trap 'stop_sims; [[ -n "${KEEP:-}" ]] || rm -rf "$work"' EXIT

collection=$root/ansible/collections/ansible_collections/netsetup/instrument
export ANSIBLE_COLLECTIONS_PATH=$root/ansible/collections ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 \
  ANSIBLE_LOCAL_TEMP=$work/tmp ANSIBLE_REMOTE_TMP=$work/tmp ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3
password='Pw-district-7'

# The program as the module runs it, noting when each run starts and ends; each run lingers a
# moment first, so that runs Ansible started together overlap however loaded the machine is.
cat >"$work/cli" <<WRAP
#!/bin/sh
echo start >>"$work/calls"
sleep 1
"$build/netsetup-cli" "\$@"
rc=\$?
echo end >>"$work/calls"
exit \$rc
WRAP
chmod +x "$work/cli"

start_sim --pty "$work/pty" --state "$work/state-p1"
pty=$sim_endpoint
start_sim --tcp 127.0.0.1:0 --silent
write_inventory 10 <<<"p1 instrument_serial=$pty instrument_ip=10.0.1.1
silent instrument_tcp=$sim_endpoint instrument_ip=10.0.2.1"
# The example playbook with the test's own group_vars beside it (the example's are for reading).
cp "$collection/examples/playbook.yml" "$work/"
mkdir -p "$work/group_vars"
cat >"$work/group_vars/instruments.yml" <<VARS
instrument_cli: $work/cli
instrument_backup_dir: $work/backups
instrument_mask: 255.255.0.0
instrument_dhcp: false
instrument_server: hub.example.org
instrument_server_port: 9100
instrument_apn: district
instrument_auth: chap
instrument_password: $password
instrument_report: $work/report.csv
instrument_log: $work/writes.jsonl
VARS

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
memory() { { cat "$work"/state-* 2>/dev/null || true; } | md5sum; }

# name | ansible-playbook options | hosts changed | hosts failed | instrument memory | text the output holds
cases=(
  "a first look|--check --diff|11|1|kept|+ip: 10.0.0.7"
  "the rollout|--forks 12|11|1|written|no valid answer to the identification request"
  "a second identical run|--forks 12|0|1|kept|changed=0    unreachable=0    failed=0"
  "a new server port, looked at|--check --diff -e instrument_server_port=9200|11|1|kept|+server_port: 9200"
  "the same run, every detail shown|-vvv --forks 12|0|1|kept|no valid answer to the identification request"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name options changed failed memory_after says <<<"$row"
  failed_before=$failures
  before=$(memory)
  : >"$work/calls"
  # shellcheck disable=SC2086  # the options are words
  ansible-playbook -i "$work/inventory.ini" "$work/playbook.yml" $options >"$work/out" 2>&1 || true
  recap=$(sed -n '/PLAY RECAP/,$p' "$work/out")
  got_changed=$(grep -cE 'changed=[1-9]' <<<"$recap" || true)
  got_failed=$(grep -c 'failed=1' <<<"$recap" || true)
  [[ "$got_changed $got_failed" == "$changed $failed" ]] ||
    fail "$name: $got_changed hosts changed and $got_failed failed, not $changed and $failed"$'\n'"$(cat "$work/out")"
  grep -q '^silent .*failed=1' <<<"$recap" || fail "$name: the silent instrument did not fail"
  grep -qF -- "$says" "$work/out" || fail "$name: the output does not hold '$says'"
  ! grep -qF -- "$password" "$work/out" || fail "$name: the password is in the output"
  [[ $(memory) == "$before" ]] && now=kept || now=written
  [[ $now == "$memory_after" ]] || fail "$name: the instruments' memory was $now, not $memory_after"
  # Runs overlap: some run starts before another has ended.
  concurrent=$(awk '/start/ {n++; if (n > max) max = n} /end/ {n--} END {print max + 0}' "$work/calls")
  ((concurrent > 1)) || fail "$name: the instruments were done one at a time"
  ((failures > failed_before)) || echo "ok: $name"
done

# What the rollout stored, read back from one instrument on TCP and the one on the terminal.
"$build/netsetup-cli" --serial "$pty" read --format json | grep -qF '"ip": "10.0.1.1", "mask": "255.255.0.0"' ||
  fail "the pseudo-terminal's instrument does not hold its values"
ls "$work"/backups/t01-backup-a1-127.0.0.1_*.txt >/dev/null || fail "no backup named after its host in the folder"
grep -q '^t01,VRN-207K,10.0.0.1,255.255.0.0,' "$work/report.csv" || fail "the report lacks t01"$'\n'"$(cat "$work/report.csv")"
(($(grep -c '"name": "t' "$work/writes.jsonl") == 10)) || fail "the log of writes does not hold the ten rollout writes"
! grep -qF -- "$password" "$work/writes.jsonl" "$work/report.csv" || fail "the password is in the log or the report"
for module in settings settings_info restore; do
  ansible-doc "netsetup.instrument.$module" | grep -q 'check_mode' || fail "ansible-doc does not show $module's attributes"
done
! ansible-doc netsetup.instrument.settings | grep -qF 'O(' || fail "ansible-doc shows markup 2.14 does not render"

# Single tasks on the first instrument, as a play would run them: module | its arguments |
# check mode (--check or nothing) | exit status | text the output holds. {t01} is its link,
# {b} the backup the rollout saved of it.
t01=$(awk '/^t01 / {sub("instrument_tcp=", "", $2); print $2}' "$work/inventory.ini")
saved=$(ls "$work"/backups/t01-backup-a1-*.txt | head -1)
touch "$work/a-file"
tasks=(
  "settings|tcp={t01} port=10009 backup_dir=$work/a-file/sub||2|cannot make the folder $work/a-file: a file of that name is in the way"
  "settings|tcp={t01} port=10009 backup_dir=$work/never/made|--check|0|\"changed\": true"
  "restore|tcp={t01} backup={b}|--check --diff|0|+ip: 192.168.0.10"
  "restore|tcp=127.0.0.1:1 backup={b}||2|Give --force to restore it here"
  "restore|tcp={t01} backup={b} backup_dir=relative-backups||0|\"backup\": \"$work/relative-backups/"
  "settings_info|tcp={t01}||0|\"ip\": \"192.168.0.10\""
)
for row in "${tasks[@]}"; do
  IFS='|' read -r module arguments mode status says <<<"$row"
  arguments=${arguments//\{t01\}/$t01}
  arguments=${arguments//\{b\}/$saved}
  before=$(memory)
  # shellcheck disable=SC2086  # the mode is words
  got=0
  (cd "$work" && ansible localhost -c local -m "netsetup.instrument.$module" -a "cli=$build/netsetup-cli $arguments" \
    $mode >"$work/out" 2>&1) || got=$?
  [[ $got == "$status" ]] || fail "$module $arguments $mode: exit $got, not $status"$'\n'"$(cat "$work/out")"
  grep -qF -- "$says" "$work/out" || fail "$module $arguments $mode: the output does not hold '$says'"$'\n'"$(cat "$work/out")"
  ! grep -q 'MODULE FAILURE\|Traceback' "$work/out" || fail "$module $arguments: a traceback"$'\n'"$(cat "$work/out")"
  if [[ $mode == --check* || $status != 0 ]]; then
    [[ $(memory) == "$before" ]] || fail "$module $arguments $mode: the instrument was written"
  fi
done
[[ ! -e "$work/never" ]] || fail "check mode made the backup folder"
# Stopped from outside while the programs still read their instruments (which answer slowly):
# by the task's time-out, and by an interrupt to ansible-playbook alone. Neither ends the
# module's process, only the worker that waits for it; afterwards nothing may be written and
# no program may be left running. The programs here are a copy, so that other tests' runs of
# the same program are not counted.
mkdir -p "$work/bin"
cp "$build/netsetup-cli" "$work/bin/netsetup-cli"
cat >"$work/cli-copy" <<WRAP
#!/bin/sh
echo start >>"$work/calls"
sleep 1
exec "$work/bin/netsetup-cli" "\$@"
WRAP
chmod +x "$work/cli-copy"
sed 's/^      netsetup.instrument.settings:/      timeout: "{{ instrument_task_timeout | default(0) }}"\n&/' \
  "$work/playbook.yml" >"$work/stoppable.yml"
stopped() {  # name, then what stops the run
  local name=$1 how=$2 says=$3 pid failed_before=$failures
  stop_sims
  rm -f "$work"/state-*
  sim_options="--delay 400" write_inventory 3 </dev/null
  memory >"$work/before"
  : >"$work/calls"
  if [[ $how == timeout ]]; then
    ansible-playbook -i "$work/inventory.ini" "$work/stoppable.yml" -e instrument_cli="$work/cli-copy" \
      -e instrument_task_timeout=2 >"$work/out" 2>&1 || true
  else
    # With job control on, a background job keeps SIGINT (a script's background jobs ignore it).
    set -m
    ansible-playbook -i "$work/inventory.ini" "$work/stoppable.yml" -e instrument_cli="$work/cli-copy" \
      >"$work/out" 2>&1 &
    pid=$!
    set +m
    for _ in $(seq 100); do (($(grep -c start "$work/calls") == 3)) && break; sleep 0.05; done
    sleep 1.5  # the programs are reading now
    kill -INT "$pid"
    wait "$pid" || true
  fi
  sleep 6  # longer than a program would need to get to writing and through it
  grep -qF "$says" "$work/out" || fail "$name: the output does not hold '$says'"$'\n'"$(cat "$work/out")"
  [[ $(memory) == "$(cat "$work/before")" ]] || fail "$name: an instrument was written after the run was stopped"
  ! pgrep -f "$work/bin/netsetup-cli" >/dev/null || fail "$name: a program is still running"
  ((failures > failed_before)) || echo "ok: $name"
}
stopped "a task time-out" timeout "in the expected time frame (2) and was terminated"
stopped "ansible-playbook interrupted alone" sigint "User interrupted execution"

((failures == 0)) || { echo "$failures failures" >&2; exit 1; }
