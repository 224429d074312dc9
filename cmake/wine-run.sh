#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests, and starts it again (twice at most) only when
# Wine failed to start it: the run ended with a failing status before the program wrote a
# single byte, on either stream, beyond Wine's own "wine: ..." lines. Every program the tests
# run writes before its own code can fail (GoogleTest its "Running main()" and test lines, the
# command line its message), so such a run never reached the program; any other failure is
# the program's and is passed on as it is, with its output.
#   wine-run.sh WINE PROGRAM [ARGUMENTS...]
set -u
wine=$1
shift
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

for attempt in 1 2 3; do
    "$wine" "$@" >"$out" 2>"$err"
    status=$?
    program_err=$(grep -v '^wine: ' "$err" | grep -c .)
    if [ "$status" -eq 0 ] || [ -s "$out" ] || [ "$program_err" -ne 0 ] || [ "$attempt" -eq 3 ]; then
        break
    fi
    note="wine-run.sh: Wine did not start $1 (status $status, no output$(
        [ -s "$err" ] && printf ': %s' "$(head -c 200 "$err" | tr '\n' ' ')")); starting it again"
    echo "$note" >&2
    # Kept for the stage's count when it asks for it.
    if [ -n "${VELTRIX_WINE_RUN_LOG:-}" ]; then echo "$note" >>"$VELTRIX_WINE_RUN_LOG"; fi
done
cat "$out"
cat "$err" >&2
exit "$status"
