#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# screenshot.sh [BUILD_DIR]: takes docs/screenshot.png, the program under Xvfb and openbox
# (so the frame with its title bar shows) against the simulator's band-pass, after one sweep
# started and stopped with clicks on "&Start" and "Sto&p". BUILD_DIR defaults to "build".
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/${1:-build}"
"$top/scripts/setup.sh"
for p in xdotool imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || {
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$p"; }
done
if [ -d "$build" ]; then
  cmake --build "$build" --target veka veka-sim -j"$(nproc)"
else
  "$top/scripts/build.sh" "${1:-build}" -DVEKA_TESTS=OFF -DVEKA_BENCH=OFF
fi

work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
cp "$top/assets/LANG.INI" .
mkfifo display ready
Xvfb -displayfd 3 -screen 0 1024x700x24 -nolisten tcp 3>display >/dev/null 2>&1 &
export DISPLAY=":$(timeout 30 head -n 1 display)"
openbox --sm-disable --startup "sh -c 'echo ready > $work/ready'" >/dev/null 2>&1 &
timeout 30 head -n 1 ready >/dev/null
"$build/veka-sim" --dir . --port 2 --dut bandpass --centre 11400000 --bandwidth 300000 \
  >sim.log &
for _ in $(seq 100); do grep -q '^ready' sim.log && break; sleep 0.05; done
"$build/veka" &
for _ in $(seq 100); do xdotool search --name "Netzwerktester" >/dev/null 2>&1 && break; sleep 0.1; done
win="$(xdotool search --name "Netzwerktester" | head -1)"
sleep 1
# Window-relative points below the menu bar: "&Start" and "Sto&p" sit at x 656.
xdotool mousemove --window "$win" 700 40 click 1
sleep 2
xdotool mousemove --window "$win" 700 72 click 1
sleep 1
mkdir -p "$top/docs"
# The frame stands at (1, 1); a little of the desktop around it.
import -window root -crop 806x606+0+0 "$top/docs/screenshot.png"
echo "wrote docs/screenshot.png"
