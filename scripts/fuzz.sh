#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, in build-fuzz/) and runs each for SECONDS (default 60), one at a
# time, on its seed corpus fuzz/corpus/NAME/ and a working corpus build-fuzz/corpus/NAME/ that keeps
# what earlier runs found. Names pick targets (all by default); FUZZ_ARGS adds libFuzzer options, for
# example FUZZ_ARGS=-runs=10000000. A finding is saved in build-fuzz/artifacts/ and ends the script
# with a non-zero exit code after the remaining targets have run.
#
#   scripts/fuzz.sh [SECONDS] [NAME...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
all=(transact sd_registers hex_image hex_field ini_file frame_parser firmware control_protocol bitstream trace number)
names=("${@:-${all[@]}}")

# Inputs longer than libFuzzer's default of 4096 bytes for the targets whose frames or lines need it.
declare -A max_len=([frame_parser]=40000 [firmware]=16384 [control_protocol]=12000)

# Absolute paths: some targets change their working folder, as the program does.
root=$(pwd)
build=$root/build-fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX7MB_FUZZ=ON
fi
cmake --build "$build" -j "$(nproc)" --target "${names[@]/#/fuzz_}"

mkdir -p "$build/artifacts" "$build/logs"
printf '%-18s %12s %8s  %s\n' target executions seconds result
failed=0
for name in "${names[@]}"; do
    seeds=$root/fuzz/corpus/$name
    work=$build/corpus/$name
    log=$build/logs/$name.log
    mkdir -p "$work"
    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
             -artifact_prefix="$build/artifacts/$name-")
    [ -n "${max_len[$name]:-}" ] && options+=(-max_len="${max_len[$name]}")
    [ -f "$root/fuzz/dict/$name.dict" ] && options+=(-dict="$root/fuzz/dict/$name.dict")
    # shellcheck disable=SC2086 # FUZZ_ARGS holds several options
    if "$build/bin/fuzz_$name" "${options[@]}" ${FUZZ_ARGS:-} "$work" "$seeds" >"$log" 2>&1; then
        result=ok
    else
        result="FINDING, see ${log#"$root"/}"
        failed=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
    printf '%-18s %12s %8s  %s\n' "$name" "${runs:--}" "${took:--}" "$result"
done
exit $failed
