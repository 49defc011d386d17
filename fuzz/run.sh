#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# into build-fuzz beside the source tree and runs each for SECONDS (default 20) on a copy of its
# seed corpus in fuzz/corpus/<target>/. Every target runs; the exit status is non-zero when one
# of them found a fault, and the input that failed is left in build-fuzz/findings/<target>/.
#   fuzz/run.sh [--seed N] [--runs N] [SECONDS] [TARGET...]
# --seed N: a fixed random seed on a fresh copy of the seed corpus (the corpus that earlier runs
#           grew is left out), so the same command feeds the same inputs in the same order.
# --runs N: stop each target after N inputs (SECONDS still bounds it when given).
set -eu
SEED=
RUNS=
while [ $# -gt 0 ]; do
    case "$1" in
    --seed) SEED=${2:?--seed needs a number}; shift 2 ;;
    --runs) RUNS=${2:?--runs needs a number}; shift 2 ;;
    *) break ;;
    esac
done
for n in "$SEED" "$RUNS"; do
    case "$n" in *[!0-9]*) echo "fuzz/run.sh: not a whole number: $n" >&2; exit 2 ;; esac
done
if [ $# -gt 0 ]; then
    SECONDS_EACH=$1
    shift
elif [ -n "$RUNS" ]; then
    SECONDS_EACH=0 # no time bound: the run count ends the run
else
    SECONDS_EACH=20
fi
case "$SECONDS_EACH" in ''|*[!0-9]*) echo "fuzz/run.sh: SECONDS must be a whole number" >&2; exit 2 ;; esac
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${TILLORA_FUZZ_BUILD:-$ROOT/../build-fuzz}
CLANG=${CLANG:-clang++-14}
TARGETS=${*:-node_file audit_reports value sql_dialect drive_script}
SAN="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
OPTIONS="-max_total_time=$SECONDS_EACH"
[ -n "$RUNS" ] && OPTIONS="$OPTIONS -runs=$RUNS"
[ -n "$SEED" ] && OPTIONS="$OPTIONS -seed=$SEED"

mkdir -p "$BUILD"
cmake -S "$ROOT/fuzz" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$CLANG" \
    -DCMAKE_CXX_FLAGS="$SAN" >"$BUILD/cmake.log" 2>&1 || { cat "$BUILD/cmake.log"; exit 1; }
programs=
for t in $TARGETS; do programs="$programs fuzz_$t"; done
# shellcheck disable=SC2086 # one word per target
cmake --build "$BUILD" -j2 --target $programs >"$BUILD/build.log" 2>&1 ||
    { tail -50 "$BUILD/build.log"; exit 1; }

status=0
for t in $TARGETS; do
    if [ -n "$SEED" ]; then
        corpus="$BUILD/corpus-seed$SEED/$t"
        rm -rf "$corpus"
    else
        corpus="$BUILD/corpus/$t"
    fi
    findings="$BUILD/findings/$t"
    mkdir -p "$corpus" "$findings"
    cp -n "$ROOT/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
    echo "== fuzz_$t: $OPTIONS"
    if ! (cd "$findings" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$BUILD/fuzz_$t" $OPTIONS -max_len=65536 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$corpus" 2>"$BUILD/fuzz_$t.log"); then
        tail -60 "$BUILD/fuzz_$t.log"
        echo "fuzz_$t: FAULT FOUND (input in $findings)"
        status=1
    fi
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$BUILD/fuzz_$t.log" | tr '\n' ' '
    echo
done
exit $status
