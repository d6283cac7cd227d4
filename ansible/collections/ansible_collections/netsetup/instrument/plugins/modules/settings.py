#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: the netsetup authors. All rights reserved.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: settings
short_description: Network settings of a VRN-207K instrument
version_added: "1.0.0"
description:
  - Brings the network settings of one instrument, reached over a serial line or a TCP stream from the
    machine the task runs on, to the values given. It runs C(netsetup-cli apply --json), which reads the
    instrument, compares each field given with what the instrument holds (as the value would be stored,
    so a port C($2328) and C(9000) are the same) and writes only when one differs, after saving a backup
    of the settings area, reading it back afterwards to check it.
  - Fields left out keep the instrument's values.
  - Every value is checked before the instrument is asked anything. An address (ip, mask, gateway) is
    four decimal numbers 0 to 255 without leading zeros, whether or not DHCP is on; forms such as
    C(10.1) or C(010.0.0.5), which other tools read as other addresses, are refused.
  - If the task is stopped (a task C(timeout), ansible-playbook interrupted, the worker gone), the
    program stops at its next exchange with the instrument; a write whose first part is out is
    finished first, so the instrument never keeps half of the new settings.
  - Run it where the instrument is wired, usually with C(ansible_connection=local) and one inventory host
    per instrument.
  - The password is handed to the program in a file only the user can read, never on its command line,
    and is never shown in the result or the diff.
options:
  serial:
    description:
      - The serial port, C(COM1) to C(COM16) or a device path such as C(/dev/ttyUSB0).
      - Give either O(serial) or O(tcp).
    type: str
  baud:
    description: The serial line's rate.
    type: int
    choices: [9600, 19200, 28800, 38400, 57600, 115200]
  tcp:
    description:
      - The instrument's converter as C(HOST) or C(HOST:PORT), HOST a dotted IPv4 address; the port
        defaults to 10001.
    type: str
  address:
    description: The instrument's network address, 0 to 255.
    type: int
    default: 1
  ip:
    description: The instrument's own IPv4 address.
    type: str
  mask:
    description: Its network mask.
    type: str
  gateway:
    description: Its gateway.
    type: str
  port:
    description: Its own TCP port.
    type: int
  dhcp:
    description: Whether it takes its address from the network instead of O(ip), O(mask), O(gateway).
    type: bool
  server:
    description: The server the instrument connects to.
    type: str
  server_port:
    description: That server's TCP port.
    type: int
  apn:
    description: The mobile network's access point name.
    type: str
  login:
    description: The access point's login.
    type: str
  password:
    description: The access point's password; compared, written when it differs, never shown.
    type: str
  auth:
    description: How the instrument authenticates to the access point; C(unset) chooses no entry.
    type: str
    choices: [none, any, pap, chap, unset]
  sheet:
    description:
      - A settings sheet (as C(netsetup-cli read --format ini) writes it) on the machine the task runs on,
        with values shared by many instruments; a field given to the module wins over it.
    type: path
  backup_dir:
    description:
      - Where the backup of the settings area is saved before a write. The backup holds the password,
        so the folder is made readable by its owner only when it is created.
    type: path
    default: ~/netsetup-backups
  cli:
    description: The netsetup-cli program to run.
    type: path
    default: netsetup-cli
notes:
  - Check mode compares and reports what would change without writing.
  - Diff mode shows the instrument's and the new value of each field that changes, the password only as
    a note that it changes.
requirements:
  - netsetup-cli on the machine the task runs on
author:
  - netsetup maintainers (netsetup@example.org)
"""

EXAMPLES = r"""
- name: Network settings of a pump station's instrument
  netsetup.instrument.settings:
    tcp: 10.20.0.15:10001
    address: 3
    ip: 192.168.40.15
    mask: 255.255.255.0
    gateway: 192.168.40.1
    dhcp: false
    server: dispatch.example.org
    server_port: 9000
    apn: internet
    auth: pap
    login: station
    password: "{{ vault_apn_password }}"

- name: A serial instrument, the shared values from a sheet
  netsetup.instrument.settings:
    serial: /dev/ttyUSB0
    baud: 115200
    sheet: /etc/netsetup/district.ini
    ip: 10.0.0.12
"""

RETURN = r"""
changed:
  description: Whether a value was written (in check mode, would be).
  returned: always
  type: bool
fields:
  description: The names of the fields whose stored value differs from the one given.
  returned: always
  type: list
  elements: str
  sample: [ip, server_port]
before:
  description: The fields given, as the instrument held them; the password as C(***).
  returned: always
  type: dict
  sample: {"ip": "192.168.0.10", "server_port": 9000}
after:
  description:
    - The fields given, as the instrument is known to hold them now (in check mode, as they would be
      stored); the password as C(***).
    - After a failed write, a field the instrument may hold either way (its part was sent but not
      confirmed) is null and named in C(unknown); after reading back, the values read.
  returned: always
  type: dict
  sample: {"ip": "10.0.0.12", "server_port": 9000}
unknown:
  description: The fields whose stored value a failed write left unknown, old or new.
  returned: always
  type: list
  elements: str
  sample: []
backup:
  description: The backup of the settings area taken before the write, or null when nothing was written.
  returned: always
  type: str
  sample: /home/ops/netsetup-backups/backup-a1-20260301T101500Z.txt
