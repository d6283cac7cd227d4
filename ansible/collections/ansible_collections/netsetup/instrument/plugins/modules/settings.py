#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: the netsetup authors. All rights reserved (see COPYING).

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
  - Every value is checked before the instrument is asked anything. An address (I(ip), I(mask), I(gateway))
    is four decimal numbers 0 to 255 without leading zeros, whether or not DHCP is on; forms such as
    C(10.1) or C(010.0.0.5), which other tools read as other addresses, are refused.
  - Texts are stored in Windows-1251 (Cyrillic is fine, other scripts are refused), I(server) and I(apn)
    at most 32 characters, I(login) and I(password) 16.
  - The password is handed to the program in a file only the user can read, never on its command line,
    and is never shown in the result or the diff.
extends_documentation_fragment:
  - netsetup.instrument.link
  - netsetup.instrument.link.records
attributes:
  check_mode:
    description: Compares and reports what would change; nothing is written and no backup is made.
    support: full
  diff_mode:
    description: Shows the instrument's and the new value of each field that changes, the password only as a note.
    support: full
  platform:
    description: Runs where the instrument is wired (Linux, or Windows through netsetup-cli.exe).
    support: full
    platforms: posix
options:
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
    description: Whether it takes its address from the network instead of I(ip), I(mask), I(gateway) (which it keeps).
    type: bool
  server:
    description: The server the instrument connects to, a DNS name or an address (at most 32 characters).
    type: str
  server_port:
    description: That server's TCP port.
    type: int
  apn:
    description: The mobile network's access point name (at most 32 characters).
    type: str
  login:
    description: The access point's login (at most 16 characters).
    type: str
  password:
    description:
      - The access point's password (at most 16 characters); compared, written when it differs, never shown.
      - C(***) keeps the instrument's password.
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
author:
  - netsetup maintainers (@netsetup)
"""

EXAMPLES = r"""
- name: Network settings of a pump station's instrument
  netsetup.instrument.settings:
    tcp: pump-north.example.net:10001
    address: 3
    name: "{{ inventory_hostname }}"
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

- name: A serial instrument, the shared values from a sheet, a slow line
  netsetup.instrument.settings:
    serial: /dev/ttyUSB0
    baud: 115200
    timeout: 2000
    sheet: /etc/netsetup/district.ini
    ip: 10.0.0.12
"""

RETURN = r"""
changed:
  description: Whether the instrument now holds a new value (in check mode, would).
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
      confirmed) is null and named in I(unknown); after reading back, the values read.
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
  description: The backup of the settings area taken before the write (an absolute path), or null when nothing was written.
  returned: always
  type: str
  sample: /home/ops/netsetup-backups/pump-north-backup-a1-10.20.0.15_10001-20260301T101500Z.txt
verified:
  description: Whether the write was read back and found stored.
  returned: always
  type: bool
instrument:
  description: The instrument's type, address and link (with the address a host name stands for), null where not known.
  returned: always
  type: dict
  sample: {"type": "VRN-207K", "address": 1, "link": "TCP 10.20.0.15:10001"}
msg:
  description: What went wrong, and what to do about it.
  returned: failure
  type: str
rc:
  description: The exit status of netsetup-cli.
  returned: failure
  type: int
"""

import os
import shutil
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.netsetup.instrument.plugins.module_utils.netsetup_cli import (
    LINK_OPTIONS, LINK_RULES, RECORD_OPTIONS, cli_args, diff_of, run_json)

FIELDS = ("ip", "mask", "gateway", "port", "dhcp", "server", "server_port", "apn", "login", "password", "auth")


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


def main():
    options = dict(LINK_OPTIONS, **RECORD_OPTIONS)
    options.update(
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
    )
    module = AnsibleModule(options, supports_check_mode=True, **LINK_RULES)
    params = module.params
    for name in FIELDS:
        if isinstance(params[name], str) and ("\n" in params[name] or "\r" in params[name]):
            module.fail_json(msg="%s holds a line break, which no field of the instrument can" % name)

    work = tempfile.mkdtemp(prefix="netsetup-")  # owner only: the sheet may hold the password
    try:
        sheet = os.path.join(work, "settings.ini")
        with os.fdopen(os.open(sheet, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600), "w", encoding="utf-8") as f:
            f.write(sheet_text(params))
        args = cli_args(module, params) + ["apply", sheet, "--json", "--backup-dir", params["backup_dir"]]
        if params["sheet"]:
            args += ["--template", os.path.abspath(params["sheet"])]
        if module.check_mode:
            args.append("--check")
        rc, result = run_json(module, args)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    if rc != 0:
        module.fail_json(**result)
    if module._diff and result["changed"]:
        result["diff"] = diff_of(result)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
