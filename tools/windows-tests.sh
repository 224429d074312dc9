#!/usr/bin/env bash
# Builds the core, the command line and their tests for Windows with mingw-w64 and runs the
# tests under Wine: the unit and protocol tests as they are, and the Windows serial port against
# the Linux simulator, which runs natively while Wine maps COM11 to COM20 onto its ptys; then
# the zip and the installer, which is installed and uninstalled silently under Wine.
# Works from a clean clone; prints how long each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
stage_start=$SECONDS
stage() {
    echo "windows-tests: $1 ($((SECONDS - stage_start)) s)"
    stage_start=$SECONDS
}

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    cmake ninja-build g++ ccache g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 googletest \
    nlohmann-json3-dev libcli11-dev xvfb imagemagick librsvg2-bin icoutils nsis fonts-wine >/dev/null
stage "packages"

# The simulator for Linux: the one of the dev build when there is one, else a build of its own.
if [ -f build/dev/build.ninja ]; then
    sim_build=build/dev
else
    sim_build=build/windows-sim
    cmake -S . -B "$sim_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELTRIX_GUI=OFF \
        -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$sim_build" -j2 --target veltrix-sim >/dev/null
stage "native simulator"

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset windows "${launcher[@]}" -DVELTRIX_NATIVE_SIM="$root/$sim_build/sim/veltrix-sim" \
    >/dev/null
cmake --build --preset windows
stage "cross build"

# A prefix of the build's own. Wine reads its port map when its server starts, so the ports
# are written first and the server started again afterwards.
export PATH=/usr/lib/wine:$PATH WINEPREFIX=$root/build/windows/wineprefix WINEDEBUG=-all
# No Mono or Gecko prompts, and no menu entries of installed programs on the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine64 wineboot -i </dev/null >/dev/null 2>&1
fi
ports_file=$root/build/windows/wine-ports.reg
{
    printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
    for n in $(seq 11 26); do printf '"COM%d"="%s/build/windows/wine-ports/com%d"\n' "$n" "$root" "$n"; done
} >"$ports_file"
# Drive Z: is the Linux root.
wine64 reg import "Z:${ports_file//\//\\}" </dev/null >/dev/null
# The window's look as on Windows: Wine draws the frames itself (there is no window manager
# on the test display), with its own Tahoma as the dialog font and Marlett for the caption
# buttons, which this Wine does not install into a new prefix.
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null
cp /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
wineserver -k || true
wineserver -w
stage "Wine prefix"

# A display of the run's own for the window's tests, never the machine's.
display_file=$root/build/windows/xvfb-display
rm -f "$display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "windows-tests: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$display_file")
stage "display"

# One server for the whole run, so that each test program starts at once; its services are
# started here with no terminal, so that no test's output pipe stays open behind them.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
wine64 wineboot </dev/null >/dev/null 2>&1
# A first program started while a new prefix is still settling may die before it prints
# anything; one program run here to its end takes that on, not a test.
wine64 build/windows/tests/support/test_support.exe --gtest_list_tests </dev/null >/dev/null 2>&1 || true
# Every test must pass at its first run. Wine now and then fails to start a process: the
# wrapper that runs each program under Wine (cmake/wine-run.sh) starts it again then, and only
# then, and notes it in the log below. A run with fewer tests than the suite has (a program
# whose tests could not be listed) fails the stage too.
min_tests=472
export VELTRIX_WINE_RUN_LOG=$root/build/windows/wine-restarts.log
rm -f "$VELTRIX_WINE_RUN_LOG"
ctest --preset windows | tee build/windows/ctest.log
ran=$(sed -n 's/.* tests failed out of \([0-9][0-9]*\)$/\1/p' build/windows/ctest.log)
if [ "${ran:-0}" -lt "$min_tests" ]; then
    echo "windows-tests: ${ran:-no} tests ran, at least $min_tests expected" >&2
    exit 1
fi
restarts=0
if [ -f "$VELTRIX_WINE_RUN_LOG" ]; then restarts=$(wc -l <"$VELTRIX_WINE_RUN_LOG"); fi
stage "tests ($ran run; Wine failed to start a program $restarts times)"

# The zip of the programs, with the README and the licence in it, and the installer.
(cd build/windows && cpack >/dev/null)
zip_file=$(ls build/windows/veltrix-settings-*-windows-x86_64.zip)
contents=$(cmake -E tar tf "$zip_file")
for want in bin/veltrix-settings.exe bin/veltrix-instrument-settings.exe README.md LICENSE.txt \
    doc/windows-wizard.png; do
    grep -q "/$want\$" <<<"$contents" || { echo "windows-tests: $zip_file lacks $want" >&2; exit 1; }
done
stage "zip and installer"

tests/windows/installer.sh "$(ls build/windows/veltrix-instrument-settings-*-windows-x86_64.exe)" \
    build/windows/tests/windows/com/test_com_client.exe
stage "installer under Wine"
