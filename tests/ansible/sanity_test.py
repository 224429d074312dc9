#!/usr/bin/env python3
"""Sanity checks of the collection, offline, with Debian's packages.

ansible-test sanity runs every test that needs nothing beyond ansible-core. Its other tests
install pinned packages from the network into virtual environments of their own, which a
machine without that network cannot do; of those, validate-modules (documentation against
argument_spec) and pep8 run here directly with Debian's voluptuous and pycodestyle, with
ansible-test's own settings and the collection's ignore file. ansible-doc is checked by the
collection test, the modules' imports by their unit tests.
"""

import argparse
import json
import os
import shutil
import subprocess
import tempfile

from ansible_kit import ansible_python, fail, install, tool

# The tests of ansible-test that need a virtual environment from the network.
NEED_NETWORK = ("ansible-doc", "import", "pep8", "pylint", "runtime-metadata",
                "validate-modules", "yamllint")


def run(env, command, cwd):
    done = subprocess.run(command, env=env, cwd=cwd, capture_output=True, text=True, timeout=600)
    return done.returncode, done.stdout + done.stderr


def ignored(collection):
    """(path, code) pairs of the ignore file, for validate-modules."""
    with open(os.path.join(collection, "tests", "sanity", "ignore-2.14.txt"),
              encoding="utf-8") as file:
        pairs = [line.split() for line in file if line.strip()]
    return {(path, code.split(":", 1)[1]) for path, code in pairs
            if code.startswith("validate-modules:")}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--collection", required=True)
    parser.add_argument("--dist", required=True)
    args = parser.parse_args()
    workdir = tempfile.mkdtemp(prefix="veltrix-sanity-")
    try:
        env = install(args.collection, args.dist, workdir)
        root = os.path.join(workdir, "collections")
        installed = os.path.join(root, "ansible_collections", "veltrix", "instruments")
        python = ansible_python()
        test = tool("ansible-test")

        command = [python, test, "sanity", "--python-interpreter", python, "--color", "no"]
        for name in NEED_NETWORK:
            command += ["--skip-test", name]
        rc, output = run(env, command, installed)
        if rc != 0:
            fail(f"ansible-test sanity: exit {rc}\n{output}")

        modules = sorted(os.path.join("plugins", "modules", name)
                         for name in os.listdir(os.path.join(installed, "plugins", "modules")))
        rc, output = run(dict(env, PYTHONPATH=root),
                         [python, validate_script(python), "--format", "json", "--arg-spec",
                          "--collection", "ansible_collections/veltrix/instruments",
                          "--collection-version", "1.0.0", *modules], installed)
        report = json.loads(output) if output.strip().startswith("{") else None
        if report is None:
            fail(f"validate-modules: exit {rc}\n{output}")
        allowed = ignored(installed)
        errors = [f"{path}: {error['code']}: {error['msg']}"
                  for path, found in report.items() for error in found["errors"]
                  if (path, error["code"]) not in allowed]
        if errors:
            fail("validate-modules:\n" + "\n".join(errors))

        rc, output = run(env, [python, "-m", "pycodestyle", "--max-line-length", "160",
                               "--config", os.devnull, "--ignore", "E402,E741,W503,W504",
                               "plugins", "tests"], installed)
        if rc != 0:
            fail(f"pycodestyle: exit {rc}\n{output}")
    finally:
        shutil.rmtree(workdir, ignore_errors=True)
    print("sanity: ansible-test sanity without its networked tests, validate-modules and pep8 "
          "passed")


def validate_script(python):
    """validate-modules' entry point in the ansible-test that python imports."""
    done = subprocess.run([python, "-c", "import ansible_test, os; "
                           "print(os.path.dirname(ansible_test.__file__))"],
                          capture_output=True, text=True, timeout=60)
    if done.returncode != 0:
        fail("ansible-test cannot be imported by " + python)
    return os.path.join(done.stdout.strip(), "_util", "controller", "sanity", "validate-modules",
                        "validate.py")


if __name__ == "__main__":
    main()
