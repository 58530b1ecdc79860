#!/usr/bin/env bash
# Makes sure a folder is a Wine prefix fit for unattended runs. A missing or
# empty folder becomes one, once: Windows 10, no crash dialog (it would hang
# forever without a user), and real folders in place of the links into the
# Linux home, so tests never write into it. A folder that already holds a
# Wine prefix (a user's own, or one whose mark went missing) is used as it
# is. Any other folder is refused. Nothing is ever deleted: the folder may
# hold a user's history.
#   wine-prefix.sh <prefix-dir>
set -u
prefix=$1
ready="$prefix/.korvane-ready"
# Left while a prefix is being made here, so that a run cut short is finished
# by the next one rather than taken for somebody else's folder.
making="$prefix/.korvane-making"
[ -f "$ready" ] && exit 0

if [ -e "$prefix" ] && [ ! -d "$prefix" ]; then
    echo "Cannot use $prefix as a Wine prefix: it is a file, not a folder. Nothing was changed." >&2
    exit 1
fi
if [ -d "$prefix" ] && [ ! -f "$making" ] && [ -n "$(ls -A "$prefix")" ]; then
    if [ -f "$prefix/system.reg" ] && [ -d "$prefix/drive_c" ]; then
        touch "$ready" || exit 1
        exit 0
    fi
    echo "Cannot use $prefix as a Wine prefix: it holds other files and no Wine prefix." \
        "Nothing was changed; choose a missing or empty folder." >&2
    exit 1
fi

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "Creating the Wine prefix $prefix (once; 10 to 20 seconds)"
mkdir -p "$prefix" && touch "$making" || exit 1
# A step that fails leaves the prefix unmarked: the next run makes it again.
failed() {
    echo "Making the Wine prefix $prefix failed at: $1. The next run tries again." >&2
    exit 1
}
wineboot -i >/dev/null 2>&1 || failed "wineboot"
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 ||
    failed "no crash dialog"
wine winecfg -v win10 >/dev/null 2>&1 || failed "Windows 10"
wineserver -w
# The links were made by wineboot a moment ago, in a prefix made here: taking
# one away leaves the Linux folder it points to as it was.
for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm -f "$link" && mkdir -p "$link" || failed "real folders for the links into the Linux home"
    fi
done
mv "$making" "$ready"
