#!/bin/sh
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer (no Qt window)
# into build-asan beside the source tree and runs it. Any sanitizer report fails the test that
# caused it. Suppressions, for third-party noise only, are in scripts/sanitize.supp.
#   scripts/sanitize.sh [ctest arguments...]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${TILLORA_ASAN_BUILD:-$ROOT/../build-asan}
JOBS=${JOBS:-2}

cmake -S "$ROOT" -B "$BUILD" -DTILLORA_SANITIZE=ON -DTILLORA_GUI=OFF \
    -DCMAKE_CXX_FLAGS="-fno-sanitize-recover=undefined"
cmake --build "$BUILD" -j"$JOBS"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$ROOT/scripts/sanitize.supp"
# Instrumented code runs two to three times slower: the register's latency bound is not checked.
export TILLORA_CONCURRENCY_WORST_MS=0
export LSAN_OPTIONS="suppressions=$ROOT/scripts/sanitize.supp"
ctest --test-dir "$BUILD" -j"$JOBS" --output-on-failure "$@"
