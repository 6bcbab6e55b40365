#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset default
cmake --build --preset default
ctest --preset default
