#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 Veltrix instrument settings team

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: settings
short_description: Put Veltrix microplate readers into the state of a settings profile
version_added: 1.0.0
description:
  - Runs C(veltrix-settings apply) on the managed host for every port at once. Each reader is
    compared with the profile and written to, and its settings stored, only when it differs.
  - The task is changed when any reader was written. It fails when any reader failed, naming the
    failed ports, and still returns every reader's result, changed when other readers were
    written.
  - A bad option or profile fails the task with the program's message before any port is opened.
  - In check mode the program stops after the comparison (C(apply --dry-run)) and nothing is
    written; the task reports what would change.
  - With C(--diff) the task shows, per reader, the settings that differ as read from the reader
    (before) and as the profile has them (after).
options:
  profile:
    description:
      - A settings profile (JSON, as C(veltrix-settings read) writes it) on the managed host.
      - Exactly one of C(profile) and C(settings) is required.
    type: path
  settings:
    description:
      - The profile inline, with the keys of a profile file (C(format), C(mode), C(baud),
        C(filters), C(measurement), C(plate)).
      - It is written to a file only the remote user can read, for the run, and removed after.
    type: dict
attributes:
  check_mode:
    description: Runs the program's dry run, which compares the readers and writes nothing.
    support: full
  diff_mode:
    description: Shows each reader's differing settings, as read and as the profile has them.
    support: full
notes:
  - Ansible's recap counts a failed task only as failed, even when it changed readers; the
    task's result says C(changed) and lists every reader.
extends_documentation_fragment:
  - veltrix.instruments.common
seealso:
  - module: veltrix.instruments.settings_info
author:
  - Veltrix instrument settings team (@veltrix)
'''

EXAMPLES = r'''
- name: Apply the lab's profile to the readers of this PC
  veltrix.instruments.settings:
    ports: [/dev/ttyUSB0, /dev/ttyUSB1]
    profile: /etc/veltrix/lab-profile.json
    baud: 9600

- name: Apply a profile kept on the controller, without copying it to the host
  veltrix.instruments.settings:
    ports: "{{ veltrix_ports }}"
    settings: "{{ lookup('ansible.builtin.file', 'profile.json') | from_json }}"
  register: readers

- name: Show each reader's outcome
  ansible.builtin.debug:
    msg: "{{ item.port }}: {{ 'changed' if item.changed else 'unchanged' }}"
  loop: "{{ readers.results }}"
  loop_control:
    label: "{{ item.port }}"

- name: Set a profile written inline
  veltrix.instruments.settings:
    ports: [/dev/ttyS0]
    settings:
      format: 1
      mode: morvane
      baud: 9600
      filters: [405, 450, 492, 550, 600, 700]
      measurement: accuracy
      plate: {power_on: out, measurement_end: stay, remote_on: out, remote_off: stay}
'''

RETURN = r'''
results:
  description: One entry per reader, in the order of C(ports).
  returned: when the program ran on the ports
  type: list
  elements: dict
  contains:
    port:
      description: The port, as given.
      type: str
      sample: /dev/ttyUSB0
    model:
      description: The reader's mode (C(veltrix), C(morvane), C(dravell), C(oxq)); null when none
        answered.
      type: str
      sample: morvane
    firmware:
      description: The reader's firmware version; null when it was not read.
      type: str
      sample: V 3.10
    changed:
      description: The reader was written (in check mode, would be written).
      type: bool
    saved:
      description: The reader accepted the command that stores its settings.
      type: bool
    ok:
      description: Every exchange with the reader succeeded.
      type: bool
    messages:
      description: The differences found, notes and the program's message boxes, one line each.
      type: list
      elements: str
      sample: ["mode: veltrix -> morvane", "Filterslide defined successfully"]
    error:
      description: The first failure, naming the setting, the command and the cause; null when
        none.
      type: str
    differences:
      description:
        - One entry per setting in which the reader differs from the profile, with the reader's
          value (C(instrument)) and the profile's (C(profile)).
        - Returned when the program reports them.
      type: list
      elements: dict
      sample: [{"setting": "measurement", "instrument": "normal", "profile": "accuracy"}]
    failures:
      description:
        - Every exchange that failed, with its setting (null for one that reads none), its
          command and its cause.
        - Returned when the program reports them.
      type: list
      elements: dict
      sample: [{"setting": "measurement", "command": "SS M_MODE", "cause": "no reply within 0.6 s"}]
failed_ports:
  description: The ports of the readers that failed.
  returned: failure
  type: list
  elements: str
  sample: [/dev/ttyUSB1]
rc:
  description: The program's exit code.
  returned: always
  type: int
  sample: 0
cmd:
  description: The program's command line.
  returned: always
  type: list
  elements: str
'''

import json
import os
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.veltrix.instruments.plugins.module_utils.veltrix_settings import (
    COMMON_ARGUMENTS, checked_ports, failure_message, line_options, reader_diff, reader_result,
    report_rows, resolve_executable, run, usage_message)


def write_settings(module, settings):
    """The inline profile in a file of the run's own, readable by the remote user alone."""
    descriptor, path = tempfile.mkstemp(prefix='veltrix-profile-', suffix='.json',
                                        dir=module.tmpdir)
    with os.fdopen(descriptor, 'w') as file:
        json.dump(settings, file)
    return path


def main():
    module = AnsibleModule(
        argument_spec=dict(COMMON_ARGUMENTS, profile=dict(type='path'),
                           settings=dict(type='dict')),
        mutually_exclusive=[('profile', 'settings')],
        required_one_of=[('profile', 'settings')],
        supports_check_mode=True,
    )
    ports = checked_ports(module)
    executable = resolve_executable(module)
    params = module.params

    inline = None
    try:
        if params['profile'] is None:
            inline = write_settings(module, params['settings'])
        argv = [executable, 'apply', params['profile'] or inline]
        for port in ports:
            argv += ['--port', port]
        argv += line_options(params['baud'], params['trace']) + ['--json', '--quiet']
        if module.check_mode:
            argv.append('--dry-run')
        rc, stdout, stderr = run(module, argv)
        rows = report_rows(module, argv, ports, rc, stdout, stderr,
                           {inline: 'settings'} if inline else None)
    finally:
        if inline:
            os.remove(inline)

    results = [reader_result(row) for row in rows]
    outcome = dict(changed=any(result['changed'] for result in results), results=results, rc=rc,
                   cmd=argv)
    if module._diff:
        if any(result['changed'] and 'differences' not in result for result in results):
            module.warn('%s reports no differences per setting; the diff cannot show the '
                        'readers\' settings' % executable)
        outcome['diff'] = [diff for diff in map(reader_diff, rows) if diff]
    failed_ports = [result['port'] for result in results if not result['ok']]
    if failed_ports:
        module.fail_json(msg=failure_message(results), failed_ports=failed_ports, **outcome)
    if rc != 0:
        module.fail_json(msg=usage_message(stderr, rc), failed_ports=[], **outcome)
    module.exit_json(**outcome)


if __name__ == '__main__':
    main()
