# -*- coding: utf-8 -*-
# Copyright: 2026 Veltrix instrument settings team

from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    # The options both modules take, as module_utils/veltrix_settings.py declares them.
    DOCUMENTATION = r'''
options:
  ports:
    description:
      - The serial ports of the readers on the managed host, for example C(/dev/ttyUSB0).
      - All of them are served at once, each by its own connection.
    type: list
    elements: str
    required: true
  baud:
    description:
      - The rate the readers answer at now. Without it, each port is searched at every rate.
    type: int
  trace:
    description:
      - Write every byte on the line to this file on the managed host; with several ports to
        C(FILE.1), C(FILE.2) and so on, in the order of C(ports).
    type: path
  executable:
    description:
      - The program, by name on the PATH or by path.
    type: str
    default: veltrix-settings
notes:
  - The remote user needs read and write access to the ports (membership of the C(dialout)
    group).
'''
