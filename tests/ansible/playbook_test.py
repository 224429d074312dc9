#!/usr/bin/env python3
"""The example playbooks with the veltrix.instruments collection, run by ansible-playbook on
this machine against simulated readers: two inventory hosts (connection local) with two readers
each, one host searching the rate and one given it.

In order: --check --diff on fresh readers reports every reader as changed, shows each one's
differences and writes nothing; the apply changes and stores every reader; a second apply writes
nothing; the read playbook turns what a reader holds into a profile; with one reader killed, a
second profile fails that reader's host alone while its other reader and the other host are
written and stored; a bad profile fails every host before a byte goes to any reader.
"""

import argparse
import json
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile

from ansible_kit import fail, install, playbook

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
HOSTS = {"lab-pc-1": ("a1", "a2"), "lab-pc-2": ("b1", "b2")}
SETTINGS = "veltrix.instruments.settings"
INFO = "veltrix.instruments.settings_info"


def expected_state(profile):
    state = {"mode": MODES[profile["mode"]], "baud": profile["baud"], "filters": profile["filters"]}
    index, flashes, points, distance = MEASUREMENTS[profile["measurement"]]
    state.update(measurementMode=index, flashes=flashes, points=points, distance=distance)
    if "plate" in profile:
        state["plate"] = [PLATE_VALUES[profile["plate"][key]] for key in PLATE_KEYS]
    return state


