#!/usr/bin/env bash
# Installs every Debian 12 package the build, the tests, the demo and the fuzz targets need
# (run as root). libclang-rt-14-dev holds libFuzzer and clang's sanitizer runtimes; chromium
# renders the day page in its browser test; dpkg-dev, lintian and systemd (for systemd-analyze
# only; nothing is started) build and check the package.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  build-essential cmake g++ clang-format
  libsqlite3-dev sqlite3
  libicu-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev
  libcups2-dev cups cups-client cups-filters
  xvfb xauth
  chromium
  clang-14 libclang-rt-14-dev
  dpkg-dev lintian systemd
)
if ! dpkg -s "${packages[@]}" >/dev/null 2>&1; then
  apt-get update
  apt-get install -y --no-install-recommends "${packages[@]}"
fi
