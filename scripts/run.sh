#!/usr/bin/env bash
# Builds Korvane.exe and starts it under Wine: on the current X display when
# there is one, otherwise in a private Xvfb. Installs what is missing first.
# The history and settings live in a Wine prefix of their own, which survives
# rebuilds: $KORVANE_WINEPREFIX (default ~/.local/share/korvane/wine).
set -euo pipefail
source "$(dirname "$0")/lib/setup.sh"

ensure_packages
ensure_sqlite

build=${KORVANE_BUILD_DIR:-$KORVANE_ROOT/build}
build_tree "$build" --target Korvane

prefix=${KORVANE_WINEPREFIX:-$HOME/.local/share/korvane/wine}
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$KORVANE_ROOT/scripts/lib/wine-prefix.sh" "$prefix"
    exec wine "$build/Korvane.exe"
fi

echo "No X display: starting Korvane in a private Xvfb (stop it with Ctrl+C)."
exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$KORVANE_ROOT/scripts/lib/desktop-session.sh" "$prefix" wine "$build/Korvane.exe"
