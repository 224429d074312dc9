# -*- coding: utf-8 -*-
"""The mapping of veltrix-settings' JSON report onto the modules' results."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import re

import pytest

from ansible_collections.veltrix.instruments.plugins.module_utils.veltrix_settings import (
    ReportError, failure_message, message_lines, parse_report, reader_diff, reader_result,
    usage_message)

ROW = dict(port='/dev/ttyUSB0', model='veltrix', firmware='V 3.10', changed=True, saved=True,
           ok=True, messages=[], error=None)


def report(*rows):
    return json.dumps(dict(results=list(rows)))


def test_message_boxes_become_lines_without_blanks():
    boxes = ['mode: veltrix -> morvane',
             'Filterslide defined successfully\nInstrument changed to +MV\n\nDone \n']
    assert message_lines(boxes) == ['mode: veltrix -> morvane', 'Filterslide defined successfully',
                                    'Instrument changed to +MV', 'Done']


@pytest.mark.parametrize('stdout, ports, complaint', [
    ('veltrix-settings: oops', ['/dev/ttyUSB0'], 'not JSON'),
    ('{"ports": []}', ['/dev/ttyUSB0'], 'no "results"'),
    ('{"results": [1]}', ['/dev/ttyUSB0'], 'no "results"'),
    (report(ROW), ['/dev/ttyUSB1'], "not on ['/dev/ttyUSB1']"),
    (report(ROW), ['/dev/ttyUSB0', '/dev/ttyUSB1'], 'not on'),
    (report(dict(ROW, messages='a')), ['/dev/ttyUSB0'], 'not a list'),
    (report(dict((k, v) for k, v in ROW.items() if k not in ('ok', 'error'))), ['/dev/ttyUSB0'],
     'lacks ok, error'),
])
def test_a_report_that_does_not_fit_is_refused(stdout, ports, complaint):
    with pytest.raises(ReportError, match=re.escape(complaint)):
        parse_report(stdout, ports)


def test_rows_keep_port_order_and_optional_keys_only_when_given():
    second = dict(ROW, port='/dev/ttyUSB1', differences=[], failures=[],
                  profile={'format': 1, 'mode': 'veltrix'}, baud=9600, line='8N1')
    rows = parse_report(report(ROW, second), ['/dev/ttyUSB0', '/dev/ttyUSB1'])
    assert reader_result(rows[0]) == ROW
    assert reader_result(rows[1]) == dict(ROW, port='/dev/ttyUSB1', differences=[], failures=[],
                                          profile={'format': 1, 'mode': 'veltrix'})
    info = reader_result(rows[1], ('port', 'ok', 'messages'))
    assert sorted(info) == ['differences', 'failures', 'messages', 'ok', 'port', 'profile']


def test_differences_become_one_line_per_setting_before_and_after():
    row = dict(ROW, differences=[
        {'setting': 'mode', 'instrument': 'veltrix', 'profile': 'morvane'},
        {'setting': 'filters', 'instrument': [405, 450, 492, 550, 600, 620],
         'profile': [405, 450, 492, 550, 600, 700]},
        {'setting': 'plate', 'instrument': 'not held in Veltrix mode',
         'profile': {'power_on': 'out', 'measurement_end': 'stay'}},
    ])
    assert reader_diff(row) == dict(
        before_header='/dev/ttyUSB0', after_header='/dev/ttyUSB0',
        before='mode: veltrix\nfilters: [405, 450, 492, 550, 600, 620]\n'
               'plate: not held in Veltrix mode\n',
        after='mode: morvane\nfilters: [405, 450, 492, 550, 600, 700]\n'
              'plate: {"power_on": "out", "measurement_end": "stay"}\n')
    assert reader_diff(dict(ROW, differences=[])) is None
    assert reader_diff(ROW) is None


def test_the_failure_names_every_failed_port_with_its_cause():
    results = [dict(ROW, port='/dev/a'), dict(ROW, port='/dev/b', ok=False, error='connect: none'),
               dict(ROW, port='/dev/c', ok=False, error=None)]
    assert failure_message(results) == \
        'Failed on /dev/b, /dev/c: /dev/b: connect: none; /dev/c: no cause given'


def test_a_refusal_is_the_program_s_message_on_one_line():
    stderr = 'veltrix-settings: /tmp/x/p.json: "mode" must be one of veltrix\nRun with --help\n'
    assert usage_message(stderr, 2, {'/tmp/x/p.json': 'settings'}) == \
        'veltrix-settings: settings: "mode" must be one of veltrix; Run with --help'
    assert usage_message('', 2) == 'veltrix-settings exited with 2 and gave no message'
