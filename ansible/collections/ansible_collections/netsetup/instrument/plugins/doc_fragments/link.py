# -*- coding: utf-8 -*-
# Copyright: the netsetup authors. All rights reserved (see COPYING).

from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r"""
options:
  serial:
    description:
      - The serial port, C(COM1) to C(COM16) or a device path such as C(/dev/ttyUSB0).
      - Give either I(serial) or I(tcp).
    type: str
  baud:
    description: The serial line's rate.
    type: int
    choices: [9600, 19200, 28800, 38400, 57600, 115200]
  tcp:
    description:
      - The instrument's converter as C(HOST) or C(HOST:PORT); HOST is an IPv4 address or a host name,
        looked up once (IPv4); the port defaults to 10001.
    type: str
  wait:
    description:
      - Seconds to wait for a serial port that another run of netsetup-cli holds (hosts on one shared
        line run at once); 0 fails at once.
    type: int
    default: 60
  timeout:
    description:
      - Milliseconds to wait for the first byte of each answer (the program's own default is 400).
        Instruments behind cellular modems may need 2000.
    type: int
  cli:
    description: The netsetup-cli program to run.
    type: path
    default: netsetup-cli
requirements:
  - netsetup-cli on the machine the task runs on
notes:
  - Run it where the instrument is wired, usually with C(ansible_connection=local) and one inventory host
    per instrument.
  - If the task is stopped (a task C(timeout), ansible-playbook interrupted, the worker gone), the program
    stops at its next exchange with the instrument; a write whose first part is out is finished first,
    so the instrument never keeps half of the new settings.
"""

    RECORDS = r"""
options:
  backup_dir:
    description:
      - Where the backup of the settings area is saved before a write, made readable by its owner only
        when it is created. Nothing is made in check mode.
    type: path
    default: ~/netsetup-backups
  name:
    description:
      - The instrument's name, carried by its backups (file name and header) and its lines in the log of
        writes; pass C({{ inventory_hostname }}).
    type: str
  log:
    description:
      - The log of writes, one JSON line per write attempted; by default C(writes.jsonl) in the user's
        C(~/.local/state/netsetup) (C(netsetup-cli log) shows it).
    type: path
"""
