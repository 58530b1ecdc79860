#!/usr/bin/env bash
# Starts a built Korvane.exe under Wine in the user's prefix: on the current X
# display when there is one, otherwise on a private Xvfb. Ctrl+C ends it
# through the end of the Wine session, on which it saves (desktop-session.sh).
#   start-korvane.sh <Korvane.exe> <wine-prefix>
set -euo pipefail
source "$(dirname "$0")/setup.sh"
exe=$(realpath "$1")
prefix=$(realpath -m "$2")

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    run_session "$prefix" wine "$exe"
else
    echo "No X display: starting Korvane in a private Xvfb (stop it with Ctrl+C)."
    run_session --private-display "$prefix" wine "$exe"
fi
