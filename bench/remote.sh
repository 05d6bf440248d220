#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# remote.sh [BUILD_DIR]: the remote control's speed against veka-sim --line-timing
# --hide-round-trip (as live.sh), without a window (veka --remote PORT --no-window), at 9600
# and 57600 bit/s: round trips a second of one client asking "*STB?" back to back, and the
# points a second of remote sweeps as a script runs them (INIT;*OPC? one after the other, and
# INIT:CONT ON), as a share of the line's limit baud / 60, beside the quickest host
# (bench/line_host) on the same line. Needs python3 and a quiet machine.
set -euo pipefail
bench=remote.sh
source "$(dirname "$0")/bench_common.sh"

# client PORT MODE SECONDS: prints round trips or points per second (from the simulator's log).
client() {
  python3 - "$@" <<'PY'
import socket, subprocess, sys, time
port, mode, seconds = int(sys.argv[1]), sys.argv[2], float(sys.argv[3])
s = socket.create_connection(("127.0.0.1", port))
s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
f = s.makefile("rwb", buffering=0)
def ask(line):
    f.write(line.encode() + b"\n")
    return f.readline()
def logged():
    return int(subprocess.run("grep -c '^exchange=' sim.log || true", shell=True,
                              capture_output=True, text=True).stdout)
ask("*RST;:SWE:POIN 280;*OPC?")
if mode == "trips":
    n, t0 = 0, time.monotonic()
    while time.monotonic() - t0 < seconds:
        ask("*STB?"); n += 1
    print(f"{n / (time.monotonic() - t0):.0f}")
elif mode == "single":
    ask("INIT;*OPC?")  # past the first sweep's start
    p0, t0 = logged(), time.monotonic()
    while time.monotonic() - t0 < seconds:
        ask("INIT;*OPC?")
    print(f"{(logged() - p0) / (time.monotonic() - t0):.1f}")
else:
    ask("INIT:CONT ON;*OPC?"); time.sleep(1)
    p0, t0 = logged(), time.monotonic()
    time.sleep(seconds)
    print(f"{(logged() - p0) / (time.monotonic() - t0):.1f}")
    ask("ABOR;*OPC?")
errors = ask("SYST:ERR:ALL?").decode().strip()
if not errors.startswith("0,"):
    print("remote.sh: " + errors, file=sys.stderr)  # a drop-out would make the figures wrong
PY
}

for baud in $rates; do
  dir="$work/$baud"; mkdir -p "$dir"; cd "$dir"
  "$build/veka-sim" --dir . --port 2 --dut bandpass --line-timing --hide-round-trip --quiet \
    --log sim.log >sim.out 2>&1 &
  pids+=($!)
  wait_for 5 grep -q '^ready' sim.out
  "$build/veka" --sweep --out first.csv >/dev/null 2>&1  # writes vekami.cfg
  sed -i "s/^\(Baudrate *=\)[0-9]*/\1$baud/" vekami.cfg
  read -r host_points _ <<<"$("$build/line_host" COM2 "$baud" "$seconds")"
  port=$((20000 + RANDOM % 20000))
  "$build/veka" --remote "$port" --no-window >veka.log 2>&1 &
  pids+=($!)
  wait_for 10 grep -q 'listening' veka.log
  trips="$(client "$port" trips 3)"
  single="$(client "$port" single "$seconds")"
  continuous="$(client "$port" continuous "$seconds")"
  printf '%6s bit/s: %s round trips/s; INIT;*OPC? %s points/s (%s of baud/60), ' \
    "$baud" "$trips" "$single" "$(share "$single" "$baud")"
  printf 'INIT:CONT ON %s points/s (%s); quickest host %s points/s (%s)\n' \
    "$continuous" "$(share "$continuous" "$baud")" "$host_points" "$(share "$host_points" "$baud")"
  kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; pids=()
done
