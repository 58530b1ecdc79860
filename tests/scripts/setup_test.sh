#!/usr/bin/env bash
# The set-up scripts on folders of their own, with stand-ins for Wine and npm
# on the PATH: a prefix folder is made, used or refused but never emptied, and
# the SQLite fetch ends in time, says why it failed and leaves no folder behind.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/korvane-setup-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
passes=0 failures=0
check() {  # check <what> <command...>
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Stand-ins: every call is noted; wineboot lays out what a new prefix holds,
# a link into the Linux home among it.
bin="$work/bin" home="$work/home"
mkdir -p "$bin" "$home" && echo notes >"$home/notes.txt"
for tool in wine wineserver npm; do printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$tool" "$work" >"$bin/$tool"; done
cat >"$bin/wineboot" <<EOF
#!/bin/sh
echo wineboot >>"$work/calls"
mkdir -p "\$WINEPREFIX/drive_c/users/me" && touch "\$WINEPREFIX/system.reg"
ln -s "$home" "\$WINEPREFIX/drive_c/users/me/Desktop"
EOF
chmod +x "$bin"/*
prepare() { PATH="$bin:$PATH" "$root/scripts/lib/wine-prefix.sh" "$1" >"$work/out" 2>&1; }
wine_ran() { [ -s "$work/calls" ]; }

other="$work/other" && mkdir -p "$other" && echo keep >"$other/history.db"
check "a folder of other files is refused, named, and left whole" \
    eval '! prepare "$other" && grep -q "$other" "$work/out" && [ "$(cat "$other/history.db")" = keep ] && ! wine_ran'
check "a file is refused" eval '! prepare "$other/history.db" && [ "$(cat "$other/history.db")" = keep ]'

users="$work/users" && mkdir -p "$users/drive_c/users/me" && touch "$users/system.reg"
echo kept >"$users/drive_c/users/me/.korvane.db"
check "a Wine prefix without the mark is used as it is" \
    eval 'prepare "$users" && [ "$(cat "$users/drive_c/users/me/.korvane.db")" = kept ] &&
          [ -f "$users/.korvane-ready" ] && ! wine_ran'

check "a missing folder becomes a prefix with real folders, the Linux one untouched" \
    eval 'prepare "$work/new" && [ -d "$work/new/drive_c/users/me/Desktop" ] &&
          [ ! -L "$work/new/drive_c/users/me/Desktop" ] && [ -f "$home/notes.txt" ] && [ -f "$work/new/.korvane-ready" ]'

# The SQLite fetch, with npm failing at once or giving no answer.
fetch() (
    source "$root/scripts/lib/setup.sh"
    SQLITE_DIR="$work/sqlite" SQLITE_FETCH_SECONDS=1
    export PATH="$bin:$PATH" TMPDIR="$work/tmp"
    ensure_sqlite >"$work/out" 2>&1
)
mkdir -p "$work/tmp"
printf '#!/bin/sh\necho "npm ERR! 404 Not Found" >&2\nexit 1\n' >"$bin/npm"
check "a failed fetch shows npm's own error and leaves no folder" \
    eval '! fetch && grep -q "404 Not Found" "$work/out" && [ -z "$(ls -A "$work/tmp")" ]'
printf '#!/bin/sh\nexec sleep 30\n' >"$bin/npm"
check "a fetch with no answer ends at its time limit, saying so" \
    eval 'start=$SECONDS; ! fetch && [ $((SECONDS - start)) -lt 10 ] && grep -q "no answer" "$work/out" &&
          [ -z "$(ls -A "$work/tmp")" ]'

# A configure where GoogleTest's source is not found (as on Windows) makes the
# program's build and no test tree.
mkdir -p "$work/sqlite" && touch "$work/sqlite/sqlite3.c"
check "a configure without GoogleTest's source leaves the tests out" \
    eval 'cmake -S "$root" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
          -DKORVANE_SQLITE_DIR="$work/sqlite" -DKORVANE_GOOGLETEST_DIR="$work/none" >"$work/out" 2>&1 &&
          [ -f "$work/build/Makefile" ] && [ ! -e "$work/build/tests" ]'

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
