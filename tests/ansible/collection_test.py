#!/usr/bin/env python3
"""The collection builds and installs offline, and ansible-doc renders both modules' options,
examples and return values."""

import argparse
import json
import shutil
import subprocess
import tempfile

from ansible_kit import fail, install, tool

MODULES = {
    "veltrix.instruments.settings": {"ports", "profile", "settings", "baud", "trace",
                                     "executable"},
    "veltrix.instruments.settings_info": {"ports", "baud", "trace", "executable"},
}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--collection", required=True)
    parser.add_argument("--dist", required=True)
    args = parser.parse_args()
    workdir = tempfile.mkdtemp(prefix="veltrix-collection-")
    try:
        env = install(args.collection, args.dist, workdir)
        for module, options in MODULES.items():
            rendered = subprocess.run([tool("ansible-doc"), module], env=env, capture_output=True,
                                      text=True, timeout=120)
            data = subprocess.run([tool("ansible-doc"), "--json", module], env=env,
                                  capture_output=True, text=True, timeout=120)
            if rendered.returncode != 0 or data.returncode != 0 or rendered.stderr.strip():
                fail(f"ansible-doc {module}:\n{rendered.stdout}{rendered.stderr}{data.stderr}")
            doc = json.loads(data.stdout)[module]
            if set(doc["doc"]["options"]) != options or not doc["examples"].strip() \
                    or "results" not in doc["return"]:
                fail(f"ansible-doc {module}: options {sorted(doc['doc']['options'])}, "
                     f"examples or return values missing")
            for section in ("OPTIONS", "EXAMPLES", "RETURN VALUES"):
                if section not in rendered.stdout:
                    fail(f"ansible-doc {module} shows no {section}:\n{rendered.stdout}")
    finally:
        shutil.rmtree(workdir, ignore_errors=True)
    print("collection: built, installed, both modules documented")


if __name__ == "__main__":
    main()
