#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one for SECONDS (default 60) from its seed corpus in
# fuzz/corpus/<target>/. The units found go to build/fuzz/corpus/<target>/ (or under
# $DT_FUZZ_CORPUS), never into the repository, and the next run starts from them too; a crash
# leaves its input in build/fuzz/artifacts/<target>/ and its log in build/fuzz/logs/<target>.log.
# Prints one line per target and exits non-zero on any crash.
#
#   bash scripts/fuzz.sh [SECONDS]
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
case "$seconds" in
    '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac
build=build/fuzz
found=${DT_FUZZ_CORPUS:-$build/corpus}
mkdir -p "$build/logs"
if ! { cmake --preset fuzz >"$build/logs/build.log" 2>&1 &&
       nice -n 10 cmake --build --preset fuzz -j2 >>"$build/logs/build.log" 2>&1; }; then
    tail -n 30 "$build/logs/build.log"
    echo "fuzz: the build failed ($build/logs/build.log)"
    echo "fuzz: 0 passed, 1 failed"
    exit 1
fi

passed=0
failed=0
for source in fuzz/*.cpp; do
    target=$(basename "$source" .cpp)
    corpus="$found/$target"
    artifacts="$build/artifacts/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$artifacts"
    start=$SECONDS
    # New units go to the first folder; the seeds are only read. The value profile guides the
    # mutations by how close compared values come (the extremes of a coordinate, for one).
    nice -n 10 "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=120 \
        -use_value_profile=1 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$corpus" "fuzz/corpus/$target" >"$log" 2>&1
    rc=$?
    took=$((SECONDS - start))
    runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)$/\1/p' "$log" | tail -n 1)
    [ -n "$runs" ] || runs=$(sed -nE 's/^#([0-9]+)[[:space:]].*/\1/p' "$log" | tail -n 1)
    if [ "$rc" -eq 0 ]; then
        echo "fuzz $target: ${runs:-0} runs in $took s, no crash"
        passed=$((passed + 1))
        continue
    fi
    failed=$((failed + 1))
    artifact=$(sed -nE 's/.*Test unit written to (.*)$/\1/p' "$log" | tail -n 1)
    # The broken rule, else UBSan's report, else the sanitizer's or libFuzzer's summary
    # (timeouts and memory too).
    what=$({ grep -m 1 '==fuzz== rule broken' "$log" || grep -m 1 ': runtime error: ' "$log" ||
             grep -m 1 '^SUMMARY: ' "$log"; } | sed -E "s/^(==fuzz== |SUMMARY: )//; s|$PWD/||g")
    echo "fuzz $target: CRASH after ${runs:-0} runs in $took s: ${what:-exit code $rc}"
    echo "    input: ${artifact:-none written}; log: $log"
    echo "    again: $build/fuzz/fuzz_$target ${artifact:-}"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