class Reader:
    """A simulated reader on a pty behind a link in the work folder, with its state and log."""

    def __init__(self, sim, workdir, name, options=()):
        self.port = os.path.join(workdir, name)
        self.state = os.path.join(workdir, name + ".state.json")
        self.log = os.path.join(workdir, name + ".jsonl")
        self.seen = 0
        self.process = subprocess.Popen(
            [sim, "--link", self.port, "--state", self.state, "--log", self.log, *options],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        ready, _, _ = select.select([self.process.stdout], [], [], 10)
        if not ready or not self.process.stdout.readline().strip():
            self.stop()
            fail("the simulator printed no pty path: " + self.process.stderr.read())

    def received(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="ascii") as log:
            return [entry["text"] for entry in map(json.loads, log) if entry["dir"] == "rx"]

    def mark(self):
        self.seen = len(self.received())

    def writes_since_mark(self):
        return [text for text in self.received()[self.seen:]
                if text.startswith(WRITE_COMMANDS) and text != PLATE_QUERY]

    def stored(self):
        if not os.path.exists(self.state):
            return None
        with open(self.state, encoding="ascii") as file:
            stored = json.load(file)
        return {key: stored[key] for key in ("mode", "baud", "filters", "measurementMode",
                                             "flashes", "points", "distance", "plate")}

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            self.process.wait(timeout=10)


def recap(output):
    """Each host's counts from the play recap."""
    return {host: {key: int(value) for key, value in re.findall(r"(\w+)=(\d+)", counts)}
            for host, counts in re.findall(r"^(\S+)\s*:\s*(ok=.*)$", output, re.MULTILINE)}


def module_results(results, action):
    """The result of the task running action, per host."""
    return {entry["host"]: entry for entry in results if entry.get("action") == action}


class Lab:
    def __init__(self, args, workdir):
        self.args = args
        self.workdir = workdir
        self.env = install(args.collection, args.dist, workdir)
        self.readers = {}
        try:
            for names in HOSTS.values():
                for name in names:
                    self.readers[name] = Reader(args.sim, workdir, name)
        except BaseException:
            self.stop()
            raise
        hosts = {host: {"veltrix_ports": [self.readers[name].port for name in names]}
                 for host, names in HOSTS.items()}
        hosts["lab-pc-2"]["veltrix_baud"] = 9600
        inventory = {"all": {
            "vars": {"ansible_connection": "local",
                     "ansible_python_interpreter": "{{ ansible_playbook_python }}"},
            "children": {"reference": {"hosts": {"lab-pc-1": None}},
                         "readers": {"hosts": hosts}}}}
        self.inventory = os.path.join(workdir, "inventory.json")
        with open(self.inventory, "w", encoding="utf-8") as file:
            json.dump(inventory, file)

    def profile(self, name, profile):
        path = os.path.join(self.workdir, name)
        with open(path, "w", encoding="utf-8") as file:
            json.dump(profile, file)
        return path

    def play(self, name, *options):
        """Exit code, output, recap and each host's settings (or settings_info) result."""
        for reader in self.readers.values():
            reader.mark()
        rc, output, results = playbook(self.env, self.inventory,
                                       os.path.join(self.args.examples, name), *options,
                                       "-e", "veltrix_settings=" + self.args.settings,
                                       record=os.path.join(self.workdir, "record.jsonl"))
        return rc, output, recap(output), results

    def stop(self):
        for reader in self.readers.values():
            reader.stop()


def check(condition, what, output):
    if not condition:
        fail(f"{what}\n{output}")


def readers_of(result):
    return {row["port"]: row for row in result["result"].get("results", [])}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for name in ("sim", "settings", "examples", "collection", "dist"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    with open(os.path.join(args.examples, "profile.json"), encoding="utf-8") as file:
        profile = json.load(file)
    second = dict(profile, measurement="center", filters=[405, 450, 492, 550, 600, 620])

    workdir = tempfile.mkdtemp(prefix="veltrix-ansible-")
    lab = None
    try:
        lab = Lab(args, workdir)
        first = lab.profile("first.json", profile)
        rc, output, counts, results = lab.play("apply-profile.yml", "--check", "--diff",
                                               "-e", "veltrix_profile=" + first)
        applied = module_results(results, SETTINGS)
        check(rc == 0 and sorted(applied) == sorted(HOSTS), f"check mode: exit {rc}", output)
        for host, names in HOSTS.items():
            rows = readers_of(applied[host])
            check(applied[host]["status"] == "changed" and len(rows) == 2
                  and all(row["changed"] and not row["saved"] for row in rows.values()),
                  f"check mode on {host}: not every reader would change", output)
            diffs = {diff["before_header"]: diff for diff in applied[host]["result"].get("diff", [])}
            for name in names:
                port = lab.readers[name].port
                check(port in diffs and "mode: veltrix" in diffs[port]["before"]
                      and "mode: morvane" in diffs[port]["after"]
                      and f"--- before: {port}" in output and "-measurement: normal" in output,
                      f"check mode: no diff of {port}'s settings", output)
        for name, reader in lab.readers.items():
            check(not reader.writes_since_mark() and reader.stored() is None,
                  f"check mode wrote to {name}: {reader.writes_since_mark()}", output)

        rc, output, counts, results = lab.play("apply-profile.yml",
                                               "-e", "veltrix_profile=" + first)
        applied = module_results(results, SETTINGS)
        check(rc == 0 and all(counts[host]["changed"] == 1 for host in HOSTS)
              and all(applied[host]["status"] == "changed" for host in HOSTS),
              f"first apply: exit {rc}, recap {counts}", output)
        check("\\n" not in output, "the output shows a literal \\n", output)
        for name, reader in lab.readers.items():
            check(reader.stored() == expected_state(profile),
                  f"{name} holds {reader.stored()}, not {expected_state(profile)}", output)

        rc, output, counts, results = lab.play("apply-profile.yml",
                                               "-e", "veltrix_profile=" + first)
        applied = module_results(results, SETTINGS)
        check(rc == 0 and all(counts[host]["changed"] == 0 for host in HOSTS)
              and all(applied[host]["status"] == "ok" for host in HOSTS),
              f"second apply: exit {rc}, recap {counts}", output)
        for name, reader in lab.readers.items():
            check(not reader.writes_since_mark(),
                  f"the second apply wrote to {name}: {reader.writes_since_mark()}", output)

        read = os.path.join(workdir, "read.json")
        rc, output, counts, results = lab.play("read-profile.yml", "-e", "veltrix_profile=" + read)
        info = module_results(results, INFO).get("lab-pc-1")
        check(rc == 0 and info and info["status"] == "ok" and os.path.exists(read),
              f"read: exit {rc}", output)
        with open(read, encoding="utf-8") as file:
            check(expected_state(json.load(file)) == lab.readers["a1"].stored(),
                  "the profile read differs from what the reader holds", output)

        lab.readers["a2"].stop()
        rc, output, counts, results = lab.play("apply-profile.yml",
                                               "-e", "veltrix_profile=" + lab.profile(
                                                   "second.json", second))
        applied = module_results(results, SETTINGS)
        killed = lab.readers["a2"].port
        failed = applied["lab-pc-1"]
        rows = readers_of(failed)
        check(rc != 0 and failed["status"] == "failed" and failed["result"]["changed"]
              and failed["result"]["failed_ports"] == [killed] and killed in failed["result"]["msg"]
              and rows[killed]["ok"] is False
              and rows[lab.readers["a1"].port]["changed"] and rows[lab.readers["a1"].port]["saved"],
              f"killed reader: exit {rc}, lab-pc-1 not failed on {killed} alone", output)
        check(applied["lab-pc-2"]["status"] == "changed" and counts["lab-pc-2"]["failed"] == 0,
              "killed reader: the other host did not go on", output)
        for name in ("a1", "b1", "b2"):
            check(lab.readers[name].stored() == expected_state(second),
                  f"killed reader: {name} does not hold the second profile", output)

        bad = lab.profile("bad.json", dict(profile, mode="bogus"))
        rc, output, counts, results = lab.play("apply-profile.yml", "-e", "veltrix_profile=" + bad)
        applied = module_results(results, SETTINGS)
        for host in HOSTS:
            result = applied[host]["result"]
            check(applied[host]["status"] == "failed" and result["results"] == []
                  and result["msg"].startswith("veltrix-settings: settings: \"mode\" must be"),
                  f"bad profile on {host}: not failed with the program's message", output)
        for name in ("a1", "b1", "b2"):
            check(not lab.readers[name].received()[lab.readers[name].seen:],
                  f"bad profile: {name} was sent commands", output)
    finally:
        if lab:
            lab.stop()
        shutil.rmtree(workdir, ignore_errors=True)
    print("playbooks: check mode, apply, idempotent apply, read, a killed reader and a bad "
          "profile as expected")


if __name__ == "__main__":
    main()
