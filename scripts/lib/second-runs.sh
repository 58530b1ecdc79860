#!/usr/bin/env bash
# Prints the last line of scripts/test.sh: every test whose first run failed
# (those that passed on the second run and those that failed again), read
# from the output of `ctest --repeat until-pass:2`, and every failure of Wine
# itself that the test harness made up for, read from the harness's notes.
#   second-runs.sh <ctest output file, or - when ctest had its own --repeat> <harness notes file>
ctest_log=$1
notes=$2
line=$(awk '
    # ctest prints one result line per run of a test:
    #   "12/66 Test #7: name ....   Passed    1.2 sec", "Test #7: name ....***Failed ..."
    match($0, /^ *([0-9]+\/[0-9]+ +)?Test +#[0-9]+: [^ ]+ /) {
        name = $0
        sub(/^ *([0-9]+\/[0-9]+ +)?Test +#[0-9]+: /, "", name)
        sub(/ .*/, "", name)
        if ($0 ~ /\.\.\. *Passed +[0-9.]+ sec/ || $0 ~ / Passed +[0-9.]+ sec/) {
            if (name in failed) passed_later[name] = 1
        } else if (!(name in failed)) {
            failed[name] = 1
            order[++n] = name
        }
    }
    END {
        if (n == 0) { print "Second runs: no test needed a second run"; exit }
        line = "Second runs: " n (n == 1 ? " test" : " tests") " needed a second run:"
        for (i = 1; i <= n; ++i)
            line = line (i > 1 ? "," : "") " " order[i] (order[i] in passed_later ? " (passed on it)" : " (failed again)")
        print line
    }
' "$([ "$ctest_log" = - ] && echo /dev/null || echo "$ctest_log")")
[ "$ctest_log" = - ] && line=""
if [ -s "$notes" ]; then
    count=$(wc -l <"$notes")
    what=$(awk '{ test = $1; $1 = ""; printf "%s%s (%s)", (NR > 1 ? ", " : ""), test, substr($0, 2) }' "$notes")
    line="${line:+$line; }Wine itself failed $([ "$count" -eq 1 ] && echo once || echo "$count times"), and the harness went on: $what"
fi
[ -z "$line" ] || echo "$line"
