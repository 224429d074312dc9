#!/usr/bin/env bash
# Runs a command while the Linux simulator plays the instrument on a pty behind LINK, the path
# that Wine maps a COM port onto; stops the simulator afterwards. The command can take the
# instrument away itself, when it is ready for that: it creates the file that
# VELTRIX_SIM_STOP_FILE names (as Wine sees it, on drive Z:), and the simulator is stopped.
# Exits with the command's status, or 2 when the simulator does not come up.
#   with-sim.sh SIMULATOR LINK [SIMULATOR OPTIONS...] -- COMMAND...
set -u
sim=$1 link=$2
shift 2
sim_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
shift

if [ ! -x "$sim" ]; then
    echo "with-sim.sh: no simulator at $sim (build it natively: cmake --build build/dev --target veltrix-sim)" >&2
    exit 2
fi
mkdir -p "$(dirname "$link")"
# A link or stop request left by an earlier run would be taken for this run's.
stop_file=$link.stop
rm -f "$link" "$stop_file"
"$sim" --link "$link" "${sim_args[@]}" >/dev/null &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; rm -f "$stop_file"' EXIT

# The link appears once the pty is open; give it 10 s.
for _ in $(seq 100); do
    [ -L "$link" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "with-sim.sh: the simulator ended" >&2; exit 2; }
    sleep 0.1
done
[ -L "$link" ] || { echo "with-sim.sh: no link $link after 10 s" >&2; exit 2; }
export VELTRIX_SIM_STOP_FILE="Z:${stop_file//\//\\}"
while kill -0 "$sim_pid" 2>/dev/null; do
    if [ -e "$stop_file" ]; then kill "$sim_pid" 2>/dev/null; break; fi
    sleep 0.05
done &

"$@"
