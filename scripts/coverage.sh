#!/usr/bin/env bash
# Builds the coverage preset, runs every test and prints the line coverage of the core library
# (src/<area>/*.cpp outside the widgets folders). Usage: scripts/coverage.sh [--html DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset coverage >/dev/null
cmake --build --preset coverage -j "$jobs"
find build/coverage -name '*.gcda' -delete
ctest --preset coverage -j "$jobs" || echo "(some tests failed; coverage is of what ran)"
args=(--root . --filter 'src/(data|time|roster|scheduling|comms)/[^/]+\.cpp$' --print-summary)
if [ "${1:-}" = "--html" ] && [ -n "${2:-}" ]; then
    mkdir -p "$2"
    args+=(--html-details "$2/index.html")
fi
gcovr "${args[@]}" build/coverage
