#!/usr/bin/env bash
# Builds the Debian package build/tillora-reports_<version>_amd64.deb. It reuses the build folder
# of scripts/build.sh and builds only what the package holds (the programs, the manual pages).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build -j2 --target tillora_installables
rm -f build/tillora-reports_*.deb
(cd build && cpack -G DEB >/dev/null 2>&1) || (cd build && cpack -G DEB --verbose)
ls build/tillora-reports_*.deb
