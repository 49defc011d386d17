#!/bin/sh
# Starts a private CUPS scheduler for the printing tests and waits until it answers.
#
#   tests/cups/start_cupsd.sh DIR
#
# DIR (created when missing; keep its path short: the socket path must fit 107 bytes) receives
# the configuration, spool, logs and the socket DIR/cups.sock. The scheduler runs in the
# foreground as a background process of this script's caller; its PID is written to
# DIR/cupsd.pid. Point the CUPS clients at it with CUPS_SERVER=DIR/cups.sock. Stop it with
# tests/cups/stop_cupsd.sh DIR. The scheduler listens on the socket file only (no TCP port),
# accepts file: devices, and allows every operation to every local user.
set -eu

dir=${1:?usage: start_cupsd.sh DIR}
cupsd=${CUPSD:-/usr/sbin/cupsd}
[ -x "$cupsd" ] || { echo "start_cupsd.sh: $cupsd is not installed" >&2; exit 2; }

mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
mkdir -p "$dir/ppd" "$dir/spool/tmp" "$dir/log" "$dir/cache" "$dir/state" "$dir/ssl"
# Filters and back-ends run as the unprivileged user lp when the scheduler runs as root: they
# must be able to reach the spool files.
chmod 755 "$dir" "$dir/ppd" "$dir/spool" "$dir/log" "$dir/cache" "$dir/state"
chmod 1777 "$dir/spool/tmp"

if [ "$(id -u)" = 0 ]; then
    run_as="User lp
Group lp"
else
    run_as=""
fi

cat >"$dir/cups-files.conf" <<CONF
$run_as
SystemGroup root $(id -gn)
FileDevice Yes
ServerRoot $dir
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerKeychain $dir/ssl
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
CONF

cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
Browsing No
LogLevel info
MaxLogSize 0
JobRetryLimit 0
PreserveJobHistory No
PreserveJobFiles No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF

"$cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"

# Wait (at most 20 seconds) until the scheduler answers on its socket.
tries=0
until CUPS_SERVER="$dir/cups.sock" lpstat -r 2>/dev/null | grep -q "is running"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ] || ! kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null; then
        echo "start_cupsd.sh: the scheduler did not start; its log:" >&2
        cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
        "$(dirname "$0")/stop_cupsd.sh" "$dir" || true
        exit 1
    fi
    sleep 0.1
done
echo "$dir/cups.sock"
