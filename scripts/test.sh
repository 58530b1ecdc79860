#!/usr/bin/env bash
# Builds Korvane and every test, then runs all tests under Wine in a private
# Xvfb display. Installs what is missing first. Exits non-zero on any failure.
#   KORVANE_BUILD_DIR  build folder (default: build)
#   extra arguments    passed to ctest (for example -R settings, or
#                      --repeat until-fail:20 -R quick_menu to look for a flake)
set -euo pipefail
source "$(dirname "$0")/lib/setup.sh"

ensure_packages
ensure_sqlite

build=${KORVANE_BUILD_DIR:-$KORVANE_ROOT/build}
lock_build "$build"
build_tree "$build"

jobs=$(nproc)
log="$build/last-test-run.log"
# A failed test gets one more run; one that fails twice fails the run. A test
# that needed the second run is a fault all the same (in the program or in
# the test), so the last line names every such test, and its first failure
# stays in the output above and in $log.
# An own --repeat among the arguments (until-fail:N, to look for a flake)
# takes the place of this one. The Python tests' harness notes every failure
# of Wine itself that it made up for in $notes; the last line names those too.
repeat=(--repeat until-pass:2)
for arg in "$@"; do
    case $arg in --repeat | --repeat=* | --repeat-until-fail) repeat=() ;; esac
done
notes="$build/wine-retries.log"
: >"$notes"
# The output goes to the terminal and $log; tee takes no Ctrl+C, so that the
# end of an interrupted run is seen too.
exec {out}> >(tee -i "$log")
tee_pid=$!
rc=0
run_session --private-display "$build/wineprefix" \
    ctest --test-dir "$build" --output-on-failure --timeout 600 -j "$jobs" "${repeat[@]}" "$@" >&"$out" 2>&1 || rc=$?
exec {out}>&-
wait "$tee_pid"
# A run cut short has no last line: what did not run cannot have needed a second run.
[ "$rc" -lt 128 ] || exit "$rc"
"$KORVANE_ROOT/scripts/lib/second-runs.sh" "$([ ${#repeat[@]} -eq 0 ] && echo - || echo "$log")" "$notes"
exit "$rc"
