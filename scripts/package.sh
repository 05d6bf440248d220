#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# package.sh [DIR [cmake options...]]: builds the Debian package veka_<version>-<revision>_<arch>.deb
# in DIR (default build-deb, configured without tests and benchmarks) and prints its path on
# standard output; the build's own output goes to standard error. Install it with
#   sudo apt install ./build-deb/veka_*.deb
# It builds as Debian packages are built: with the flags of dpkg-buildflags, all hardening on,
# and SOURCE_DATE_EPOCH from the last commit (else the newest release), so that two builds of
# one commit give the same bytes, in whatever folder they are made.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-build-deb}"
[ $# -gt 0 ] && shift
cd "$top"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null || true)"
  if [ -z "$SOURCE_DATE_EPOCH" ]; then
    newest="$(grep -m1 -E '^[0-9]+\.[0-9]+\.[0-9]+ ' packaging/releases.txt | cut -d' ' -f2-)"
    SOURCE_DATE_EPOCH="$(date -d "$newest" +%s)"
  fi
fi
export SOURCE_DATE_EPOCH

# Run here, dpkg-buildflags maps the source folder to "."; the build folder gets a fixed name.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
flags() { dpkg-buildflags --get "$1"; }
cxxflags="$(flags CXXFLAGS) $(flags CPPFLAGS) -ffile-prefix-map=$top/$dir=build"
[ -f "$top/$dir/CMakeCache.txt" ] || set -- -DVEKA_TESTS=OFF -DVEKA_BENCH=OFF "$@"
"$top/scripts/build.sh" "$dir" -DCMAKE_INSTALL_PREFIX=/usr \
  "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$(flags LDFLAGS)" "$@" >&2
cd "$top/$dir"
rm -f veka_*.deb
cpack -G DEB --config CPackConfig.cmake >&2
ls "$top/$dir"/veka_*.deb
