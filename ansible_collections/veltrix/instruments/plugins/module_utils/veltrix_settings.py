# -*- coding: utf-8 -*-
# Copyright: 2026 Veltrix instrument settings team
"""Runs veltrix-settings on the managed host and turns its JSON report into Ansible results.

Both modules leave every exchange with a reader to the program: they build its command line,
read the one JSON document it prints ({"results": [row, ...]}, a row per port in --port order)
and map each row onto a result of their own.
"""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os

# The program's exit code for a bad command line or profile: it has opened no port then.
EXIT_USAGE = 2

# Options both modules take.
COMMON_ARGUMENTS = dict(
    ports=dict(type='list', elements='str', required=True),
    baud=dict(type='int'),
    trace=dict(type='path'),
    executable=dict(type='str', default='veltrix-settings'),
)

# Keys every row of the report has, whatever the command.
ROW_KEYS = ('port', 'model', 'firmware', 'changed', 'saved', 'ok', 'messages', 'error')
# Keys a row has for some commands only: the comparison (check, dry run, apply), the exchanges
# that failed, and the profile that was read (read).
OPTIONAL_KEYS = ('differences', 'failures', 'profile')


class ReportError(Exception):
    """The program printed something other than the report these modules read."""


def message_lines(messages):
    """The program's messages as one list of lines: a message box may span several lines."""
    lines = []
    for message in messages:
        lines.extend(line.rstrip() for line in message.splitlines() if line.strip())
    return lines


def parse_report(stdout, ports):
    """The report's rows, one per port in the order asked for; ReportError when it is not that."""
    try:
        document = json.loads(stdout)
    except ValueError as error:
        raise ReportError('the output is not JSON (%s)' % error)
    rows = document.get('results') if isinstance(document, dict) else None
    if not isinstance(rows, list) or not all(isinstance(row, dict) for row in rows):
        raise ReportError('the output has no "results" list of objects')
    reported = [row.get('port') for row in rows]
    if reported != list(ports):
        raise ReportError('it reports on %s, not on %s' % (reported, list(ports)))
    for row in rows:
        missing = [key for key in ROW_KEYS if key not in row]
        if missing:
            raise ReportError('the row of %s lacks %s' % (row['port'], ', '.join(missing)))
        if not isinstance(row['messages'], list):
            raise ReportError('the messages of %s are not a list' % row['port'])
    return rows


def reader_result(row, keys=ROW_KEYS):
    """One reader's result: the row's keys with its messages split into lines."""
    result = dict((key, row[key]) for key in keys)
    result['messages'] = message_lines(row['messages'])
    for key in OPTIONAL_KEYS:
        if key in row:
            result[key] = row[key]
    return result


def _shown(value):
    # A text (a mode name, or why the reader cannot hold a setting) as it is, the rest as JSON.
    return value if isinstance(value, str) else json.dumps(value)


def reader_diff(row):
    """Ansible's before/after for one reader, a line per differing setting; None when none."""
    differences = row.get('differences') or []
    if not differences:
        return None
    return dict(
        before_header=row['port'],
        after_header=row['port'],
        before=''.join('%s: %s\n' % (d['setting'], _shown(d['instrument'])) for d in differences),
        after=''.join('%s: %s\n' % (d['setting'], _shown(d['profile'])) for d in differences),
    )


def failure_message(results):
    """The task's message when readers failed: their ports, then each one's first failure."""
    failed = [result for result in results if not result['ok']]
    return 'Failed on %s: %s' % (
        ', '.join(result['port'] for result in failed),
        '; '.join('%s: %s' % (result['port'], result['error'] or 'no cause given')
                  for result in failed))


def usage_message(stderr, rc, replacements=None):
    """The program's own message for a command line or profile it refused, on one line."""
    text = stderr
    for old, new in (replacements or {}).items():
        text = text.replace(old, new)
    lines = [line.strip() for line in text.splitlines() if line.strip()]
    return '; '.join(lines) or 'veltrix-settings exited with %d and gave no message' % rc


def checked_ports(module):
    """The ports option, refused when empty or when it names a port twice."""
    ports = module.params['ports']
    if not ports:
        module.fail_json(msg='ports: name at least one port')
    for index, port in enumerate(ports):
        if port in ports[:index]:
            module.fail_json(msg='ports: %s is named twice' % port)
    return ports


def resolve_executable(module):
    """The program's path: a name is looked up on the PATH, a path must be executable."""
    executable = module.params['executable']
    if os.sep not in executable:
        return module.get_bin_path(executable, required=True)
    path = os.path.expanduser(executable)
    if not (os.path.isfile(path) and os.access(path, os.X_OK)):
        module.fail_json(msg='executable: %s is not an executable file' % path)
    return path


def line_options(baud, trace):
    """--baud and --trace as the program takes them."""
    argv = []
    if baud is not None:
        argv += ['--baud', str(baud)]
    if trace:
        argv += ['--trace', trace]
    return argv


def run(module, argv):
    """Runs the program; its report on standard output, failures on standard error. The
    arguments go as they are: ports and profiles are not shell words to expand."""
    return module.run_command(argv, errors='surrogate_or_replace', expand_user_and_vars=False)


def report_rows(module, argv, ports, rc, stdout, stderr, replacements=None):
    """The rows of a finished run; fails the task when the program refused its command line or
    profile (nothing opened then) or printed no report."""
    if rc == EXIT_USAGE or not stdout.strip():
        module.fail_json(msg=usage_message(stderr, rc, replacements), rc=rc, cmd=argv,
                         results=[], changed=False)
    try:
        return parse_report(stdout, ports)
    except ReportError as error:
        module.fail_json(msg='%s printed no report this module can read: %s' % (argv[0], error),
                         rc=rc, cmd=argv, stdout=stdout, stderr=stderr, results=[],
                         changed=False)
