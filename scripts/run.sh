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
lock_build "$build"
build_tree "$build" --target Korvane
unlock_build

exec "$KORVANE_ROOT/scripts/lib/start-korvane.sh" "$build/Korvane.exe" \
    "${KORVANE_WINEPREFIX:-$HOME/.local/share/korvane/wine}"
