#!/usr/bin/env bash
# The Windows installer under Wine, silently: it installs per machine into Program Files with
# the programs, the README and the licence, a Start-menu shortcut, an entry in the installed-
# programs list and the wizard's COM registration; the installed programs run, and a client
# creates the automation object from the installed path; the silent uninstall then leaves no
# file, shortcut or registry key of the program behind.
#   installer.sh INSTALLER CLIENT     (WINEPREFIX and a running wineserver from the caller)
set -eu
installer=$1 client=$2
wine=wine64
root="$WINEPREFIX/drive_c/Program Files/Veltrix Instrument Settings"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Veltrix Instrument Settings"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltrix Instrument Settings'
status=0
fail() { echo "installer.sh: $*" >&2; status=1; }

# Every registry line of the machine and the user that names the program, its publisher or its
# COM ids.
our_keys() {
    local hive
    for hive in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
        $wine regedit /E "Z:${tmp//\//\\}\\$hive.reg" "$hive" </dev/null >/dev/null 2>&1 || true
        iconv -f UTF-16LE -t UTF-8 "$tmp/$hive.reg" 2>/dev/null | tr -d '\r' >"$tmp/$hive.txt" || true
        # An export that failed would hide every key.
        grep -q "^\[$hive\\\\Software" "$tmp/$hive.txt" || echo "(no export of $hive)"
        grep -i 'veltrix instrument settings\|VeltrixInstrumentSettings\|6A1E0D4' "$tmp/$hive.txt" || true
    done
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

$wine "$installer" /S </dev/null || fail "the installer failed"
for file in bin/veltrix-instrument-settings.exe bin/veltrix-settings.exe README.md LICENSE.txt \
            Uninstall.exe; do
    [ -f "$root/$file" ] || fail "not installed: $file"
done
[ -f "$menu/Veltrix Instrument Settings.lnk" ] || fail "no Start-menu shortcut in $menu"
entry=$($wine reg query "$uninstall_key" </dev/null 2>/dev/null | tr -d '\r') || true
for value in DisplayName DisplayVersion Publisher UninstallString; do
    grep -q "$value" <<<"$entry" || fail "the uninstall entry lacks $value"
done
grep -q 'DisplayVersion.*1\.0\.5' <<<"$entry" || fail "the uninstall entry has another version"
version=$($wine "$root/bin/veltrix-instrument-settings.exe" --version </dev/null 2>&1 | tr -d '\r') || true
grep -q "Veltrix Instrument Settings V 1.05" <<<"$version" || fail "the wizard's --version: $version"
version=$($wine "$root/bin/veltrix-settings.exe" --version </dev/null 2>&1 | tr -d '\r') || true
grep -q "1\.0\.5" <<<"$version" || fail "veltrix-settings --version: $version"

# The automation object from the installed program, which the installer registered.
installed='C:\Program Files\Veltrix Instrument Settings\bin\veltrix-instrument-settings.exe'
VELTRIX_COM_SERVER=$installed VELTRIX_COM_NO_REGISTER=1 $wine "$client" \
    --gtest_filter='ByClassIdAndProgId/*' </dev/null || fail "the installed object failed"

# The uninstaller copies itself away and returns at once; it is done when the folder, the
# Start-menu folder and its keys are gone (it removes them in that order), or 60 s have passed.
$wine "$root/Uninstall.exe" /S </dev/null || fail "the uninstaller failed"
for _ in $(seq 120); do
    [ -e "$root" ] || [ -e "$menu" ] || break
    sleep 0.5
done
for _ in $(seq 10); do
    left=$(our_keys)
    [ -n "$left" ] || break
    sleep 1
done
[ ! -e "$root" ] || fail "left behind: $(find "$root" | head -5)"
[ ! -e "$menu" ] || fail "the Start-menu folder is left"
[ -z "$left" ] || fail "registry left behind:"$'\n'"$left"
exit $status
