#!/usr/bin/env bash
# Fails when a text the program shows has no finished translation in one of the languages, or when a
# translation is kept for a text that is gone. lupdate is run on copies, so the sources stay untouched.
set -euo pipefail
lupdate=$1
sources=$2
shift 2
[ $# -gt 0 ] || { echo "no translation sources given" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$@"; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    "$lupdate" -silent "$sources" -ts "$copy"
    if grep -q -E 'type="(unfinished|obsolete|vanished)"' "$copy"; then
        echo "$(basename "$ts"): unfinished, new or obsolete entries:"
        grep -B2 -E 'type="(unfinished|obsolete|vanished)"' "$copy" | grep '<source>' || true
        status=1
    fi
done
exit $status
