#!/usr/bin/env bash
# Installs every Debian 12 package the build, the tests and the demo need (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  build-essential cmake g++ clang-format
  libsqlite3-dev sqlite3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev
  libcups2-dev cups cups-client cups-filters
  xvfb xauth
)
if ! dpkg -s "${packages[@]}" >/dev/null 2>&1; then
  apt-get update
  apt-get install -y --no-install-recommends "${packages[@]}"
fi
