#!/usr/bin/env python3
"""A play over eight simulated readers on one host against the command line's own apply.

Each round applies the example profile to eight fresh simulated readers (replies paced at the
baud rate, as a real line would) three times: with `veltrix-settings apply`, with a play of the
settings task alone, and with the example playbook (the task and its report of each reader),
both through the collection with connection local. Every run writes every reader. Prints each
round's times and their ratios to the command line's: of the whole ansible-playbook run (its
start-up included) and of the play itself (from its start to its recap). The target: the
example's play in at most 1.3 times the command line's time.

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
    return wall, cpu, wall


# The settings task alone, as the example playbook runs it.
APPLY_ONLY = """
- name: Apply the profile
  hosts: lab-pc
  gather_facts: false
  tasks:
    - name: Apply the profile to every reader
      veltrix.instruments.settings:
        ports: "{{ veltrix_ports }}"
        settings: "{{ lookup('ansible.builtin.file', veltrix_profile) | from_json }}"
        baud: "{{ veltrix_baud }}"
        executable: "{{ veltrix_settings }}"
"""


def timed_play(args, env, play, profile, readers, workdir):
    inventory = os.path.join(workdir, "inventory.json")
    with open(inventory, "w", encoding="utf-8") as file:
        json.dump({"all": {"hosts": {"lab-pc": {
            "ansible_connection": "local",
            "ansible_python_interpreter": "{{ ansible_playbook_python }}",
            "veltrix_ports": [reader.port for reader in readers], "veltrix_baud": 9600}}}},
            file)
    start, cpu = time.monotonic(), children_cpu()
    rc, output, record = playbook(env, inventory, play,
                                  "-e", "veltrix_hosts=lab-pc", "-e", "veltrix_profile=" + profile,
                                  "-e", "veltrix_settings=" + args.settings,
                                  record=os.path.join(workdir, "record.jsonl"))
    wall, cpu = time.monotonic() - start, children_cpu() - cpu
    if rc != 0 or "changed=1" not in output:
        fail(f"play: exit {rc}\n{output}")
    events = {entry["event"]: entry["time"] for entry in record if "event" in entry}
    return wall, cpu, events["play end"] - events["play start"]


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
        apply_only = os.path.join(workdir, "apply-only.yml")
        with open(apply_only, "w", encoding="utf-8") as file:
            file.write(APPLY_ONLY)
        runs = {"command line": lambda: timed_cli(args, profile, readers),
                "task alone": lambda: timed_play(args, env, apply_only, profile, readers,
                                                 workdir),
                "example": lambda: timed_play(args, env, os.path.join(
                    EXAMPLES, "apply-profile.yml"), profile, readers, workdir)}
        ratios = {f"{name}, {part}": [] for name in ("task alone", "example")
                  for part in ("run", "play")}
        for round_number in range(args.rounds):
            times = {}
            for name, timed in runs.items():
                readers = fresh_readers(args.sim, workdir, round_number)
                times[name] = timed()
                for reader in readers:
                    reader.stop()
                readers = []
            cli = times["command line"][0]
            for name in ("task alone", "example"):
                ratios[name + ", run"].append(times[name][0] / cli)
                ratios[name + ", play"].append(times[name][2] / cli)
            print(f"round {round_number + 1}: command line {cli:.2f} s; " + "; ".join(
                f"{name}: run {wall:.2f} s (CPU {cpu:.2f} s), play {play:.2f} s"
                for name, (wall, cpu, play) in list(times.items())[1:]), flush=True)
        print(f"load average {os.getloadavg()[0]:.1f}; {FLEET} readers, over the command line "
              "(run: the whole ansible-playbook; play: from the play's start to its recap):")
        for name, values in ratios.items():
            print(f"  {name}: median {statistics.median(values):.3f} "
                  f"(min {min(values):.3f}, max {max(values):.3f})")
        print(f"target: the example's play at most {TARGET}")
        return 0 if statistics.median(ratios["example, play"]) <= TARGET else 1
    finally:
        for reader in readers:
            reader.stop()
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
