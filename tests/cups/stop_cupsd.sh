#!/bin/sh
# Stops the scheduler that start_cupsd.sh started in DIR, by the PID in DIR/cupsd.pid.
#
#   tests/cups/stop_cupsd.sh DIR
set -u

dir=${1:?usage: stop_cupsd.sh DIR}
[ -f "$dir/cupsd.pid" ] || exit 0
pid=$(cat "$dir/cupsd.pid")
kill "$pid" 2>/dev/null || { rm -f "$dir/cupsd.pid"; exit 0; }
# Give it five seconds to finish its jobs and remove its socket, then force it.
tries=0
while kill -0 "$pid" 2>/dev/null; do
    tries=$((tries + 1))
    if [ "$tries" -gt 50 ]; then
        kill -9 "$pid" 2>/dev/null
        break
    fi
    sleep 0.1
done
rm -f "$dir/cupsd.pid"
