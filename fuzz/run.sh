#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# into build-fuzz beside the source tree and runs each for SECONDS (default 20) on a copy of its
# seed corpus in fuzz/corpus/<target>/. Exits non-zero on the first target that finds a fault;
# the input that failed is left in build-fuzz/findings/<target>/.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -eu
SECONDS_EACH=${1:-20}
[ $# -gt 0 ] && shift
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${TILLORA_FUZZ_BUILD:-$ROOT/../build-fuzz}
CLANG=${CLANG:-clang++-14}
TARGETS=${*:-node_file audit_reports value sql_dialect drive_script}
SAN="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

cmake -S "$ROOT/fuzz" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$CLANG" \
    -DCMAKE_CXX_FLAGS="$SAN" >"$BUILD.cmake.log" 2>&1 || { cat "$BUILD.cmake.log"; exit 1; }
for t in $TARGETS; do
    cmake --build "$BUILD" -j2 --target "fuzz_$t" >"$BUILD.build.log" 2>&1 ||
        { tail -50 "$BUILD.build.log"; exit 1; }
done

status=0
for t in $TARGETS; do
    corpus="$BUILD/corpus/$t"
    findings="$BUILD/findings/$t"
    mkdir -p "$corpus" "$findings"
    cp -n "$ROOT/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
    echo "== fuzz_$t for ${SECONDS_EACH}s"
    if ! (cd "$findings" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$BUILD/fuzz_$t" -max_total_time="$SECONDS_EACH" -max_len=65536 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$corpus" 2>"$BUILD/fuzz_$t.log"); then
        tail -60 "$BUILD/fuzz_$t.log"
        echo "fuzz_$t: FAULT FOUND (input in $findings)"
        status=1
    fi
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$BUILD/fuzz_$t.log" | tr '\n' ' '
    echo
done
exit $status
