#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 Veltrix instrument settings team

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: settings_info
short_description: Read the settings of Veltrix microplate readers as profiles
version_added: 1.0.0
description:
  - Runs C(veltrix-settings read) on the managed host for every port, all ports at once, and
    returns each reader's settings as a profile that M(veltrix.instruments.settings) can apply.
  - Never writes a setting to a reader, so it runs in check mode as it does otherwise.
  - The task fails when any reader could not be read completely, naming the failed ports, and
    still returns every reader's result.
attributes:
  check_mode:
    description: Reads as it does otherwise, since reading changes nothing.
    support: full
  diff_mode:
    description: Nothing changes, so there is nothing to show.
    support: none
extends_documentation_fragment:
  - veltrix.instruments.common
seealso:
  - module: veltrix.instruments.settings
author:
  - Veltrix instrument settings team (@veltrix)
'''

EXAMPLES = r'''
- name: Read the reference reader
  veltrix.instruments.settings_info:
    ports: [/dev/ttyUSB0]
  register: reference

- name: Keep its settings as the lab's profile on the controller
  ansible.builtin.copy:
    content: "{{ reference.results[0].profile | to_nice_json }}\n"
    dest: "{{ playbook_dir }}/profile.json"
    mode: "0644"
  delegate_to: localhost
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
    ok:
      description: Every setting was read.
      type: bool
    messages:
      description: Notes and the program's message boxes, one line each.
      type: list
      elements: str
      sample: ["plate left out: Settings not necessary for VELTRIX"]
    error:
      description: The first failure, naming the setting, the command and the cause; null when
        none.
      type: str
    profile:
      description:
        - The settings read, as a profile (C(format), C(mode), C(baud), C(filters),
          C(measurement), C(plate)); only the keys that were read.
        - Absent when nothing could be read.
      type: dict
      sample: {"format": 1, "mode": "veltrix", "baud": 9600,
               "filters": [405, 450, 492, 550, 600, 620], "measurement": "normal"}
    failures:
      description:
        - Every exchange that failed, with its setting, its command and its cause.
        - Returned when the program reports them.
      type: list
      elements: dict
failed_ports:
  description: The ports of the readers that failed.
  returned: failure
  type: list
  elements: str
  sample: [/dev/ttyUSB1]
'''

from concurrent.futures import ThreadPoolExecutor

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.veltrix.instruments.plugins.module_utils.veltrix_settings import (
    COMMON_ARGUMENTS, EXIT_USAGE, checked_ports, failure_message, line_options, reader_result,
    report_rows, resolve_executable, run, usage_message)

# A read result has no changed or saved: nothing is written.
INFO_KEYS = ('port', 'model', 'firmware', 'ok', 'messages', 'error')


def main():
    module = AnsibleModule(argument_spec=COMMON_ARGUMENTS, supports_check_mode=True)
    ports = checked_ports(module)
    executable = resolve_executable(module)
    params = module.params

    # The program reads one port per run: one run per port, all at once, traced as one run over
    # every port would be (FILE for one port, FILE.1, FILE.2... for several).
    commands = []
    for number, port in enumerate(ports, 1):
        trace = params['trace']
        if trace and len(ports) > 1:
            trace = '%s.%d' % (trace, number)
        commands.append([executable, 'read', '--port', port] +
                        line_options(params['baud'], trace) + ['--json', '--quiet'])
    with ThreadPoolExecutor(max_workers=len(commands)) as pool:
        runs = list(pool.map(lambda argv: run(module, argv), commands))

    # A refused command line is the same for every port: fail on its message.
    for argv, (rc, stdout, stderr) in zip(commands, runs):
        if rc == EXIT_USAGE:
            module.fail_json(msg=usage_message(stderr, rc), rc=rc, cmd=argv, results=[],
                             changed=False)
    results = []
    for argv, port, (rc, stdout, stderr) in zip(commands, ports, runs):
        row = report_rows(module, argv, [port], rc, stdout, stderr)[0]
        results.append(reader_result(row, INFO_KEYS))
    failed_ports = [result['port'] for result in results if not result['ok']]
    if failed_ports:
        module.fail_json(msg=failure_message(results), failed_ports=failed_ports, results=results,
                         changed=False)
    module.exit_json(changed=False, results=results)


if __name__ == '__main__':
    main()
