#!/usr/bin/env bash
# Creates a Wine prefix fit for unattended runs, once: Windows 10, no crash
# dialog (it would hang forever without a user), and real folders in place of
# the links into the Linux home, so tests never write into it.
#   wine-prefix.sh <prefix-dir>
set -u
prefix=$1
[ -f "$prefix/.korvane-ready" ] && exit 0
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "Creating the Wine prefix $prefix (once; 10 to 20 seconds)"
rm -rf "$prefix"
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1 || { echo "wineboot failed for $prefix" >&2; exit 1; }
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine winecfg -v win10 >/dev/null 2>&1
wineserver -w
for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm -f "$link"
        mkdir -p "$link"
    fi
done
touch "$prefix/.korvane-ready"
