#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# run.sh [cmake options...]: builds the fuzz targets with clang in build-fuzz (or
# $FUZZ_BUILD_DIR) and runs each for a bounded time.
# Exits non-zero when a target finds a crash; exits 0 with a note when clang++ is missing.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${FUZZ_SECONDS:-20}
build=${FUZZ_BUILD_DIR:-"$root/build-fuzz"}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found; fuzz targets skipped"
    exit 0
fi

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVEKA_FUZZ=ON -DVEKA_TESTS=OFF -DVEKA_BENCH=OFF "$@" >/dev/null
targets="fuzz_config fuzz_marks fuzz_series fuzz_ini fuzz_reply fuzz_settings fuzz_scpi"
# shellcheck disable=SC2086
cmake --build "$build" --target $targets -j2

status=0
for target in $targets; do
    work="$build/fuzz-work/$target"
    mkdir -p "$work/corpus"
    echo "== $target ($seconds s)"
    if ! (cd "$work" && "$build/$target" -max_total_time="$seconds" -max_len=65536 \
            -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            "$work/corpus" "$root/tests/fuzz/corpus/$target"); then
        echo "!! $target failed; the reproducer is in $work"
        status=1
    fi
done
exit $status
