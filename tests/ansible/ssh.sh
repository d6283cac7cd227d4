#!/usr/bin/env bash
# The settings module over SSH, as Ansible runs it on a machine where instruments are wired: a
# user of its own, reached on the loopback by an sshd this test starts on a free port with
# throwaway keys, netsetup-cli installed in that user's home. The module runs on the far side;
# the password must appear on no command line there while it runs, and in no file left after.
# Needs root (it makes the user and runs sshd): skipped otherwise.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: ssh.sh BUILD_FOLDER}" && pwd)
sim=$build/tools/sim/netsetup-sim
[[ $(id -u) == 0 ]] || { echo "skipped: needs root to make a user and run sshd"; exit 77; }
command -v /usr/sbin/sshd >/dev/null || { echo "sshd is missing: scripts/setup.sh ansible" >&2; exit 1; }
user=netsetup-ssh
password='Ssh-only-Pw-4711'
work=$(mktemp -d)
chmod 755 "$work"
source "$root/tests/ansible/fleet.sh"
sshd_pid=
made_user=
cleanup() {
  stop_sims
  [[ -n "$sshd_pid" ]] && kill "$sshd_pid" 2>/dev/null
  pkill -f "$work/cp" 2>/dev/null  # Ansible's connections kept open for later tasks
  pkill -u "$user" 2>/dev/null && sleep 0.2
  [[ -n "$made_user" ]] && userdel --remove "$user" 2>/dev/null
  [[ -n "${KEEP:-}" ]] || rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! id "$user" >/dev/null 2>&1; then
  useradd --create-home --shell /bin/sh "$user"
  made_user=yes  # and removed again at the end
fi
usermod -p '*' "$user"  # no password, and not locked: sshd refuses a locked account even a key
home=$(getent passwd "$user" | cut -d: -f6)
install -D -o "$user" -m 755 "$build/netsetup-cli" "$home/bin/netsetup-cli"
rm -rf "$home/.local/state/netsetup" "$home/netsetup-backups"

ssh-keygen -q -t ed25519 -N '' -f "$work/key"
ssh-keygen -q -t ed25519 -N '' -f "$work/host-key"
cp "$work/key.pub" "$work/authorized_keys"
chmod 644 "$work/authorized_keys"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/sshd_config" <<CONFIG
Port $port
ListenAddress 127.0.0.1
HostKey $work/host-key
AuthorizedKeysFile $work/authorized_keys
PidFile $work/sshd.pid
AllowUsers $user
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
CONFIG
mkdir -p /run/sshd
/usr/sbin/sshd -f "$work/sshd_config" -E "$work/sshd.log"
for _ in $(seq 100); do [[ -s "$work/sshd.pid" ]] && break; sleep 0.05; done
sshd_pid=$(cat "$work/sshd.pid")

# One instrument, answering slowly enough that the run can be watched.
start_sim --tcp 127.0.0.1:0 --delay 100 --state "$work/state"
cat >"$work/inventory.ini" <<INVENTORY
[instruments]
remote1 instrument_tcp=$sim_endpoint instrument_ip=10.0.9.1

[instruments:vars]
ansible_connection=ssh
ansible_host=127.0.0.1
ansible_port=$port
ansible_user=$user
ansible_ssh_private_key_file=$work/key
ansible_ssh_common_args='-o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null'
ansible_python_interpreter=/usr/bin/python3
instrument_cli=$home/bin/netsetup-cli
instrument_password=$password
instrument_report=$work/report.csv
INVENTORY
export ANSIBLE_COLLECTIONS_PATH=$root/ansible/collections ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 \
  ANSIBLE_LOCAL_TEMP=$work/tmp ANSIBLE_SSH_CONTROL_PATH_DIR=$work/cp

# Watch every command line on the machine while the play runs.
( while [[ ! -e "$work/done" ]]; do ps -eo user:32=,args= >>"$work/commands" 2>/dev/null; sleep 0.05; done ) &
watcher=$!
ansible-playbook -i "$work/inventory.ini" "$root/ansible/collections/ansible_collections/netsetup/instrument/examples/playbook.yml" \
  >"$work/out" 2>&1 || fail "the play failed"$'\n'"$(cat "$work/out")"
touch "$work/done"
wait "$watcher"

grep -q 'remote1 .*changed=[1-9].*failed=0' "$work/out" || fail "the instrument was not changed"$'\n'"$(cat "$work/out")"
grep -q "^$user .*netsetup-cli .*apply " "$work/commands" || fail "netsetup-cli did not run as $user"
! grep -qF -- "$password" "$work/commands" || fail "the password was on a command line"
ls "$home"/netsetup-backups/remote1-backup-a1-*.txt >/dev/null 2>&1 || fail "no backup on the far side"
grep -q '"name": "remote1"' "$home/.local/state/netsetup/writes.jsonl" 2>/dev/null || fail "no line in the far side's log"
left=$( { find "$home" /tmp -user "$user" -type f -print0 2>/dev/null | xargs -0 -r grep -lF -- "$password"; } || true)
[[ -z "$left" ]] || fail "the password is in files left after the run: $left"
! grep -qF -- "$password" "$work/out" || fail "the password is in the play's output"
"$build/netsetup-cli" --tcp "$sim_endpoint" read --format json | grep -qF '"ip": "10.0.9.1"' || fail "not stored"

((failures == 0)) || { echo "$failures failures" >&2; exit 1; }
echo "ok: the module over SSH as $user"