verified:
  description: Whether the write was read back and found stored.
  returned: always
  type: bool
instrument:
  description: The instrument's type, address and link, null where not known.
  returned: always
  type: dict
  sample: {"type": "VRN-207K", "address": 1, "link": "TCP 10.20.0.15:10001"}
rc:
  description: The exit status of netsetup-cli.
  returned: failure
  type: int
"""

import json
import os
import select
import shutil
import signal
import subprocess
import tempfile

from ansible.module_utils.basic import AnsibleModule

FIELDS = ("ip", "mask", "gateway", "port", "dhcp", "server", "server_port", "apn", "login", "password", "auth")
LINK = (("serial", "--serial"), ("baud", "--baud"), ("tcp", "--tcp"), ("address", "--address"))


def sheet_text(params):
    """The fields given as a settings sheet; every value quoted, so the reader keeps it as it is."""
    lines = ["[settings]"]
    for name in FIELDS:
        value = params[name]
        if value is None:
            continue
        if isinstance(value, bool):
            value = "1" if value else "0"
        lines.append('%s="%s"' % (name, value))
    return "\n".join(lines) + "\n"


def diff_text(result, side):
    lines = []
    for name in result["fields"]:
        if name != "password":
            lines.append("%s: %s" % (name, result[side][name]))
        elif side == "after":
            lines.append("password: changes (not shown)")
    return "".join(line + "\n" for line in lines)


def caller_gone():
    """Whether whoever reads this module's output has gone (a task time-out or an interrupted
    ansible-playbook ends the worker, not the module): the pipe then has no reader left."""
    try:
        watch = select.poll()
        watch.register(1, 0)
        return any(events & (select.POLLERR | select.POLLHUP) for _, events in watch.poll(0))
    except (OSError, ValueError):
        return False


def run_cli(args, cwd):
    """Runs netsetup-cli and waits for it. TERM, INT and HUP sent to the module go on to the
    program, once, and so does the loss of the caller: the program then stops as on Ctrl+C, and
    finishes a write already begun rather than leave half of it."""
    proc = subprocess.Popen(args, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True)

    def forward(signum, frame):
        try:
            proc.send_signal(signum)
        except OSError:
            pass

    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, forward)
    told = False
    while True:
        try:
            out, err = proc.communicate(timeout=0.1)
            return proc.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            if not told and caller_gone():
                forward(signal.SIGTERM, None)
                told = True


def main():
    options = dict(
        serial=dict(type="str"),
        baud=dict(type="int", choices=[9600, 19200, 28800, 38400, 57600, 115200]),
        tcp=dict(type="str"),
        address=dict(type="int", default=1),
        ip=dict(type="str"),
        mask=dict(type="str"),
        gateway=dict(type="str"),
        port=dict(type="int"),
        dhcp=dict(type="bool"),
        server=dict(type="str"),
        server_port=dict(type="int"),
        apn=dict(type="str"),
        login=dict(type="str"),
        password=dict(type="str", no_log=True),
        auth=dict(type="str", choices=["none", "any", "pap", "chap", "unset"]),
        sheet=dict(type="path"),
        backup_dir=dict(type="path", default="~/netsetup-backups"),
        cli=dict(type="path", default="netsetup-cli"),
    )
    module = AnsibleModule(
        options,
        mutually_exclusive=[("serial", "tcp"), ("baud", "tcp")],
        required_one_of=[("serial", "tcp")],
        supports_check_mode=True,
    )
    params = module.params
    for name in FIELDS:
        if isinstance(params[name], str) and ("\n" in params[name] or "\r" in params[name]):
            module.fail_json(msg="%s holds a line break, which no field of the instrument can" % name)

    # The program runs in the backup folder, so every path it is given is made absolute first.
    cli = params["cli"]
    cli = os.path.abspath(cli) if os.sep in cli else module.get_bin_path(cli, required=True)
    backup_dir = params["backup_dir"]
    # Hosts run at once share the folder: whichever comes first makes it.
    os.makedirs(backup_dir, mode=0o700, exist_ok=True)
    work = tempfile.mkdtemp(prefix="netsetup-")  # owner only: the sheet may hold the password
    try:
        sheet = os.path.join(work, "settings.ini")
        with os.fdopen(os.open(sheet, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600), "w", encoding="utf-8") as f:
            f.write(sheet_text(params))
        args = [cli]
        for name, option in LINK:
            if params[name] is not None:
                args += [option, str(params[name])]
        args += ["apply", sheet, "--json"]
        if params["sheet"]:
            args += ["--template", os.path.abspath(params["sheet"])]
        if module.check_mode:
            args.append("--check")
        rc, out, err = run_cli(args, backup_dir)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    try:
        result = json.loads(out)
    except ValueError:
        module.fail_json(msg=(err or out).strip() or "netsetup-cli gave no answer", rc=rc)
    if result.get("backup") and not os.path.isabs(result["backup"]):
        result["backup"] = os.path.join(backup_dir, result["backup"])
    if rc != 0:
        module.fail_json(**result)
    if module._diff and result["changed"]:
        result["diff"] = dict(before=diff_text(result, "before"), after=diff_text(result, "after"))
    module.exit_json(**result)


if __name__ == "__main__":
    main()
