# -*- coding: utf-8 -*-
"""The settings and settings_info modules on canned reports, with no program and no reader."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os
import stat

import pytest

from ansible.module_utils import basic
from ansible.module_utils.common.text.converters import to_bytes
from ansible_collections.veltrix.instruments.plugins.modules import settings, settings_info

WRITTEN = dict(port='/dev/a', model='morvane', firmware='V 3.10', changed=True, saved=True,
               ok=True, messages=['mode: veltrix -> morvane', 'Filterslide defined\nStored\n'],
               error=None, failures=[],
               differences=[{'setting': 'mode', 'instrument': 'veltrix', 'profile': 'morvane'}])
MATCHING = dict(WRITTEN, port='/dev/b', changed=False, saved=False, messages=[], differences=[])
FAILED = dict(WRITTEN, port='/dev/c', model='veltrix', changed=False, saved=False, ok=False,
              messages=[], differences=[], error='measurement: SS M_MODE: no reply within 0.6 s',
              failures=[{'setting': 'measurement', 'command': 'SS M_MODE',
                         'cause': 'no reply within 0.6 s'}])


class Exit(Exception):
    def __init__(self, failed, result):
        super(Exit, self).__init__(result.get('msg'))
        self.failed = failed
        self.result = result


@pytest.fixture
def program(monkeypatch, tmp_path):
    """Runs a module with the given arguments; the program answers with the canned output."""
    calls = []

    def run(module_main, args, answer, check_mode=False, diff=False):
        def run_command(self, argv, **kwargs):
            call = dict(argv=argv)
            if argv[2].startswith(str(tmp_path)):  # an inline profile: what the program reads
                call.update(profile_mode=stat.S_IMODE(os.stat(argv[2]).st_mode),
                            profile=json.load(open(argv[2])))
            calls.append(call)
            return answer(argv) if callable(answer) else answer

        def leave(failed):
            def exit_json(self, **result):
                raise Exit(failed, result)
            return exit_json

        monkeypatch.setattr(basic.AnsibleModule, 'run_command', run_command)
        monkeypatch.setattr(basic.AnsibleModule, 'exit_json', leave(False))
        monkeypatch.setattr(basic.AnsibleModule, 'fail_json', leave(True))
        monkeypatch.setattr(basic.AnsibleModule, 'get_bin_path', lambda self, name, **kw: '/bin/vs')
        full = dict(args, _ansible_tmpdir=str(tmp_path), _ansible_check_mode=check_mode,
                    _ansible_diff=diff, _ansible_remote_tmp=str(tmp_path))
        monkeypatch.setattr(basic, '_ANSIBLE_ARGS', to_bytes(json.dumps(
            {'ANSIBLE_MODULE_ARGS': full})))
        with pytest.raises(Exit) as done:
            module_main()
        return done.value

    run.calls = calls
    return run


def report(*rows):
    return json.dumps(dict(results=list(rows)))


def test_apply_reports_each_reader_and_a_diff_for_each_that_differs(program):
    done = program(settings.main, dict(ports=['/dev/a', '/dev/b'], settings={'format': 1},
                                       baud=9600), (0, report(WRITTEN, MATCHING), ''), diff=True)
    assert not done.failed and done.result['changed']
    assert [r['messages'] for r in done.result['results']] == \
        [['mode: veltrix -> morvane', 'Filterslide defined', 'Stored'], []]
    assert done.result['diff'] == [dict(before_header='/dev/a', after_header='/dev/a',
                                        before='mode: veltrix\n', after='mode: morvane\n')]
    call = program.calls[0]
    assert call['argv'][:2] == ['/bin/vs', 'apply'] and call['argv'][3:] == [
        '--port', '/dev/a', '--port', '/dev/b', '--baud', '9600', '--json', '--quiet']
    assert call['profile'] == {'format': 1} and call['profile_mode'] == 0o600
    assert not os.path.exists(call['argv'][2])


def test_check_mode_is_the_dry_run_and_unchanged_readers_make_an_unchanged_task(program):
    done = program(settings.main, dict(ports=['/dev/b'], profile='/etc/p.json'),
                   (0, report(MATCHING), ''), check_mode=True)
    assert program.calls[0]['argv'] == ['/bin/vs', 'apply', '/etc/p.json', '--port', '/dev/b',
                                        '--json', '--quiet', '--dry-run']
    assert not done.failed and not done.result['changed'] and 'diff' not in done.result


def test_a_failed_reader_fails_the_task_and_keeps_every_result_and_the_change(program):
    done = program(settings.main, dict(ports=['/dev/a', '/dev/c'], profile='/p'),
                   (1, report(WRITTEN, FAILED), 'veltrix-settings: /dev/c: no reply'))
    assert done.failed and done.result['changed'] and done.result['failed_ports'] == ['/dev/c']
    assert done.result['msg'] == \
        'Failed on /dev/c: /dev/c: measurement: SS M_MODE: no reply within 0.6 s'
    assert [r['port'] for r in done.result['results']] == ['/dev/a', '/dev/c']
    assert done.result['results'][1]['failures'] == FAILED['failures']


def test_a_refused_profile_fails_with_the_program_s_message_and_no_results(program):
    def refuse(argv):
        return 2, '', 'veltrix-settings: %s: "mode" must be one of veltrix\n' % argv[2]
    done = program(settings.main, dict(ports=['/dev/a'], settings={'mode': 'x'}), refuse)
    assert done.failed and not done.result['changed'] and done.result['results'] == []
    assert done.result['msg'] == 'veltrix-settings: settings: "mode" must be one of veltrix'
    assert not os.path.exists(program.calls[0]['argv'][2])


@pytest.mark.parametrize('args, complaint', [
    (dict(ports=['/dev/a']), 'one of the following is required: profile, settings'),
    (dict(ports=['/dev/a'], profile='/p', settings={}), 'mutually exclusive'),
    (dict(ports=[], profile='/p'), 'name at least one port'),
    (dict(ports=['/dev/a', '/dev/a'], profile='/p'), '/dev/a is named twice'),
])
def test_bad_options_fail_before_the_program_runs(program, args, complaint):
    done = program(settings.main, args, (0, '', ''))
    assert done.failed and complaint in done.result['msg'] and program.calls == []


def test_info_reads_each_port_on_its_own_run_and_returns_the_profiles(program):
    def read(argv):
        port = argv[3]
        row = dict(MATCHING, port=port, profile={'format': 1, 'mode': port[-1]})
        return 0, report(row), ''
    done = program(settings_info.main, dict(ports=['/dev/a', '/dev/b'], trace='/t'), read,
                   check_mode=True)
    assert sorted(call['argv'][3] + ' ' + call['argv'][5] for call in program.calls) == \
        ['/dev/a /t.1', '/dev/b /t.2']
    assert not done.failed and not done.result['changed']
    assert [(r['port'], r['profile']['mode']) for r in done.result['results']] == \
        [('/dev/a', 'a'), ('/dev/b', 'b')]
    assert 'changed' not in done.result['results'][0]
