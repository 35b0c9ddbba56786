#!/usr/bin/env bash
# sanitize.sh address|thread
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer (address) or ThreadSanitizer (thread) and
# runs the tests: every suite under the first, the threaded ones under the second. Any report fails its
# test, and so does a suppression entry that no report matched.
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:?usage: $0 address|thread}
case "$kind" in
    address) dir=build-asan supp=tests/lsan.supp ;;
    thread) dir=build-tsan supp=tests/tsan.supp ;;
    *) echo "usage: $0 address|thread" >&2; exit 2 ;;
esac

# -O1 with line tables only: what the sanitizers' own documentation suggests, and it compiles in half the
# time of -O2 -g while every report still names file and line.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DBB_SANITIZE="$kind" -DBB_BUILD_BENCH=OFF
cmake --build "$dir"

# Verbose, so the log also holds what passing tests printed: the suppressions they used.
log="$dir/sanitizer-tests.log"
if ! ctest --test-dir "$dir" -j2 -V >"$log" 2>&1; then
    # Each line of a test's output starts with its number; show the whole output of every failed test.
    for n in $(sed -nE 's/^[[:space:]]*([0-9]+) - .*\((Failed|Timeout|SEGFAULT|Subprocess aborted|Exception|Child aborted|Not Run).*\)$/\1/p' "$log"); do
        grep -E "^$n: " "$log" || true
    done
    tail -n 30 "$log"
    exit 1
fi
tail -n 3 "$log"
scripts/check-suppressions.sh "$supp" "$log"
