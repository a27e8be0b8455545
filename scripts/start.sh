#!/usr/bin/env bash
# Installs what is missing, builds Rallymark, places a starter database beside the executable when
# none is there, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/app/rallymark "$@"
