#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: the netsetup authors. All rights reserved (see COPYING).

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: settings_info
short_description: Read the network settings of a VRN-207K instrument
version_added: "1.1.0"
description:
  - Reads the network settings of one instrument with C(netsetup-cli read --json) and returns its type and
    every field, so that a play can gather a fleet's settings into a report. It never writes.
  - With DHCP on, the addresses the instrument keeps for when it is off are returned too.
  - The password is returned as C(***).
extends_documentation_fragment:
  - netsetup.instrument.link
attributes:
  check_mode:
    description: Runs as usual; it reads only.
    support: full
  diff_mode:
    description: Nothing changes, so there is no diff.
    support: N/A
  platform:
    description: Runs where the instrument is wired.
    support: full
    platforms: posix
options:
  address:
    description: The instrument's network address, 0 to 255.
    type: int
    default: 1
author:
  - netsetup maintainers (@netsetup)
"""

EXAMPLES = r"""
- name: What each instrument holds
  netsetup.instrument.settings_info:
    tcp: "{{ instrument_tcp }}"
    address: "{{ instrument_address | default(1) }}"
  register: held

- name: The report
  ansible.builtin.debug:
    msg: "{{ inventory_hostname }}: {{ held.settings.ip }} -> {{ held.settings.server }}:{{ held.settings.server_port }}"
"""

RETURN = r"""
settings:
  description:
    - Every field as the instrument stores it (ports and I(dhcp) as numbers where they are plain ones);
      the password as C(***).
  returned: success
  type: dict
  sample: {"ip": "192.168.0.10", "mask": "255.255.255.0", "gateway": "192.168.0.1", "port": 10001, "dhcp": 0,
           "server": "dispatch.example.org", "server_port": 9000, "apn": "internet", "login": "engineer",
           "password": "***", "auth": "pap"}
instrument:
  description: The instrument's type, address and link, null where not known.
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

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.netsetup.instrument.plugins.module_utils.netsetup_cli import (
    LINK_OPTIONS, LINK_RULES, cli_args, run_json)


def main():
    options = dict(LINK_OPTIONS, address=dict(type="int", default=1))
    module = AnsibleModule(options, supports_check_mode=True, **LINK_RULES)
    rc, result = run_json(module, cli_args(module, module.params) + ["read", "--json"])
    if rc != 0:
        module.fail_json(msg=result.get("msg", ""), rc=rc, instrument=result.get("instrument"))
    module.exit_json(changed=False, settings=result["fields"], instrument=result["instrument"])


if __name__ == "__main__":
    main()
