#!/bin/sh
# Publishes the demo and the largest game and measures their pages in headless Chromium
# (bench/page_bench.mjs).
#   bash bench/page_bench.sh [BUILD_FOLDER]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sh "$root/tests/browser/make-pages.sh" "$build/tests/make_games" "$build/editor/scriptwell" \
  "$root/examples/demo" "$work"
node "$root/bench/page_bench.mjs" "$work/pages"
