#!/usr/bin/env bash
# Installs what building, testing and running the wizard need on Debian 12.
set -euo pipefail

packages=(
    build-essential cmake ninja-build g++ clang clang-format libclang-rt-14-dev ccache
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-svg-dev libgl1-mesa-dev
    nlohmann-json3-dev libcli11-dev
    xvfb xauth dbus locales
    # The Ansible collection, its examples and tests: unit tests with pytest, and the sanity
    # checks that run without the network (validate-modules needs voluptuous, pep8 pycodestyle)
    ansible-core python3-pytest python3-voluptuous python3-pycodestyle
    # The Debian package and its checks
    dpkg-dev file lintian desktop-file-utils appstream
)

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi

"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${packages[@]}" >/dev/null
