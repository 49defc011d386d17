#!/usr/bin/env bash
# Configures and builds everything into build/ (two parallel jobs: the CI machine has 2 cores).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
