#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# build.sh DIR [cmake options...]: configures and builds the project into DIR.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
cmake -S "$top" -B "$top/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$top/$dir" -j"$(nproc)"
