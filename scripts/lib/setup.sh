# Shared by scripts/test.sh and scripts/run.sh: installs what the build needs
# when it is missing, and stays quiet when everything is already there.

KORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
KORVANE_CACHE="$KORVANE_ROOT/.cache"

# SQLite comes as the amalgamation shipped inside the better-sqlite3 npm
# package; the tarball is pinned by version and checksum.
SQLITE_NPM_PACKAGE=better-sqlite3@12.11.1
SQLITE_NPM_SHA256=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835
SQLITE_VERSION=3.53.2
SQLITE_DIR="$KORVANE_CACHE/sqlite-$SQLITE_VERSION"

DEBIAN_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth openbox
    x11-utils xclip xdotool imagemagick cmake make googletest sqlite3)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
    local missing=() p
    for p in "${DEBIAN_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    command -v python3 >/dev/null 2>&1 || missing+=(python3)
    command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        "${missing[@]}" >/dev/null
}

# The fetch is bounded in time and says why it failed; its temporary folder
# goes whichever way it ends. (npm stays in the terminal's process group, so
# Ctrl+C stops it at once.)
SQLITE_FETCH_SECONDS=180

ensure_sqlite() (
    [ -f "$SQLITE_DIR/sqlite3.c" ] && [ -f "$SQLITE_DIR/sqlite3.h" ] && exit 0
    echo "Fetching the SQLite $SQLITE_VERSION amalgamation ($SQLITE_NPM_PACKAGE)"
    tmp=$(mktemp -d) || exit 1
    trap 'rm -rf "$tmp"' EXIT
    trap 'exit 130' INT TERM
    rc=0
    (cd "$tmp" && timeout --foreground "$SQLITE_FETCH_SECONDS" npm pack --loglevel=error "$SQLITE_NPM_PACKAGE" \
        >"$tmp/npm.out" 2>"$tmp/npm.err") || rc=$?
    if [ "$rc" -ne 0 ]; then
        cat "$tmp/npm.err" >&2
        if [ "$rc" -eq 124 ]; then
            echo "npm pack $SQLITE_NPM_PACKAGE gave no answer in $SQLITE_FETCH_SECONDS s; nothing was fetched" >&2
        else
            echo "npm pack $SQLITE_NPM_PACKAGE failed (exit $rc); nothing was fetched" >&2
        fi
        exit 1
    fi
    tgz=$(ls "$tmp"/*.tgz)
    if ! echo "$SQLITE_NPM_SHA256  $tgz" | sha256sum -c --quiet -; then
        echo "Checksum mismatch for $SQLITE_NPM_PACKAGE" >&2
        exit 1
    fi
    tar -xzf "$tgz" -C "$tmp" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h || exit 1
    mkdir -p "$SQLITE_DIR"
    mv "$tmp/package/deps/sqlite3/sqlite3.c" "$tmp/package/deps/sqlite3/sqlite3.h" "$SQLITE_DIR/"
)

# Configures and builds into $1 (created when missing); quiet unless it fails.
build_tree() {
    local build=$1
    shift
    mkdir -p "$build"
    # Configuring every time is cheap, and picks up new source files and
    # targets before a single target is asked for.
    local toolchain=()
    if [ ! -f "$build/CMakeCache.txt" ]; then
        toolchain=(-DCMAKE_TOOLCHAIN_FILE="$KORVANE_ROOT/cmake/mingw-w64-x86_64.cmake")
        echo "Configuring and building in $build (the first build takes a few minutes)"
    fi
    # The tests are asked for: GoogleTest is installed above, and a build
    # folder that once lacked it must not go on without them.
    if ! cmake -S "$KORVANE_ROOT" -B "$build" "${toolchain[@]}" \
        -DKORVANE_SQLITE_DIR="$SQLITE_DIR" -DKORVANE_TESTS=ON >"$build/configure.log" 2>&1; then
        cat "$build/configure.log" >&2
        return 1
    fi
    local log="$build/build.log"
    if ! cmake --build "$build" -j "$(nproc)" "$@" >"$log" 2>&1; then
        grep -E -v '^\[ *[0-9]+%\]' "$log" | tail -n 100 >&2
        echo "Build failed; the whole log is $log" >&2
        return 1
    fi
}

# A build folder serves one run at a time: two would build the same files,
# and a test run's end stops the Wine session of the build's prefix, with the
# other run's tests in it. The lock lasts while this shell keeps the file
# open and, handed on by run_session, until the session has ended its Wine:
# a run killed outright lets its own copy go while its session is still
# ending, and a run let in then would join a Wine about to stop.
lock_build() {
    mkdir -p "$1"
    exec {KORVANE_BUILD_LOCK}>>"$1/.korvane-lock"
    if ! flock -n "$KORVANE_BUILD_LOCK"; then
        echo "Another run of scripts/ is using $1: waiting for it to end."
        flock "$KORVANE_BUILD_LOCK"
    fi
}

unlock_build() {
    exec {KORVANE_BUILD_LOCK}>&-
    unset KORVANE_BUILD_LOCK
}

# Runs desktop-session.sh (same arguments) as a session of its own, out of
# the terminal's reach: Ctrl+C would end Xvfb and every Wine program at once,
# Korvane without saving. This script takes Ctrl+C, TERM and HUP instead and
# passes them on as one request to end, and the session ends in order. The
# build lock, when this shell holds one, is the session's to keep.
# Returns the session's exit code, or 128 + the signal's number when stopped.
run_session() {
    KORVANE_SESSION_OWNER=$$ KORVANE_SESSION_LOCK=${KORVANE_BUILD_LOCK:-} \
        setsid "$KORVANE_ROOT/scripts/lib/desktop-session.sh" "$@" </dev/null &
    local session=$! stopped=0 rc=0
    trap 'stopped=130; kill -TERM $session 2>/dev/null' INT
    trap 'stopped=143; kill -TERM $session 2>/dev/null' TERM
    trap 'stopped=129; kill -TERM $session 2>/dev/null' HUP
    while :; do
        rc=0
        wait "$session" || rc=$?
        kill -0 "$session" 2>/dev/null || break
    done
    trap - INT TERM HUP
    [ "$stopped" -eq 0 ] || rc=$stopped
    return "$rc"
}
