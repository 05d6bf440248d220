#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, starts the device simulator on COM2 in run/ and the
# program against it. Extra arguments go to the simulator (see build/veka-sim --help).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh"
"$top/scripts/build.sh" build -DVEKA_TESTS=OFF -DVEKA_BENCH=OFF

mkdir -p "$top/run"
cd "$top/run"
[ -f LANG.INI ] || cp "$top/assets/LANG.INI" . 2>/dev/null || true
log="$(mktemp)"
"$top/build/veka-sim" --dir . --port 2 --dut bandpass --centre 11400000 --bandwidth 300000 "$@" >"$log" &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq 100); do grep -q '^ready' "$log" && break; sleep 0.05; done
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under Xvfb (set DISPLAY to see the window)."
  xvfb-run -a "$top/build/veka"
else
  "$top/build/veka"
fi
