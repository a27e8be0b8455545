#!/usr/bin/env bash
# Installs what is missing, builds Rallymark twice (the normal build and the AddressSanitizer +
# UndefinedBehaviorSanitizer build) and runs every test of both. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc 2>/dev/null || echo 2)
status=0

run_preset() {
    local preset=$1
    echo "=== ${preset}: configure and build"
    cmake --preset "$preset" >/dev/null || return 1
    cmake --build --preset "$preset" -j "$jobs" || return 1
    echo "=== ${preset}: tests"
    ctest --preset "$preset" -j "$jobs"
}

if [ "${RALLYMARK_SKIP_SANITIZE:-0}" != "1" ]; then
    run_preset asan || status=1
fi
run_preset default || status=1
exit $status
