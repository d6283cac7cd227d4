#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: the netsetup authors. All rights reserved (see COPYING).

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: restore
short_description: Put a backup's settings back into a VRN-207K instrument
version_added: "1.1.0"
description:
  - Writes the settings area saved in a backup (by the I(settings) module, or C(netsetup-cli backup))
    back into the instrument it came from, with C(netsetup-cli restore --json), after saving a backup of
    the area as it is, and reads it back to check it. Nothing is written when the instrument holds the
    backup's settings already.
  - A backup of another instrument (another address or link, as its header says) or another type is
    refused unless I(force).
extends_documentation_fragment:
  - netsetup.instrument.link
  - netsetup.instrument.link.records
attributes:
  check_mode:
    description: Says which fields would change; nothing is written and no backup is made.
    support: full
  diff_mode:
    description: Shows the instrument's and the backup's value of each field that changes, the password only as a note.
    support: full
  platform:
    description: Runs where the instrument is wired.
    support: full
    platforms: posix
options:
  backup:
    description: The backup file, on the machine the task runs on.
    type: path
    required: true
  address:
    description: The instrument's network address, 0 to 255; by default the one the backup was read from.
    type: int
  force:
    description: Restore a backup of another instrument or another type all the same.
    type: bool
    default: false
author:
  - netsetup maintainers (@netsetup)
"""

EXAMPLES = r"""
- name: Undo a commissioning
  netsetup.instrument.restore:
    tcp: "{{ instrument_tcp }}"
    backup: /home/ops/netsetup-backups/pump-north-backup-a1-10.20.0.11_10001-20261207T112233Z.txt
    name: "{{ inventory_hostname }}"
"""

RETURN = r"""
changed:
  description: Whether the instrument now holds other values (in check mode, would).
  returned: always
  type: bool
fields:
  description: The fields (and other bytes of the area) the backup changes.
  returned: always
  type: list
  elements: str
before:
  description: Those fields as the instrument held them; the password as C(***).
  returned: always
  type: dict
after:
  description: Those fields as the instrument is known to hold them now (null where a failed write left one unknown).
  returned: always
  type: dict
unknown:
  description: The fields whose stored value a failed write left unknown.
  returned: always
  type: list
  elements: str
backup:
  description: The backup of the area as it was before, or null when nothing was written.
  returned: always
  type: str
verified:
  description: Whether the write was read back and found stored.
  returned: always
  type: bool
instrument:
  description: The instrument's type, address and link, null where not known.
  returned: always
  type: dict
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

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.netsetup.instrument.plugins.module_utils.netsetup_cli import (
    LINK_OPTIONS, LINK_RULES, RECORD_OPTIONS, cli_args, diff_of, run_json)


def main():
    options = dict(LINK_OPTIONS, **RECORD_OPTIONS)
    options.update(backup=dict(type="path", required=True), address=dict(type="int"),
                   force=dict(type="bool", default=False))
    module = AnsibleModule(options, supports_check_mode=True, **LINK_RULES)
    params = module.params
    args = cli_args(module, params) + ["restore", os.path.abspath(params["backup"]), "--json",
                                       "--backup-dir", params["backup_dir"]]
    if params["force"]:
        args.append("--force")
    if module.check_mode:
        args.append("--check")
    rc, result = run_json(module, args)
    if rc != 0:
        module.fail_json(**result)
    if module._diff and result["changed"]:
        result["diff"] = diff_of(result)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
