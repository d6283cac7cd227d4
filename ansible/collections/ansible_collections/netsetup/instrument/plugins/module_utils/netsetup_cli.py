# -*- coding: utf-8 -*-
# Copyright: the netsetup authors. All rights reserved (see COPYING).
"""What the modules share: the link options, and running netsetup-cli for one JSON object."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os
import select
import signal
import subprocess

LINK_OPTIONS = dict(
    serial=dict(type="str"),
    baud=dict(type="int", choices=[9600, 19200, 28800, 38400, 57600, 115200]),
    tcp=dict(type="str"),
    wait=dict(type="int", default=60),
    timeout=dict(type="int"),
    cli=dict(type="path", default="netsetup-cli"),
)
LINK_RULES = dict(mutually_exclusive=[("serial", "tcp"), ("baud", "tcp")], required_one_of=[("serial", "tcp")])
RECORD_OPTIONS = dict(
    backup_dir=dict(type="path", default="~/netsetup-backups"),
    name=dict(type="str"),
    log=dict(type="path"),
)
OPTION_FLAGS = (("serial", "--serial"), ("baud", "--baud"), ("tcp", "--tcp"), ("address", "--address"),
                ("wait", "--wait"), ("timeout", "--timeout"), ("name", "--name"), ("log", "--log"))


def cli_args(module, params):
    """The program and the options the parameters give, paths made absolute."""
    cli = params["cli"]
    args = [os.path.abspath(cli) if os.sep in cli else module.get_bin_path(cli, required=True)]
    for name, flag in OPTION_FLAGS:
        if params.get(name) is not None:
            value = params[name]
            args += [flag, os.path.abspath(value) if name == "log" else str(value)]
    return args


def caller_gone():
    """Whether whoever reads this module's output has gone (a task time-out or an interrupted
    ansible-playbook ends the worker, not the module): the pipe then has no reader left."""
    try:
        watch = select.poll()
        watch.register(1, 0)
        return any(events & (select.POLLERR | select.POLLHUP) for _, events in watch.poll(0))
    except (OSError, ValueError):
        return False


def run_cli(args):
    """Runs netsetup-cli and waits for it. TERM, INT and HUP sent to the module go on to the
    program, once, and so does the loss of the caller: the program then stops as on Ctrl+C, and
    finishes a write already begun rather than leave half of it."""
    proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            start_new_session=True)

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


def diff_of(result):
    """Ansible's diff of a result: each field that changes, before and after (the password only
    as a note that it changes)."""
    def side(name):
        lines = []
        for field in result["fields"]:
            if field not in result[name]:
                continue  # bytes of the area that are no field
            if field != "password":
                lines.append("%s: %s\n" % (field, result[name][field]))
            elif name == "after":
                lines.append("password: changes (not shown)\n")
        return "".join(lines)
    return dict(before=side("before"), after=side("after"))


def run_json(module, args):
    """The program's one JSON object and its exit status; a failure without one fails the task."""
    rc, out, err = run_cli(args)
    try:
        return rc, json.loads(out)
    except ValueError:
        module.fail_json(msg=(err or out).strip() or "netsetup-cli gave no answer", rc=rc)
