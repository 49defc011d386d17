#!/bin/sh
# Adds the queues of the CUPS tests to the private scheduler that start_cupsd.sh started in DIR.
#
#   tests/cups/add_test_queues.sh DIR RAW_DEVICE
#
# They sort as Alpha-Raw (RAW_DEVICE, e.g. socket://127.0.0.1:9100), bravo-text (the
# pass-through text driver, printing to DIR/text-out.txt), Charlie-Stopped (stopped: out of
# paper) and delta-refusing (refuses jobs); the last two print to RAW_DEVICE too.
set -eu

dir=${1:?usage: add_test_queues.sh DIR RAW_DEVICE}
raw=${2:?usage: add_test_queues.sh DIR RAW_DEVICE}
here=$(cd "$(dirname "$0")" && pwd)
export CUPS_SERVER="$dir/cups.sock"

lpadmin -p Alpha-Raw -E -m raw -v "$raw"
lpadmin -p bravo-text -E -P "$here/text-receipt.ppd" -v "file://$dir/text-out.txt"
lpadmin -p Charlie-Stopped -E -m raw -v "$raw"
cupsdisable -r 'out of paper' Charlie-Stopped
lpadmin -p delta-refusing -E -m raw -v "$raw"
cupsreject delta-refusing
