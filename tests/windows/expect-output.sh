#!/usr/bin/env bash
# Runs a command and passes when it ends with status 0 and a line of its standard output
# matches PATTERN (an extended regular expression); shows the output either way.
#   expect-output.sh PATTERN COMMAND...
set -u
pattern=$1
shift
output=$("$@")
status=$?
printf '%s\n' "$output"
if [ "$status" -ne 0 ]; then
    echo "expect-output.sh: the command ended with status $status" >&2
    exit 1
fi
if ! grep -Eq -- "$pattern" <<<"$output"; then
    echo "expect-output.sh: no line matches '$pattern'" >&2
    exit 1
fi
