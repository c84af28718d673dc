#!/bin/sh
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehavior-
# Sanitizer, libFuzzer) in their own build folder and runs each one for the
# given number of seconds, starting from seeds the program's own writers make.
#
#   fuzz/run-fuzzers.sh SECONDS [TARGET...]
#
# TARGET is a name such as settings_record (default: all). Environment:
# MOVELARK_FUZZ_BUILD (build folder, default build-fuzz-clang), JOBS (build
# jobs, default 2). Corpora grow in $BUILD/fuzz/corpus/<target>, crashes land
# in $BUILD/fuzz/artifacts. Exit status 1 when any target failed.
set -eu

if [ $# -lt 1 ] || ! [ "$1" -gt 0 ] 2>/dev/null; then
    echo "usage: $0 SECONDS [TARGET...]" >&2
    exit 2
fi
SECONDS_EACH=$1
shift

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${MOVELARK_FUZZ_BUILD:-$ROOT/build-fuzz-clang}
ALL="settings_record preset movie_atoms ini image drag_record"
TARGETS=${*:-$ALL}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOVELARK_FUZZ=ON -DMOVELARK_SANITIZE=ON
fi
cmake --build "$BUILD" --target fuzzers -j "${JOBS:-2}"

WORK=$BUILD/fuzz
mkdir -p "$WORK/artifacts" "$WORK/logs"
rm -rf "$WORK/seeds"
"$BUILD/fuzz/make_fuzz_seeds" "$WORK/seeds"

# Largest input per target: droplets carry a 36 KiB launcher image.
max_len() {
    case $1 in
        movie_atoms) echo 65536 ;;
        *) echo 4096 ;;
    esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export AV_LOG_FORCE_NOCOLOR=1

failed=0
summary=""
for target in $TARGETS; do
    corpus=$WORK/corpus/$target
    mkdir -p "$corpus"
    seeds=$WORK/seeds/$target
    [ -d "$seeds" ] || seeds=""
    log=$WORK/logs/$target.log
    echo "== fuzz_$target for ${SECONDS_EACH}s"
    status=0
    "$BUILD/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -max_len="$(max_len "$target")" \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$WORK/artifacts/$target-" "$corpus" $seeds >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -eq 0 ]; then
        line="fuzz_$target: ${runs:-?} runs, no failure"
    else
        line="fuzz_$target: FAILED (exit $status) after ${runs:-?} runs, see $log"
        failed=1
        grep -m 20 -E 'ERROR|runtime error|fuzz check failed|Test unit written' "$log" >&2 || true
    fi
    echo "$line"
    summary="$summary$line
"
done

printf '\n%s' "$summary"
exit $failed
