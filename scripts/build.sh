#!/usr/bin/env bash
# Configures and builds everything into build/ (or the folder given as the first argument; any
# further arguments go to cmake).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$top/build}"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}" >/dev/null
cmake --build "$build" -j "$(nproc)"
