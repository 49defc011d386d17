#!/usr/bin/env bash
# Builds the Debian package and checks it: lintian finds no error, it holds every file in its
# place, and its programs, unpacked into a temporary root, answer --version and --help, refuse a
# bad option, make a demo installation and close out its last day silently, and refuse a date
# that cannot be one without writing anything. systemd-analyze checks the units where it exists.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "package-check: $*" >&2
    exit 1
}

deb=$(bash scripts/package.sh | tail -n 1)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
lintian --fail-on error "$deb"

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for path in bin/tillora-reports bin/tillora-closeout bin/tillora-demo bin/tillora-drive \
    bin/tillora-register bin/tillora-summary share/man/man1/tillora-reports.1.gz share/man/man1/tillora-closeout.1.gz \
    lib/systemd/system/tillora-closeout.service lib/systemd/system/tillora-closeout.timer \
    share/applications/tillora-reports.desktop share/tillora-reports/schema/transactions.sql \
    share/doc/tillora-reports/copyright share/doc/tillora-reports/README.md; do
    grep -qx "./usr/$path" <<<"$contents" || fail "the package lacks /usr/$path"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
export -n DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM TILLORA_HOME TILLORA_SPOOL

for program in "$bin"/tillora-*; do
    name=$(basename "$program")
    "$program" --version | grep -q "^$name (Tillora Reports) " || fail "$name --version"
    "$program" --help | grep -q "^Usage: $name" || fail "$name --help"
    status=0
    "$program" --no-such-option >/dev/null 2>"$root/err" || status=$?
    [ "$status" = 2 ] && grep -q "^Usage: $name" "$root/err" || fail "$name: a bad option gave $status"
done
echo "every program answers --version and --help and refuses a bad option"

home=$root/var/lib/tillora
today=$(date +%Y%m%d)
"$bin/tillora-demo" --folder "$home" --days 3 --tickets 10 --seed 7 >/dev/null 2>&1
mkdir -p "$root/spool"
export TILLORA_HOME=$home TILLORA_SPOOL=$root/spool
"$bin/tillora-closeout" --date "$today" >"$root/out" 2>"$root/err" || fail "the close-out failed: $(cat "$root/err")"
[ ! -s "$root/out" ] && [ ! -s "$root/err" ] || fail "the close-out was not silent: $(cat "$root/out" "$root/err")"
[ -s "$home/closeout03-$today.txt" ] || fail "no close-out file closeout03-$today.txt"
echo "the close-out of $today wrote closeout03-$today.txt and nothing else on the terminal"

status=0
"$bin/tillora-closeout" --date 20201399 2>"$root/err" || status=$?
[ "$status" = 2 ] || fail "the date 20201399 gave exit status $status"
[ ! -e "$home/closeout03-20201399.txt" ] || fail "the refused date left a close-out file"
echo "the date 20201399 is refused: $(head -n 1 "$root/err")"

if command -v systemd-analyze >/dev/null; then
    units=$root/units
    mkdir -p "$units"
    sed "s|^ExecStart=/usr/bin/|ExecStart=$bin/|" "$root/usr/lib/systemd/system/tillora-closeout.service" \
        >"$units/tillora-closeout.service"
    cp "$root/usr/lib/systemd/system/tillora-closeout.timer" "$units/"
    # Some faults (a misspelt setting) are only warned about: any word from verify fails.
    verify=$(systemd-analyze verify --man=no "$units/tillora-closeout.service" \
        "$units/tillora-closeout.timer" 2>&1) || fail "systemd-analyze verify: $verify"
    [ -z "$verify" ] || fail "systemd-analyze verify: $verify"
    echo "systemd-analyze verify accepts the units"
else
    echo "systemd-analyze is not installed: the units are not verified"
fi
