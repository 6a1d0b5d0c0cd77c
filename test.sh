#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: in the normal build and in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then every fuzz target for a few seconds. Exits
# non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQX7MB_SANITIZE=ON -DQX7MB_BUILD_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

# A short run of each fuzz target, on its seeds and what earlier runs found.
scripts/fuzz.sh 4
