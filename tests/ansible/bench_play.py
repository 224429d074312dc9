#!/usr/bin/env python3
"""A play over eight simulated readers on one host against the command line's own apply.

Each round starts eight fresh simulated readers (replies paced at the baud rate, as a real
line would), applies the example profile to all of them with `veltrix-settings apply`, starts
eight fresh ones again and applies the same profile with the example playbook through the
collection (connection local). Both writes every reader. Prints each round's wall times and the
ratio play / command line; the target is at most 1.3.

    tests/ansible/bench_play.py --sim build/bench/sim/veltrix-sim \\
        --settings build/bench/cli/veltrix-settings [--rounds 3]
"""

import argparse
import json
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from ansible_kit import fail, install, playbook
from playbook_test import Reader

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(os.path.dirname(os.path.dirname(HERE)), "examples", "ansible")
COLLECTION = os.path.join(os.path.dirname(os.path.dirname(HERE)), "ansible_collections",
                          "veltrix", "instruments")
FLEET = 8
TARGET = 1.3


def children_cpu():
    """User and system time of the processes this one waited for: the run and its children."""
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def fresh_readers(sim, workdir, round_number):
    folder = os.path.join(workdir, f"round-{round_number}-{time.monotonic_ns()}")
    os.makedirs(folder)
    return [Reader(sim, folder, f"r{i}", ["--pace"]) for i in range(FLEET)]


def timed_cli(args, profile, readers):
    command = [args.settings, "apply", profile, "--json", "--quiet", "--baud", "9600"]
    for reader in readers:
        command += ["--port", reader.port]
    start, cpu = time.monotonic(), children_cpu()
    done = subprocess.run(command, capture_output=True, text=True, timeout=600)
    wall, cpu = time.monotonic() - start, children_cpu() - cpu
    rows = json.loads(done.stdout)["results"] if done.stdout.strip() else []
    if done.returncode != 0 or not all(row["ok"] and row["changed"] for row in rows):
        fail(f"command line apply: exit {done.returncode}\n{done.stdout}{done.stderr}")
    return wall, cpu


def timed_play(args, env, profile, readers, workdir):
    inventory = os.path.join(workdir, "inventory.json")
    with open(inventory, "w", encoding="utf-8") as file:
        json.dump({"all": {"hosts": {"lab-pc": {
            "ansible_connection": "local",
            "ansible_python_interpreter": "{{ ansible_playbook_python }}",
            "veltrix_ports": [reader.port for reader in readers], "veltrix_baud": 9600}}}},
            file)
    start, cpu = time.monotonic(), children_cpu()
    rc, output, _ = playbook(env, inventory, os.path.join(EXAMPLES, "apply-profile.yml"),
                             "-e", "veltrix_hosts=lab-pc", "-e", "veltrix_profile=" + profile,
                             "-e", "veltrix_settings=" + args.settings)
    wall, cpu = time.monotonic() - start, children_cpu() - cpu
    if rc != 0 or "changed=1" not in output:
        fail(f"play: exit {rc}\n{output}")
    return wall, cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--settings", required=True)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    args.sim, args.settings = os.path.abspath(args.sim), os.path.abspath(args.settings)
    profile = os.path.join(EXAMPLES, "profile.json")
    workdir = tempfile.mkdtemp(prefix="veltrix-bench-play-")
    readers = []
    try:
        env = install(COLLECTION, os.path.join(workdir, "dist"), workdir)
        ratios = []
        for round_number in range(args.rounds):
            readers = fresh_readers(args.sim, workdir, round_number)
            cli, cli_cpu = timed_cli(args, profile, readers)
            for reader in readers:
                reader.stop()
            readers = fresh_readers(args.sim, workdir, round_number)
            play, play_cpu = timed_play(args, env, profile, readers, workdir)
            for reader in readers:
                reader.stop()
            readers = []
            ratios.append(play / cli)
            print(f"round {round_number + 1}: command line {cli:.2f} s (CPU {cli_cpu:.2f} s), "
                  f"play {play:.2f} s (CPU {play_cpu:.2f} s), ratio {play / cli:.3f}",
                  flush=True)
        median = statistics.median(ratios)
        print(f"load average {os.getloadavg()[0]:.1f}; "
              f"{FLEET} readers: play / command line median {median:.3f} "
              f"(min {min(ratios):.3f}, max {max(ratios):.3f}); target at most {TARGET}")
        return 0 if median <= TARGET else 1
    finally:
        for reader in readers:
            reader.stop()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
