#!/usr/bin/env bash
# The whole test suite built with AddressSanitizer and UndefinedBehavior-
# Sanitizer, in its own build folder (build-asan). Any report fails the test
# that caused it. Extra arguments go to ctest (for example -R hostile); the
# wall-time tests (names with "Speed.") are left out.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MOVELARK_ASAN_BUILD:-build-asan}
cmake -S . -B "$build" -G Ninja -DMOVELARK_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "${JOBS:-2}"

# Leaks inside the system's libraries (fontconfig, Qt's plugins, the GPU
# stubs) are theirs, not ours; our own still fail the run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan-suppressions.txt:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The speed tests measure wall time, which the sanitizers multiply several
# times over; they are the plain build's business.
ctest --test-dir "$build" --output-on-failure -j "${JOBS:-2}" -LE perf -E "${MOVELARK_ASAN_EXCLUDE:-Speed\\.}" "$@"
