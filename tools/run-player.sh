#!/usr/bin/env bash
# Installs what is missing, builds, and starts talerun on the bundled demo game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target talerun
cd examples/demo
exec ../../build/player/talerun "$@"
