#!/usr/bin/env bash
# Runs a command with what Wine programs need around them: a prepared prefix,
# a warm wineserver and, on a display of its own, a window manager.
#   desktop-session.sh [--private-display] <wine-prefix> <command...>
# --private-display starts an Xvfb for the session; otherwise the current X
# display is used. Started through run_session (setup.sh), which passes
# Ctrl+C on as TERM.
#
# A session stops only what it started. A prefix whose wineserver already
# runs (Korvane started before, or other programs of that prefix) is joined:
# the command runs there, and the server and its programs are left running.
# A session that started the server ends it as a Windows logoff does: every
# program gets the end of the session (Korvane saves its settings then)
# before the server stops. Wine goes before the window manager and the
# display, or it reports a broken connection.
#
# The session ends when the command ends, on TERM, INT or HUP, or when the
# process KORVANE_SESSION_OWNER names is gone (a script killed outright).
# Prefixes that tests make in KORVANE_SESSION_TMP go with it, servers first.
# KORVANE_SESSION_LOCK names an open file descriptor (the build lock of the
# run that started the session), held until the session has ended.
set -u

# Only the standard streams go on: a build lock or a pipe of the script that
# started the session must not stay open in a server that lingers.
for fd in /proc/$$/fd/*; do
    fd=${fd##*/}
    [ "$fd" -gt 2 ] && [ "$fd" -lt 255 ] && [ "$fd" != "${KORVANE_SESSION_LOCK:-}" ] && eval "exec $fd>&-"
done
# The lock is kept by this process alone, which starts nothing but the
# session itself and outlives it: a program of the session that inherited
# the lock and lingered (a wineserver lives on for minutes) would hold the
# next run back with it.
if [ -n "${KORVANE_SESSION_LOCK:-}" ]; then
    lock=$KORVANE_SESSION_LOCK
    unset KORVANE_SESSION_LOCK
    "$0" "$@" {lock}>&- &
    session=$!
    trap 'kill -TERM $session 2>/dev/null' INT TERM HUP
    while :; do
        rc=0
        wait "$session" || rc=$?
        kill -0 "$session" 2>/dev/null || break
    done
    exit "$rc"
fi

private_display=false
if [ "$1" = --private-display ]; then
    private_display=true
    shift
fi
WINEPREFIX=$(realpath -m "$1")
shift
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Seconds an idle wineserver started here lives on: it outlives a run that
# was killed outright by that long at most. Long enough that no test run
# finds it gone: the first program of a new server starts Wine's services,
# which would hold that program's output pipes.
SERVER_IDLE_SECONDS=600
# A logoff waits this long for the programs' answers.
LOGOFF_SECONDS=30

own_server=false
stop_signal=""
command_pid="" wm_pid="" display_holder="" display_run="" watchdog=""
KORVANE_SESSION_TMP=$(mktemp -d "${TMPDIR:-/tmp}/korvane-session.XXXXXX") || exit 1
export KORVANE_SESSION_TMP

stop_wine() {
    if $own_server; then
        timeout "$LOGOFF_SECONDS" wineboot --end-session >/dev/null 2>&1
        own_server=false
        stop_process_group
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
    stop_process_group
    local prefix
    for prefix in "$KORVANE_SESSION_TMP"/*/; do
        [ -f "$prefix/system.reg" ] || continue
        WINEPREFIX=$prefix wineserver -k 2>/dev/null
        WINEPREFIX=$prefix wineserver -w 2>/dev/null
    done
    rm -rf "$KORVANE_SESSION_TMP"
}

# The command and all it started, asked to end, then made to.
stop_process_group() {
    [ -n "$command_pid" ] || return 0
    kill -TERM -- "-$command_pid" 2>/dev/null
    local tries=50
    while kill -0 -- "-$command_pid" 2>/dev/null && [ $((tries -= 1)) -gt 0 ]; do sleep 0.2; done
    kill -KILL -- "-$command_pid" 2>/dev/null
    wait "$command_pid" 2>/dev/null
    command_pid=""
}

finish() {
    local rc=$?
    trap '' INT TERM HUP
    [ -z "$watchdog" ] || kill "$watchdog" 2>/dev/null
    stop_wine
    if [ -n "$wm_pid" ]; then
        kill "$wm_pid" 2>/dev/null
        wait "$wm_pid" 2>/dev/null
    fi
    if [ -n "$display_holder" ]; then
        kill "$display_holder" 2>/dev/null
        wait "$display_run" 2>/dev/null
    fi
    exit "$rc"
}
trap finish EXIT
trap 'stop_signal=TERM' TERM
trap 'stop_signal=INT' INT
trap 'stop_signal=HUP' HUP
stop_if_asked() { [ -z "$stop_signal" ] || exit 143; }

if [ -n "${KORVANE_SESSION_OWNER:-}" ]; then
    (while kill -0 "$KORVANE_SESSION_OWNER" 2>/dev/null; do sleep 1; done; kill -TERM $$) &
    watchdog=$!
fi

if $private_display; then
    # xvfb-run finds a free display and its authority; a holder process keeps
    # it up until the session lets it go.
    exec {display}< <(xvfb-run -a -s "-screen 0 1280x1024x24" \
        sh -c 'echo "$DISPLAY $XAUTHORITY $$"; exec sleep infinity' 2>/dev/null)
    display_run=$!
    if ! read -r -u "$display" DISPLAY XAUTHORITY display_holder; then
        stop_if_asked
        echo "Xvfb did not start" >&2
        exit 1
    fi
    exec {display}<&-
    export DISPLAY XAUTHORITY
    # Without a window manager hiding a visible window blocks for seconds.
    openbox --sm-disable >/dev/null 2>&1 &
    wm_pid=$!
fi
stop_if_asked

"$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX" || exit 1
stop_if_asked

# A persistent wineserver and one warm-up process spare every program the
# start-up of Wine's services. Exit code 2: a server of that prefix runs.
wineserver -p"$SERVER_IDLE_SECONDS" >/dev/null 2>&1
case $? in
0)
    own_server=true
    wine cmd /c exit >/dev/null 2>&1
    ;;
2) echo "Wine already runs in $WINEPREFIX: joining it, and leaving it running at the end." ;;
*)
    echo "wineserver did not start for $WINEPREFIX" >&2
    exit 1
    ;;
esac
stop_if_asked

# In a process group of its own, so that all it started can be stopped.
setsid "$@" &
command_pid=$!
rc=0
while [ -z "$stop_signal" ]; do
    wait "$command_pid"
    rc=$?
    kill -0 "$command_pid" 2>/dev/null || break
done
stop_if_asked
exit "$rc"
