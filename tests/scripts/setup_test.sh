#!/usr/bin/env bash
# The set-up scripts on folders of their own, with stand-ins for Wine and npm
# that note their calls: a prefix folder is made, used or refused but never
# emptied, and a step that fails leaves it to be finished; a session takes a
# relative prefix as meant and, its starter killed, ends with the prefixes
# the tests made; runs on one build folder wait for each other, also for
# the end of the Wine session of a run killed outright; the SQLite
# fetch ends in time, says why and leaves no folder; a configure without
# GoogleTest's source leaves the tests out, and one with it finds a test at
# any depth.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/korvane-setup-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
bin="$work/bin" home="$work/home" other="$work/other" users="$work/users"
mkdir -p "$bin" "$home" "$other" "$users/drive_c/users/me" "$work/tmp" "$work/sqlite"
echo notes >"$home/notes.txt" && echo kept >"$other/history.db" && echo kept >"$users/drive_c/users/me/.korvane.db"
touch "$users/system.reg" "$work/sqlite/sqlite3.c" "$work/Korvane.exe"
# wine fails the step named in $work/failing; every call is noted with its prefix.
for tool in wine wineserver; do
    printf '#!/bin/sh\necho "%s $WINEPREFIX $*" >>"%s/calls"\n! grep -qx "$1" "%s/failing" 2>/dev/null\n' \
        "$tool" "$work" "$work" >"$bin/$tool"
done
# wineboot's end of a session is noted, and lasts while $work/hold-end is there.
printf '#!/bin/sh\nif [ "$1" = --end-session ]; then touch "%s/ending"; while [ -f "%s/hold-end" ]; do sleep 0.1; done; fi
[ "$1" = -i ] || exit 0\nmkdir -p "$WINEPREFIX/drive_c/users/me" && touch "$WINEPREFIX/system.reg"
ln -s "%s" "$WINEPREFIX/drive_c/users/me/Desktop"\n' "$work" "$work" "$home" >"$bin/wineboot"
printf '#!/bin/sh\n' >"$bin/xdpyinfo"
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
echo winecfg >"$work/failing"
check "a step that fails is named, and the prefix left unmarked is finished by the next run" \
    '! prepare "$work/half" && grep -q "Windows 10" "$work/out" && [ ! -e "$work/half/.korvane-ready" ] &&
     rm "$work/failing" && prepare "$work/half" && [ -f "$work/half/.korvane-ready" ]'
check "a relative prefix on the X display is the one meant, from any folder" \
    '(cd "$work" && PATH="$bin:$PATH" DISPLAY=:99 "$root/scripts/lib/start-korvane.sh" Korvane.exe rel/prefix) \
        >"$work/out" 2>&1 && grep -qx "wine $work/rel/prefix $work/Korvane.exe" "$work/calls"'
session_ends_with_its_owner() {
    sleep 60 &
    local owner=$! tests_prefix="$work/tmp/korvane-session.*/made-by-a-test"
    PATH="$bin:$PATH" DISPLAY=:99 TMPDIR="$work/tmp" KORVANE_SESSION_OWNER=$owner \
        "$root/scripts/lib/desktop-session.sh" "$work/new" sh -c 'mkdir "$KORVANE_SESSION_TMP/made-by-a-test" &&
            touch "$KORVANE_SESSION_TMP/made-by-a-test/system.reg" && exec sleep 60' >"$work/out" 2>&1 &
    local session=$!
    until compgen -G "$tests_prefix/system.reg" >/dev/null || ! kill -0 $session 2>/dev/null; do sleep 0.1; done
    grep -o "wineserver $work/tmp/korvane-session[^ ]*/made-by-a-test" "$work/calls" && return 1
    kill $owner
    wait $session
    ! compgen -G "$work/tmp/korvane-session.*" >/dev/null && grep -q "wineserver $work/tmp/korvane-session.*/made-by-a-test/ -k" "$work/calls"
}
check "a session whose starter is killed outright ends, and the prefixes the tests made go" session_ends_with_its_owner
build_run() (
    source "$root/scripts/lib/setup.sh"
    lock_build "$work/shared-build"
    echo "$1 in" >>"$work/order"
    local tries=100
    [ "$1" = second ] || until [ -f "$work/second-waits" ] || [ $((tries -= 1)) -eq 0 ]; do sleep 0.1; done
    echo "$1 out" >>"$work/order"
)
runs_wait_for_each_other() {
    build_run first >/dev/null &
    until [ -f "$work/order" ]; do sleep 0.1; done
    build_run second | tee "$work/out" | { read -r _ && touch "$work/second-waits" && cat >/dev/null; }
    wait
    [ "$(wc -l <"$work/out")" -eq 1 ] && grep -q "waiting for it to end" "$work/out" &&
        [ "$(cat "$work/order" | tr '\n' ,)" = "first in,first out,second in,second out," ]
}
check "a second run on one build folder waits for the first, saying so in one line" runs_wait_for_each_other
a_killed_runs_session_holds_the_next_back() {
    rm -f "$work/ending" && touch "$work/hold-end"
    PATH="$bin:$PATH" DISPLAY=:99 TMPDIR="$work/tmp" bash -c 'source "$1/scripts/lib/setup.sh" &&
        lock_build "$2/ended-build" && run_session "$2/new" sh -c "touch \"$2/tests-run\"; exec sleep 60"' \
        - "$root" "$work" >/dev/null 2>&1 &
    local first=$!
    until [ -f "$work/tests-run" ] || ! kill -0 $first 2>/dev/null; do sleep 0.1; done
    kill -KILL $first && wait $first 2>/dev/null
    local tries=100
    until [ -f "$work/ending" ] || [ $((tries -= 1)) -eq 0 ]; do sleep 0.1; done
    (source "$root/scripts/lib/setup.sh" && lock_build "$work/ended-build" && echo "next run in" >>"$work/calls") \
        >"$work/out" &
    local next=$!
    until [ -s "$work/out" ] || ! kill -0 $next 2>/dev/null; do sleep 0.1; done
    rm "$work/hold-end"
    wait $next
    grep -q "waiting for it to end" "$work/out" &&
        [ "$(tail -n 2 "$work/calls" | tr '\n' ,)" = "wineserver $work/new -w,next run in," ]
}
check "a run killed outright holds the next one back until its Wine has ended" a_killed_runs_session_holds_the_next_back
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
mkdir -p "$work/tree" && cp -rs "$root"/{CMakeLists.txt,cmake,src,lang,bench,tests} "$work/tree/" &&
    mkdir -p "$work/tree/tests/ui/kit" && echo 'TEST(Deep, Test) {}' >"$work/tree/tests/ui/kit/deep_test.cpp" &&
    touch "$work/tree/tests/ui/kit/deeper_test.py"
check "a test in a folder of a folder is one of the build's tests" \
    'cmake -S "$work/tree" -B "$work/tree-build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DKORVANE_SQLITE_DIR="$work/sqlite" -DKORVANE_TESTS=ON >"$work/out" 2>&1 &&
     ctest --test-dir "$work/tree-build" -N >"$work/out" && grep -q " deep_test$" "$work/out" &&
     grep -q " deeper_test$" "$work/out" && grep -q " settings_test$" "$work/out"'

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
