#!/bin/sh
# Builds the benchmarks, makes the four demo stores (one day, one month, one year and three years
# at 1,000 tickets a day, each ending on 2021-12-31) and prints the benchmark table with every
# target and PASS or FAIL.
#   bench/run.sh [--repeat N] [--only TEXT]
# BUILD (default build-bench beside the source folder) is the build folder; the stores are kept
# in BUILD/stores and made again only when the schema of the transaction database changes.
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$source_dir/../build-bench}
stores=$build/stores

cmake -S "$source_dir" -B "$build" -DTILLORA_GUI=OFF -DTILLORA_BENCH=ON \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tillora-demo tillora-bench >/dev/null

# A store is made again when a schema of its databases changed since it was made.
schema_sum=$(cat "$source_dir"/schema/transactions.sql "$source_dir"/schema/held.sql \
    "$source_dir"/schema/report.sql | cksum)
make_store() {  # name days first-day
    if [ -f "$stores/$1/.schema" ] && [ "$(cat "$stores/$1/.schema")" = "$schema_sum" ]; then
        return
    fi
    echo "making the $1 store ($2 days of 1,000 tickets)..." >&2
    rm -rf "$stores/$1"
    mkdir -p "$stores"
    "$build/tillora-demo" --folder "$stores/$1" --days "$2" --tickets 1000 --seed 7 \
        --start "$3" >/dev/null
    echo "$schema_sum" >"$stores/$1/.schema"
}
make_store day 1 20211231
make_store month 30 20211201
make_store year 365 20210101
make_store year3 1095 20190102

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
     "$(free -g | awk '/Mem:/ {print $2}') GB; load: $(cut -d' ' -f1-3 /proc/loadavg); $(date -u +%F)"
echo
exec "$build/bench/tillora-bench" --stores "$stores" --work "$build/bench-work" "$@"
