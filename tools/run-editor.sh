#!/usr/bin/env bash
# Installs what is missing, builds, and starts scriptwell on a fresh copy of the demo game, so
# trying the editor never changes the committed demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target scriptwell
work=$(mktemp -d "${TMPDIR:-/tmp}/scriptwell-demo.XXXXXX")
cp -r examples/demo/. "$work/"
echo "Editing a copy of the demo in $work"
cd "$work"
exec "$OLDPWD/build/editor/scriptwell" "$@"
