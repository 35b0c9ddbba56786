#!/usr/bin/env bash
# Builds every fuzz target into build-fuzz and runs each in turn for the given number of seconds (default
# 30) on a copy of its seed corpus, so the repository stays clean. Fails if any target finds a crash, a
# leak, a hang or runs out of memory; the input that did it is kept in build-fuzz/artifacts.
# Needs clang (scripts/setup.sh --fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [seconds per target, default 30]" >&2
    exit 2
fi

targets=(curve_reader settings_loader blackbody_replies thermometer_frames calibration_run scpi_parser uut_driver)

# Line tables only, as in the sanitizer builds: a finding's stack still names file and line.
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DBB_FUZZ=ON
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=build-fuzz/artifacts
mkdir -p "$artifacts"

failed=()
for target in "${targets[@]}"; do
    echo "== fuzz_$target: $seconds s"
    # The fuzzer adds what it finds to the corpus folder it is given.
    mkdir "$work/$target"
    cp fuzz/corpus/"$target"/* "$work/$target"/
    # Every input takes milliseconds; one that takes seconds is a hang.
    if ! build-fuzz/bin/fuzz_"$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
        -print_final_stats=1 -artifact_prefix="$artifacts/fuzz_$target-" "$work/$target"; then
        failed+=("fuzz_$target")
    fi
done

if ((${#failed[@]})); then
    echo "Failed: ${failed[*]}; the inputs are in $artifacts" >&2
    exit 1
fi
echo "All ${#targets[@]} fuzz targets ran $seconds s each without a finding."
