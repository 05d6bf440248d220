#!/usr/bin/env bash
# package.sh [DIR [cmake options...]]: builds the Debian package veka_<version>_<arch>.deb in
# DIR (default build-deb, configured without tests and benchmarks) and prints its path on
# standard output; the build's own output goes to standard error. Install it with
#   sudo apt install ./build-deb/veka_*.deb
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-build-deb}"
[ $# -gt 0 ] && shift
[ -f "$top/$dir/CMakeCache.txt" ] || set -- -DVEKA_TESTS=OFF -DVEKA_BENCH=OFF "$@"
"$top/scripts/build.sh" "$dir" -DCMAKE_INSTALL_PREFIX=/usr "$@" >&2
cd "$top/$dir"
rm -f veka_*.deb
cpack -G DEB --config CPackConfig.cmake >&2
ls "$top/$dir"/veka_*.deb
