#!/usr/bin/env bash
# Runs a command on the current X display with what Wine programs need around
# them: a window manager, a warm wineserver and a prepared prefix.
#   desktop-session.sh <wine-prefix> <command...>
# Meant to run inside xvfb-run (tests) or on a private display.
set -u
export WINEPREFIX=$(realpath -m "$1")
shift
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Without a window manager hiding a visible window blocks for seconds.
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!

"$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX" || { kill "$wm_pid"; exit 1; }

# A persistent wineserver and one warm-up process spare every test the
# start-up of Wine's services.
wineserver -p
wine cmd /c exit >/dev/null 2>&1

"$@"
rc=$?

# Wine goes before the X server, or it reports a broken connection.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
kill "$wm_pid" 2>/dev/null
wait "$wm_pid" 2>/dev/null
exit $rc
