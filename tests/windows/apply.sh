#!/usr/bin/env bash
# A whole apply by the Windows command line under Wine, on a COM port that Wine maps onto the
# simulator's pty; then the state that the simulator stored on "DB CNF WRITE" is checked.
#   apply.sh WORKDIR SIMULATOR LINK COM COMMAND...   (COMMAND: Wine and the program)
set -eu
workdir=$1 sim=$2 link=$3 com=$4
shift 4
here=$(dirname "$0")
mkdir -p "$workdir"
cd "$workdir"
rm -f state.json
cat >profile.json <<'PROFILE'
{ "format": 1, "mode": "dravell", "baud": 4800,
  "filters": [405, 450, 492, 550, 600, 700], "measurement": "accuracy" }
PROFILE

# The instrument starts in Morvane mode at 9600 baud with its own filters.
"$here/with-sim.sh" "$sim" "$link" --model morvane --baud 9600 --state state.json \
    --filters 340-405-450-492-550-620 -- \
    "$@" apply profile.json --port "$com" --baud 9600

state=$(tr -d ' \n' <state.json)
status=0
for want in '"mode":2' '"baud":4800' '"filters":[405,450,492,550,600,700]'; do
    case $state in
        *"$want"*) ;;
        *) echo "apply.sh: the stored state lacks $want: $state" >&2; status=1 ;;
    esac
done
exit $status
