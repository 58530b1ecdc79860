#!/usr/bin/env bash
# The set-up scripts on folders of their own, with stand-ins for Wine and npm
# that note their calls: a prefix folder is made, used or refused but never
# emptied; the SQLite fetch ends in time, says why and leaves no folder; a
# configure without GoogleTest's source leaves the tests out.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/korvane-setup-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
bin="$work/bin" home="$work/home" other="$work/other" users="$work/users"
mkdir -p "$bin" "$home" "$other" "$users/drive_c/users/me" "$work/tmp" "$work/sqlite"
echo notes >"$home/notes.txt" && echo kept >"$other/history.db" && echo kept >"$users/drive_c/users/me/.korvane.db"
touch "$users/system.reg" "$work/sqlite/sqlite3.c"
for tool in wine wineserver; do printf '#!/bin/sh\necho %s >>"%s/calls"\n' "$tool" "$work" >"$bin/$tool"; done
printf '#!/bin/sh\nmkdir -p "$WINEPREFIX/drive_c/users/me" && touch "$WINEPREFIX/system.reg"
ln -s "%s" "$WINEPREFIX/drive_c/users/me/Desktop"\n' "$home" >"$bin/wineboot"
chmod +x "$bin"/*
prepare() { PATH="$bin:$PATH" "$root/scripts/lib/wine-prefix.sh" "$1" >"$work/out" 2>&1; }
fetch() (
    source "$root/scripts/lib/setup.sh"
    SQLITE_DIR="$work/fetched" SQLITE_FETCH_SECONDS=1
    PATH="$bin:$PATH" TMPDIR="$work/tmp" ensure_sqlite >"$work/out" 2>&1
)
passes=0 failures=0
check() {
    if eval "$2"; then echo "ok: $1"; passes=$((passes + 1)); else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

check "a folder of other files, or a file, is refused by name and left whole" \
    '! prepare "$other" && grep -q "$other" "$work/out" && ! prepare "$other/history.db" &&
     [ "$(cat "$other/history.db")" = kept ] && [ ! -e "$work/calls" ]'
check "a Wine prefix without the mark is used as it is" \
    'prepare "$users" && [ "$(cat "$users/drive_c/users/me/.korvane.db")" = kept ] && [ -f "$users/.korvane-ready" ] &&
     [ ! -e "$work/calls" ]'
check "a missing folder becomes a prefix with real folders, the Linux one untouched" \
    'prepare "$work/new" && [ -d "$work/new/drive_c/users/me/Desktop" ] && [ ! -L "$work/new/drive_c/users/me/Desktop" ] &&
     [ -f "$home/notes.txt" ] && [ -f "$work/new/.korvane-ready" ]'
printf '#!/bin/sh\necho "npm ERR! 404 Not Found" >&2\nexit 1\n' >"$bin/npm" && chmod +x "$bin/npm"
check "a failed fetch shows npm's own error and leaves no folder" \
    '! fetch && grep -q "404 Not Found" "$work/out" && [ -z "$(ls -A "$work/tmp")" ]'
printf '#!/bin/sh\nexec sleep 30\n' >"$bin/npm"
check "a fetch with no answer ends at its time limit, saying so" \
    'start=$SECONDS; ! fetch && [ $((SECONDS - start)) -lt 10 ] && grep -q "no answer" "$work/out" &&
     [ -z "$(ls -A "$work/tmp")" ]'
check "a configure without GoogleTest's source leaves the tests out" \
    'cmake -S "$root" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DKORVANE_SQLITE_DIR="$work/sqlite" -DKORVANE_GOOGLETEST_DIR="$work/none" >"$work/out" 2>&1 &&
     [ -f "$work/build/Makefile" ] && [ ! -e "$work/build/tests" ]'

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
