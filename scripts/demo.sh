#!/usr/bin/env bash
# Installs what is needed, builds, makes the demo installation in demo/ (sales up to today) and
# runs the unattended close-out of its last day, today, on it (no display needed; reports print
# to the spool folder). The window then opens on today's sales:
#   TILLORA_HOME=$PWD/demo TILLORA_SPOOL=$PWD/demo/spool ./build/tillora-reports
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
rm -rf demo
./build/tillora-demo --folder demo --unit 3 --node 3 --days 5 --tickets 40 --seed 7
mkdir -p demo/spool
today=$(date +%Y%m%d)
status=0
TILLORA_HOME="$PWD/demo" TILLORA_SPOOL="$PWD/demo/spool" ./build/tillora-reports "KVRUN$today" || status=$?
echo
echo "Close-out file: $PWD/demo/closeout03-$today.txt (exit status $status)"
head -n 40 "demo/closeout03-$today.txt"
echo "..."
echo "Request file: $PWD/demo/local/kovra.req"
cat demo/local/kovra.req
exit $status
