#!/usr/bin/env bash
# Prints the size of the tests against the code: non-blank C++ lines that are not "//" comments.
# Tests are the files under tests/ and any *_test.cpp; code is every other *.cpp/*.cc/*.h/*.hpp
# outside bench/, fuzz/ and build folders.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { xargs -0 -r cat | grep -v -E '^[[:space:]]*(//.*)?$' | wc -l; }
files() {
    find . \( -path ./.git -o -path './build*' -o -path ./bench -o -path ./fuzz \) -prune -o \
        -type f \( -name '*.cpp' -o -name '*.cc' -o -name '*.h' -o -name '*.hpp' \) -print0
}
tests=$(files | grep -z -E '^\./tests/|_test\.cpp$' | count)
code=$(files | grep -z -v -E '^\./tests/|_test\.cpp$' | count)
awk -v t="$tests" -v c="$code" \
    'BEGIN { printf "test ratio: %d test lines / %d code lines = %.2f (aim: at most 0.35)\n", t, c, (c ? t / c : 0) }'
