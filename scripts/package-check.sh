#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# package-check.sh DEB [DEB-AGAIN]: checks a built Debian package. With a second package, a
# build of the same commit, the two must be identical byte for byte. Runs lintian (no errors,
# no hardening tags), desktop-file-validate, appstreamcli and man on its files; unpacks it into
# a scratch root (dpkg -x) and runs the installed programs from there: veka --version, one
# batch sweep of the installed veka, started through the desktop launcher, against the
# installed veka-sim, and the window under Xvfb, whose class must be the desktop entry's
# StartupWMClass.
set -euo pipefail
deb="$(realpath "$1")"
root="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$root"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

if [ $# -gt 1 ]; then
  echo "-- two builds of one commit"
  cmp "$deb" "$2" || fail "$(basename "$deb") differs between two builds of one commit"
fi

echo "-- lintian"
lintian --display-info --fail-on error --tag-display-limit 0 "$deb" | tee "$root/lintian.log"
! grep -E '^[EWI]: .*hardening-' "$root/lintian.log" || fail "lintian names missing hardening"

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
pids+=($!)
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

echo "-- the window's class and the desktop entry"
mkfifo "$root/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$root/display" >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$(timeout 30 head -n 1 "$root/display")"
(cd "$root/bench" && XDG_CONFIG_HOME="$root/data" QT_QPA_PLATFORM=xcb exec "$root/usr/bin/veka") >"$root/veka.log" 2>&1 &
pids+=($!)
window="$(timeout 30 xdotool search --sync --onlyvisible --pid "${pids[-1]}" | head -1)"
class="$(xprop -id "$window" WM_CLASS | sed -n 's/.*= ".*", "\(.*\)"$/\1/p')"
wanted="$(sed -n 's/^StartupWMClass=//p' "$root"/usr/share/applications/*.desktop)"
[ -n "$wanted" ] && [ "$class" = "$wanted" ] ||
  fail "the window's class '$class' is not the desktop entry's StartupWMClass '$wanted'"
echo "package check: all good"
