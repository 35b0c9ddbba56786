#!/usr/bin/env bash
# check-suppressions.sh <suppression file> <test log>...
# Fails when an entry of the suppression file matched nothing in the logs (a stale entry hides nothing
# today and may hide a real report tomorrow), or when an entry names anything but Qt's own code.
# The logs are the output of test runs with print_suppressions=1, which makes ThreadSanitizer list
# "<count> <type>:<pattern>" and LeakSanitizer "<count> <bytes> <pattern>" under "Suppressions used:".
set -euo pipefail
supp=$1
shift

# What the runs used, as type:pattern.
used=$(cat "$@" | sed -E 's/^[0-9]+: //' | awk '
    /ThreadSanitizer: Matched [0-9]+ suppressions/ { tsan = 1; next }
    tsan && $1 ~ /^[0-9]+$/ && $2 ~ /^[a-z_]+:/ { print $2; next }
    { tsan = 0 }
    /^Suppressions used:/ { lsan = 1; next }
    lsan && $1 ~ /^[0-9]+$/ && $2 ~ /^[0-9]+$/ { print "leak:" $3; next }
    lsan && $1 == "count" { next }
    { lsan = 0 }
' | sort -u)

status=0
while IFS= read -r entry; do
    case "$entry" in '' | '#'*) continue ;; esac
    pattern=${entry#*:}
    if ! [[ $pattern =~ ^(Q|libQt|libq) ]]; then
        echo "$supp: '$entry' names code that is not Qt's" >&2
        status=1
    fi
    if ! grep -qxF "$entry" <<<"$used"; then
        echo "$supp: '$entry' matched no report: remove it" >&2
        status=1
    fi
done <"$supp"
((status)) || echo "$supp: every entry matched a report"
exit $status
