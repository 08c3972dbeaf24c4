#!/usr/bin/env bash
# Takes the README's screenshots of the real windows under a virtual display into docs/.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/install-deps.sh"
bash "$top/scripts/build.sh" "$top/build"
cmake --build "$top/build" --target kivexcel-shots
LANGUAGE=zh_CN xvfb-run -a -s "-screen 0 1024x768x24" "$top/build/kivexcel-shots" "$top/docs"
# The comparer in English: LANGUAGE picks the language, the locale itself stays as it is.
LANGUAGE=en xvfb-run -a -s "-screen 0 1024x768x24" "$top/build/kivexcel-shots" "$top/docs"
