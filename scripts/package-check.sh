#!/usr/bin/env bash
# package-check.sh DEB: checks a built Debian package. Runs lintian, desktop-file-validate,
# appstreamcli and man on its files; unpacks it into a scratch root (dpkg -x) and runs the
# installed programs from there: veka --version, and one batch sweep of the installed veka,
# started through the desktop launcher, against the installed veka-sim.
set -euo pipefail
deb="$(realpath "$1")"
root="$(mktemp -d)"
sim=""
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$root"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

echo "-- lintian"
lintian --fail-on error "$deb"

dpkg -x "$deb" "$root"
echo "-- desktop-file-validate, appstreamcli, man"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

echo "-- installed programs"
"$root/usr/bin/veka" --version
"$root/usr/bin/veka-sim" --version

mkdir "$root/bench"
"$root/usr/bin/veka-sim" --dir "$root/bench" --port 2 --dut bandpass --quiet >"$root/sim.log" &
sim=$!
for _ in $(seq 100); do grep -q '^ready' "$root/sim.log" && break; sleep 0.05; done
grep -q '^ready' "$root/sim.log" || fail "veka-sim did not come up"

# The launcher of the desktop entry runs the program in $XDG_DATA_HOME/veka.
XDG_DATA_HOME="$root/data" "$root/usr/libexec/veka/veka-desktop" \
  --sweep --port "$root/bench/COM2" --out "$root/sweep.csv"
[ -f "$root/data/veka/vekami.cfg" ] || fail "the launcher did not start in \$XDG_DATA_HOME/veka"
[ ! -e "$root/vekami.cfg" ] || fail "a configuration was created outside the data folder"
points="$(grep -v '^#' "$root/sweep.csv" | tail -n +2 | wc -l)"
[ "$points" -eq 280 ] || fail "sweep.csv holds $points points, not 280"
grep -v '^#' "$root/sweep.csv" | sed -n 2p | grep -q '^10000000,' ||
  fail "the first point of sweep.csv is not at 10000000 Hz"
echo "package check: all good"
