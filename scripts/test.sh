#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and checks all that CI checks:
#   formatting and cppcheck; that the Windows-only code compiles; the build and every test; the Debian
#   package, installed and started; every test again under AddressSanitizer with
#   UndefinedBehaviorSanitizer and the threaded ones under ThreadSanitizer (a report, or a suppression
#   entry that matched none, fails them); a short run of every fuzz target.
# With --quick it stops after the plain build's tests.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
case "${1:-}" in
    --quick) quick=1 ;;
    '') ;;
    *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac

scripts/setup.sh --fuzz --checks --package
# Rebuilds on a developer's machine reuse what compiled before; a fresh machine has no ccache.
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
scripts/check-style.sh
scripts/check-windows.sh

# Line tables only: backtraces still name file and line, and the build takes a quarter less time.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
cmake --build build
ctest --test-dir build --output-on-failure -j2
((quick)) && exit 0

scripts/package-check.sh

scripts/sanitize.sh address
scripts/sanitize.sh thread
scripts/fuzz.sh 20
