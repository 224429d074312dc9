# -*- coding: utf-8 -*-
"""Appends every task result of a play to the JSON-lines file named by VELTRIX_RECORD, so that a
test reads what each module returned instead of parsing the screen; and when the play started
and ended, for the benchmark."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os
import time

from ansible.plugins.callback import CallbackBase


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = 'notification'
    CALLBACK_NAME = 'record'
    CALLBACK_NEEDS_ENABLED = True

    def _write(self, entry):
        with open(os.environ['VELTRIX_RECORD'], 'a') as record:
            record.write(json.dumps(entry, default=str) + '\n')

    def _record(self, status, result):
        self._write(dict(host=result._host.get_name(), task=result._task.get_name(),
                         action=result._task.action, status=status, result=result._result))

    def v2_playbook_on_play_start(self, play):
        self._write(dict(event='play start', time=time.monotonic()))

    def v2_playbook_on_stats(self, stats):
        self._write(dict(event='play end', time=time.monotonic()))

    def v2_runner_on_ok(self, result):
        self._record('changed' if result.is_changed() else 'ok', result)

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self._record('failed', result)

    def v2_runner_on_skipped(self, result):
        self._record('skipped', result)
