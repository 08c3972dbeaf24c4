#!/usr/bin/env bash
# Installs the dependencies, builds, serves the maker's web site from site/ on loopback and
# starts the toolbox. Without a display it runs under a virtual one (Xvfb).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh" "$top/build"

python3 -m http.server 8917 --bind 127.0.0.1 --directory "$top/site" >/dev/null 2>&1 &
site_pid=$!
trap 'kill "$site_pid" 2>/dev/null || true' EXIT

if [ -n "${DISPLAY:-}" ]; then
  "$top/build/KivExcel"
else
  echo "No display: running under Xvfb (DISPLAY=:99)."
  xvfb-run -n 99 -s "-screen 0 1024x768x24" "$top/build/KivExcel"
fi
