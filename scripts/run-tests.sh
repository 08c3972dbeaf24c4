#!/usr/bin/env bash
# Installs the dependencies, builds, and runs the whole test suite.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/install-deps.sh"
# Warnings fail this build.
bash "$top/scripts/build.sh" "$top/build" -DKIVEXCEL_WARNINGS_AS_ERRORS=ON
cd "$top/build"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j 2 "$@"
# The Debian package: built, installed, run from /usr/bin and removed again.
bash "$top/scripts/check-package.sh" "$top/build"
