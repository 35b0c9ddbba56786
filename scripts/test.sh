#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs every test, then gives the curve-file
# reader a one-minute fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --fuzz

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure -j2

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBB_FUZZ=ON
cmake --build build-fuzz --target fuzz_curve_reader
# The fuzzer adds what it finds to its corpus; work on a copy so the repository stays clean.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/curve_reader/* "$corpus"/
build-fuzz/bin/fuzz_curve_reader -max_total_time=60 -rss_limit_mb=2048 "$corpus"
