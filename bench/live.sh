#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# live.sh [BUILD_DIR]: the live display at the line's limit. Starts the program under Xvfb
# against veka-sim with line timing, presses "&Start" with a real click, sweeps
# SECONDS_PER_RATE (10) seconds at each baud rate of RATES ("9600 57600") and prints the
# program's CPU share, the points per second and their share of baud / 60 (5 bytes out and 1
# back, 10 bits each); then the CPU share of the idle window. CPU time is the sum over the
# program's threads of /proc/PID/task/*/schedstat, in nanoseconds; LIVE_THREADS=1 lists it
# per thread. The simulator leaves its pseudo-terminal's own round trip out of the line time
# (--hide-round-trip, measured per rate), and before the program runs, the same figures of
# the quickest possible host (bench/line_host.cpp) on the same line show what the machine
# allows. Other work on the machine distorts the figures: run it on a quiet machine (the
# first line shows the load, the last how busy the processors were meanwhile).
# LIVE_CPUS=LIST (taskset's form, e.g. 0) keeps Xvfb, the simulator, the quickest host and the
# program on those processors: the program's own cost apart from wake-ups across processors.
set -euo pipefail
bench=live.sh
source "$(dirname "$0")/bench_common.sh"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "live.sh: $tool is missing (scripts/setup.sh)"; exit 1; }
done
[ -x "$build/veka" ] && [ -x "$build/veka-sim" ] || { echo "live.sh: build $build first"; exit 1; }
auf=()  # the processors everything runs on, when LIVE_CPUS says
[ -z "${LIVE_CPUS:-}" ] || auf=(taskset -c "$LIVE_CPUS")

# CPU nanoseconds of all threads of process $1.
cpu_ns() {
  local sum=0 t
  for t in /proc/"$1"/task/*/schedstat; do
    read -r ns _ <"$t" 2>/dev/null && sum=$((sum + ns))
  done
  echo "$sum"
}
exchanged_since() { [ "$(exchanges)" -gt "$(($1 + 1))" ]; }
prozent() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", 100 * a / b }'; }
# Microseconds of CPU a point from a CPU share in percent ($1) and points per second ($2).
je_punkt() { awk -v c="$1" -v p="$2" 'BEGIN { printf "%.0f", (p > 0 ? c * 1e4 / p : 0) }'; }
threads() {  # LIVE_THREADS: CPU milliseconds so far of each thread of process $1
  [ -n "${LIVE_THREADS:-}" ] || return 0
  local t
  for t in /proc/"$1"/task/*; do
    echo "    ${t##*/} $(cat "$t/comm"): $(($(cut -d' ' -f1 "$t/schedstat") / 1000000)) ms"
  done
}
busy() {  # processor time of the whole machine so far, in clock ticks: busy total
  awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9, $2 + $3 + $4 + $5 + $6 + $7 + $8 + $9 }' /proc/stat
}

exec 3<> <(:)
${auf[@]+"${auf[@]}"} Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 display <&3
export DISPLAY=":$display"

# One program run per baud rate, in a folder of its own with that rate configured.
laufen() {
  local baud="$1" dir="$work/$1"
  mkdir -p "$dir" && cd "$dir"
  cp "$top/assets/LANG.INI" .
  ${auf[@]+"${auf[@]}"} "$build/veka-sim" --dir . --port 2 --dut bandpass --line-timing \
    --hide-round-trip --quiet --log sim.log >sim.out 2>&1 &
  local sim=$!
  pids+=($sim)
  wait_for 5 grep -q '^ready' sim.out
  # The start-up file is created at the first start; then the rate goes in.
  QT_QPA_PLATFORM=offscreen ${auf[@]+"${auf[@]}"} "$build/veka" >first.log 2>&1 &
  local erster=$!
  wait_for 10 test -s vekami.cfg
  kill "$erster"; wait "$erster" 2>/dev/null || true
  sed -i "s/^\(Baudrate *=\)[0-9]*/\1$baud/" vekami.cfg  # keeps the CR LF
  # The yardstick: the quickest possible host on the same line, before the program owns it.
  local referenz
  referenz="$(${auf[@]+"${auf[@]}"} "$build/line_host" COM2 "$baud" "$seconds")"
  local vorher
  vorher="$(exchanges)"

  ${auf[@]+"${auf[@]}"} "$build/veka" >veka.log 2>&1 &
  local veka=$!
  pids+=($veka)
  wait_for 10 xdotool search --onlyvisible --name "Netzwerktester" >/dev/null
  local win
  win="$(xdotool search --onlyvisible --name "Netzwerktester" | head -1)"
  local hoehe
  hoehe="$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')"
  local menue=$((hoehe - 554))  # client area 792 x 554 below the menu bar
  sleep 2  # start-up done, window shown

  if [ "$baud" = "${rates%% *}" ]; then
    local c0 c1
    c0="$(cpu_ns "$veka")"
    sleep "$seconds"
    c1="$(cpu_ns "$veka")"
    leerlauf="$(prozent $((c1 - c0)) $((seconds * 1000000000)))"
  fi

  xdotool mousemove --window "$win" 716 $((menue + 12)) click 1  # "&Start"
  wait_for 5 exchanged_since "$vorher"
  sleep 1  # past the redraw of the start
  local p0 p1 c0 c1 t0 t1
  threads "$veka"
  t0="$(date +%s%N)"; p0="$(exchanges)"; c0="$(cpu_ns "$veka")"
  sleep "$seconds"
  t1="$(date +%s%N)"; p1="$(exchanges)"; c1="$(cpu_ns "$veka")"
  threads "$veka"
  xdotool mousemove --window "$win" 716 $((menue + 44)) click 1  # "Sto&p"

  local punkte
  punkte="$(awk -v p=$((p1 - p0)) -v t=$((t1 - t0)) 'BEGIN { printf "%.1f", p * 1e9 / t }')"
  local cpu
  cpu="$(prozent $((c1 - c0)) $((t1 - t0)))"
  printf '%6s bit/s: CPU %5s %% of a core (%s us a point), %7s points/s, %s of baud/60\n' \
    "$baud" "$cpu" "$(je_punkt "$cpu" "$punkte")" "$punkte" "$(share "$punkte" "$baud")"
  local rp rc
  read -r rp rc <<<"$referenz"
  printf '         quickest host: CPU %5s %% (%s us a point), %7s points/s, %s;' \
    "$rc" "$(je_punkt "$rc" "$rp")" "$rp" "$(share "$rp" "$baud")"
  printf ' pty round trip %s us not counted\n' \
    "$(sed -n "s/^round_trip baud=$baud us=//p" sim.log | tail -1)"
  kill "$veka" "$sim"; wait "$veka" "$sim" 2>/dev/null || true
}

echo "live.sh: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $seconds s per figure"
leerlauf=""
read -r b0 g0 < <(busy)
for baud in $rates; do laufen "$baud"; done
read -r b1 g1 < <(busy)
echo "  idle window: CPU $leerlauf % of a core"
echo "  all processors meanwhile, everything included: $(prozent $((b1 - b0)) $((g1 - g0))) % busy"
