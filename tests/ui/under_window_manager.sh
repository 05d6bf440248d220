#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# under_window_manager.sh PROGRAM [ARGS...]: runs PROGRAM on a private X server under openbox,
# so that its windows get real frames. Exits 77 (skipped) when Xvfb, openbox or the X property
# tools are missing; scripts/setup.sh installs them.
set -u
for tool in Xvfb openbox xprop xwininfo timeout; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

work="$(mktemp -d)"
xserver=""
manager=""
finish() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null
  [ -n "$xserver" ] && kill "$xserver" 2>/dev/null
  wait
  rm -rf "$work"
}
trap finish EXIT
mkfifo "$work/display" "$work/ready"

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xserver=$!
number="$(timeout 30 head -n 1 "$work/display")"
if [ -z "$number" ]; then
  echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1
fi
export DISPLAY=":$number"

# openbox runs its start-up command once it manages the screen.
openbox --sm-disable --startup "sh -c 'echo ready > $work/ready'" >"$work/openbox.log" 2>&1 &
manager=$!
if [ "$(timeout 30 head -n 1 "$work/ready")" != "ready" ]; then
  echo "openbox did not start:"; cat "$work/openbox.log"; exit 1
fi

QT_QPA_PLATFORM=xcb "$@"
status=$?
exit "$status"
