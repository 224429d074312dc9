#!/usr/bin/env python3
"""The example playbook against a simulated reader, through Ansible on this machine.

The first run must report the apply as changed and leave the reader's stored state equal to
the profile; the second must report nothing changed and write nothing to the reader; a run on
a port with no reader must fail.
"""

import argparse
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile

# What each profile value is in the simulator's state file.
MODES = {"veltrix": 0, "morvane": 1, "dravell": 2, "oxq": 3}
MEASUREMENTS = {  # mode index, flashes, points, distance
    "normal": (0, 8, 3, 440),
    "accuracy": (1, 55, 3, 440),
    "center": (2, 22, 1, 175),
}
PLATE_KEYS = ("power_on", "measurement_end", "remote_on", "remote_off")
PLATE_VALUES = {"in": 1, "out": 2, "stay": 3}
# Commands that change the reader; a run that finds it matching sends none of them.
WRITE_COMMANDS = ("DF ", "DB CNF RCMODE ", "DN ", "DM ", "MM", "DB PLT SET ", "DB CNF WRITE")
PLATE_QUERY = "DB PLT SET ?"
RUN_TIMEOUT_S = 180


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def expected_state(profile):
    state = {"mode": MODES[profile["mode"]], "baud": profile["baud"], "filters": profile["filters"]}
    index, flashes, points, distance = MEASUREMENTS[profile["measurement"]]
    state.update(measurementMode=index, flashes=flashes, points=points, distance=distance)
    state["plate"] = [PLATE_VALUES[profile["plate"][key]] for key in PLATE_KEYS]
    return state


def start_simulator(sim, workdir):
    link = os.path.join(workdir, "reader")
    process = subprocess.Popen(
        [sim, "--link", link, "--state", os.path.join(workdir, "state.json"),
         "--log", os.path.join(workdir, "sim.jsonl")],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    ready, _, _ = select.select([process.stdout], [], [], 10)
    if not ready or not process.stdout.readline().strip():
        process.kill()
        fail("the simulator printed no pty path: " + process.stderr.read())
    return process, link


def received(workdir):
    with open(os.path.join(workdir, "sim.jsonl"), encoding="ascii") as log:
        return [entry["text"] for entry in map(json.loads, log) if entry["dir"] == "rx"]


def run_playbook(args, workdir, ports):
    """Exit code, the host's recap counts, and the apply task's status (ok, changed, fatal)."""
    env = dict(os.environ, ANSIBLE_STDOUT_CALLBACK="default", ANSIBLE_NOCOLOR="1",
               ANSIBLE_HOME=os.path.join(workdir, "ansible"),
               ANSIBLE_LOCAL_TEMP=os.path.join(workdir, "ansible-tmp"),
               ANSIBLE_REMOTE_TEMP=os.path.join(workdir, "ansible-tmp"))
    extra = {
        "veltrix_hosts": "localhost",
        "veltrix_ports": ports,
        "veltrix_settings": args.settings,
        "veltrix_profile": args.profile,
        "veltrix_profile_dest": os.path.join(workdir, "profile-on-host.json"),
        "ansible_python_interpreter": "{{ ansible_playbook_python }}",
    }
    command = [shutil.which("ansible-playbook"), "-i", "localhost,", "-c", "local",
               args.playbook, "-e", json.dumps(extra)]
    try:
        done = subprocess.run(command, env=env, capture_output=True, text=True,
                              timeout=RUN_TIMEOUT_S)
    except subprocess.TimeoutExpired:
        fail(f"ansible-playbook did not finish in {RUN_TIMEOUT_S} s")
    recap = re.search(r"^localhost\s*:\s*(.*)$", done.stdout, re.MULTILINE)
    status = re.search(r"^TASK \[Apply the profile to .*\n+(\w+): \[localhost\]", done.stdout,
                       re.MULTILINE)
    if not recap or not status:
        fail(f"no recap or apply task in the output (exit {done.returncode}):\n"
             f"{done.stdout}\n{done.stderr}")
    counts = {key: int(value) for key, value in re.findall(r"(\w+)=(\d+)", recap.group(1))}
    return done.returncode, counts, status.group(1), done.stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for name in ("sim", "settings", "playbook", "profile"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    if shutil.which("ansible-playbook") is None:
        fail("ansible-playbook is not installed (tools/install-deps.sh installs ansible-core)")
    with open(args.profile, encoding="utf-8") as file:
        profile = json.load(file)

    workdir = tempfile.mkdtemp(prefix="veltrix-ansible-")
    simulator, port = start_simulator(args.sim, workdir)
    try:
        rc, counts, apply, output = run_playbook(args, workdir, [port])
        if rc != 0 or counts["failed"] or apply != "changed":
            fail(f"first run: exit {rc}, apply {apply}:\n{output}")
        with open(os.path.join(workdir, "state.json"), encoding="ascii") as file:
            stored = json.load(file)
        want = expected_state(profile)
        got = {key: stored[key] for key in want}
        if got != want:
            fail(f"stored state {got} differs from the profile's {want}")
        first_run = len(received(workdir))

        rc, counts, apply, output = run_playbook(args, workdir, [port])
        if rc != 0 or counts["failed"] or counts["changed"] or apply != "ok":
            fail(f"second run: exit {rc}, apply {apply}:\n{output}")
        writes = [text for text in received(workdir)[first_run:]
                  if text.startswith(WRITE_COMMANDS) and text != PLATE_QUERY]
        if writes:
            fail(f"second run wrote to the reader: {writes}")

        rc, counts, apply, output = run_playbook(args, workdir,
                                                 [os.path.join(workdir, "no-reader")])
        if rc == 0 or counts["failed"] != 1 or apply != "fatal":
            fail(f"run on a missing port: exit {rc}, apply {apply}:\n{output}")
    finally:
        simulator.send_signal(signal.SIGTERM)
        simulator.wait(timeout=10)
        shutil.rmtree(workdir, ignore_errors=True)
    print("playbook: changed, then unchanged, then failed on a missing port, as expected")


if __name__ == "__main__":
    main()
