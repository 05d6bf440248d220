#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and runs every test: the normal build with the benchmarks,
# the Debian package (built twice in two folders and compared, validated, and run unpacked
# from a scratch root), a Release build,
# the suite again under AddressSanitizer + UBSan, the threaded tests under ThreadSanitizer,
# and each file-reader fuzzer for a short, bounded time. Warnings are errors in the test builds;
# the Release build keeps the default, as a packager's build would.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
"$top/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

echo "== build and tests"
scripts/build.sh build-test -DVEKA_WERROR=ON
ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== Debian package: two builds, lintian, validators, the unpacked programs"
deb="$(scripts/package.sh build-deb)"
again="$(scripts/package.sh build-deb-again)"
scripts/package-check.sh "$deb" "$again"

echo "== Release build"
scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DVEKA_TESTS=OFF -DVEKA_BENCH=OFF
build-release/veka --version
build-release/veka-sim --version

echo "== AddressSanitizer + UBSan"
scripts/build.sh build-asan -DVEKA_SANITIZE="address;undefined" -DVEKA_BENCH=OFF -DVEKA_WERROR=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions="$top/tests/lsan.supp" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== ThreadSanitizer (threaded tests)"
scripts/build.sh build-tsan -DVEKA_SANITIZE=thread -DVEKA_BENCH=OFF -DVEKA_WERROR=ON
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build-tsan --output-on-failure -j"$jobs" -L threaded

echo "== fuzzers"
tests/fuzz/run.sh -DVEKA_WERROR=ON
