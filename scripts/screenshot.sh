#!/usr/bin/env bash
# Takes docs/screenshot.png: the program under Xvfb against the simulator's band-pass,
# after one sweep started with F-keys-free clicks on "&Start" and "Sto&p".
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh"
for p in xdotool imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || {
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$p"; }
done
"$top/scripts/build.sh" build -DVEKA_TESTS=OFF -DVEKA_BENCH=OFF

work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
cp "$top/assets/LANG.INI" .
Xvfb :97 -screen 0 1024x700x24 >/dev/null 2>&1 &
export DISPLAY=:97
"$top/build/veka-sim" --dir . --port 2 --dut bandpass --centre 11400000 --bandwidth 300000 \
  >sim.log &
for _ in $(seq 100); do grep -q '^ready' sim.log && break; sleep 0.05; done
"$top/build/veka" &
for _ in $(seq 100); do xdotool search --name "Netzwerktester" >/dev/null 2>&1 && break; sleep 0.1; done
win="$(xdotool search --name "Netzwerktester" | head -1)"
sleep 1
# The window's client area starts below the menu bar; "&Start" and "Sto&p" sit at x 656.
xdotool mousemove --window "$win" 700 40 click 1
sleep 2
xdotool mousemove --window "$win" 700 72 click 1
sleep 1
mkdir -p "$top/docs"
import -window root -crop 820x640+0+0 "$top/docs/screenshot.png"
echo "wrote docs/screenshot.png"
