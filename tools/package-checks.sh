#!/usr/bin/env bash
# Builds the Debian package in the release preset, installs it as a user would, checks that
# every installed program starts, runs lintian, desktop-file-validate and appstreamcli on what
# was installed, and removes the package again. Needs root (or sudo) for apt-get.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
package=veltrix-instrument-settings

cmake --preset release
cmake --build --preset release
rm -f build/release/*.deb build/release/*.ddeb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/${package}_*.deb)
ls build/release/${package}-dbgsym_*.ddeb >/dev/null

# Whatever happens below, the package does not stay installed.
cleanup() { "${as_root[@]}" apt-get remove -y -qq "$package" >/dev/null || true; }
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "./$deb" >/dev/null

# Each installed program answers --version.
for program in $(dpkg -L "$package" | grep '^/usr/bin/'); do
    echo "$program --version: $("$program" --version)"
done

# The window comes up on the simulated instrument and is still running two seconds later.
log=$(mktemp)
QT_QPA_PLATFORM=offscreen veltrix-instrument-settings --simulate >"$log" 2>&1 &
window=$!
sleep 2
if ! kill -0 "$window" 2>/dev/null; then
    echo "the window did not keep running:" >&2
    cat "$log" >&2
    exit 1
fi
kill "$window"
wait "$window" || true
rm -f "$log"

# lintian: no errors and no warnings.
lintian --fail-on error,warning "$deb"
desktop-file-validate /usr/share/applications/${package}.desktop
# Only the package's own metainfo: other packages' files are not ours to judge.
appstreamcli validate --no-net $(dpkg -L "$package" | grep '^/usr/share/metainfo/.*\.xml$')

cleanup
trap - EXIT
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    echo "the package was not removed" >&2
    exit 1
fi
echo "package checks passed: $deb"
