#!/usr/bin/env bash
# Builds the fuzz targets with clang in their own build folder and runs each
# for FUZZ_SECONDS (default 20). Fails when any target finds a crash.
set -uo pipefail
cd "$(dirname "$0")/.."

BUILD=${FUZZ_BUILD_DIR:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-20}
TARGETS=(fuzz_hexcellbyte fuzz_lineencoder fuzz_commandfile fuzz_portrecord
         fuzz_viewrecord fuzz_stringsfile fuzz_bytefile fuzz_telnetstream)

mkdir -p "$BUILD"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$BUILD" -DVARNEL_FUZZ=ON -DVARNEL_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$BUILD/configure.log" 2>&1 \
    || { cat "$BUILD/configure.log"; exit 1; }
cmake --build "$BUILD" -j2 --target "${TARGETS[@]}" || exit 1

failed=()
for t in "${TARGETS[@]}"; do
    work="$BUILD/fuzz-work/$t"
    mkdir -p "$work/corpus" "$work/artifacts"
    # New inputs go to the work corpus; the checked-in inputs are only read.
    # Command lists past their bound need room for all their lines.
    case $t in fuzz_commandfile|fuzz_stringsfile) max_len=262144 ;; *) max_len=65536 ;; esac
    "$BUILD/fuzz/$t" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=5 -max_len=$max_len \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
        "$work/corpus" "fuzz/corpus/$t" >"$work/log" 2>&1
    rc=$?
    execs=$(grep -m1 'stat::number_of_executed_units' "$work/log" | awk '{print $2}')
    if [ $rc -ne 0 ]; then
        failed+=("$t")
        echo "$t: FAILED (exit $rc) after ${execs:-?} executions; log $work/log"
        grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$work/log" | head -5
    else
        echo "$t: ${execs:-?} executions, no crash"
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "crashes in: ${failed[*]}"
    exit 1
fi
echo "all ${#TARGETS[@]} fuzz targets ran ${SECONDS_EACH}s without a crash"
