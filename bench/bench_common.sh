# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the whole-program benchmarks (live.sh, remote.sh): the build to measure, a scratch
# folder with a private HOME (no stored port choice of the user's may redirect the program),
# clean-up of every process started, and the helpers both need. Sets top, build, seconds,
# rates, work and pids; the caller names itself in $bench for its messages.
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-build-test}"
[[ "$build" = /* ]] || build="$top/$build"
seconds="${SECONDS_PER_RATE:-10}"
rates="${RATES:-9600 57600}"
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$XDG_CONFIG_HOME"

wait_for() {  # wait_for SECONDS CONDITION...: polls the condition every 50 ms
  local n=$(($1 * 20)); shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.05; done
  echo "$bench: timed out waiting for: $*" >&2
  return 1
}
exchanges() { grep -c '^exchange=' sim.log || true; }  # exchanges the simulator logged so far
share() { awk -v p="$1" -v b="$2" 'BEGIN { printf "%.4f", p / (b / 60) }'; }  # of baud/60
