"""The collection built and installed for a test, offline, and ansible-playbook run with it."""

import json
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RUN_TIMEOUT_S = 300


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def tool(name):
    path = shutil.which(name)
    if path is None:
        fail(f"{name} is not installed (tools/install-deps.sh installs ansible-core)")
    return path


def ansible_python():
    """The Python that runs Ansible's own programs (ansible-playbook's interpreter)."""
    with open(tool("ansible-playbook"), encoding="utf-8") as program:
        first = program.readline()
    return first[2:].split()[0] if first.startswith("#!") else "python3"


def run(env, command):
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=RUN_TIMEOUT_S)
    if done.returncode != 0:
        fail(f"{' '.join(command)}: exit {done.returncode}\n{done.stdout}{done.stderr}")


def install(source, dist, workdir):
    """Builds the collection into dist (the build tree) and installs it under workdir; the
    environment that makes Ansible use it, and nothing of the user's own configuration."""
    os.makedirs(dist, exist_ok=True)
    for old in os.listdir(dist):
        os.remove(os.path.join(dist, old))
    # An empty configuration of the test's own: none of the user's applies.
    config = os.path.join(workdir, "ansible.cfg")
    open(config, "w").close()
    env = dict(os.environ, ANSIBLE_HOME=os.path.join(workdir, "ansible"),
               ANSIBLE_LOCAL_TEMP=os.path.join(workdir, "ansible-tmp"),
               ANSIBLE_REMOTE_TEMP=os.path.join(workdir, "ansible-tmp"),
               ANSIBLE_CONFIG=config, ANSIBLE_NOCOLOR="1", PYTHONDONTWRITEBYTECODE="1")
    collections = os.path.join(workdir, "collections")
    galaxy = tool("ansible-galaxy")
    run(env, [galaxy, "collection", "build", source, "--output-path", dist])
    archives = [os.path.join(dist, name) for name in os.listdir(dist)]
    if len(archives) != 1:
        fail(f"ansible-galaxy collection build left {archives} in {dist}")
    run(env, [galaxy, "collection", "install", "--offline", "-p", collections, archives[0]])
    env["ANSIBLE_COLLECTIONS_PATH"] = collections
    return env


def playbook(env, inventory, path, *options, record=None):
    """Runs a playbook; its exit code and output, and each task result when record is a file."""
    env = dict(env, ANSIBLE_STDOUT_CALLBACK="default")
    if record:
        env.update(ANSIBLE_CALLBACK_PLUGINS=os.path.join(HERE, "callback_plugins"),
                   ANSIBLE_CALLBACKS_ENABLED="record", VELTRIX_RECORD=record)
        open(record, "w").close()
    command = [tool("ansible-playbook"), "-i", inventory, path, *options]
    try:
        done = subprocess.run(command, env=env, capture_output=True, text=True,
                              timeout=RUN_TIMEOUT_S)
    except subprocess.TimeoutExpired:
        fail(f"{' '.join(command)} did not finish in {RUN_TIMEOUT_S} s")
    results = []
    if record:
        with open(record, encoding="utf-8") as file:
            results = [json.loads(line) for line in file]
    return done.returncode, done.stdout + done.stderr, results
