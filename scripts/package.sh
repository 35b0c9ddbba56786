#!/usr/bin/env bash
# Builds the Debian package from the plain build in build/ (configured and built here when missing) and
# prints its path, alone on standard output; progress goes to standard error.
# Install it with: sudo apt-get install ./build/package/ostrel-blackbody_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --package >&2
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
# Only what is installed; a build for the tests has made these already.
cmake --build build --target ostrel-blackbody bbsim bb_translations bb_packaging >&2
rm -f build/package/ostrel-blackbody_*.deb
(cd build && cpack -G DEB >&2)
ls build/package/ostrel-blackbody_*.deb
