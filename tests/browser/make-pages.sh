#!/bin/sh
# Publishes the pages the browser tests read: the demo, the largest game and a 不能跳过 game.
#   make-pages.sh MAKE_GAMES SCRIPTWELL DEMO_FOLDER OUT_FOLDER
set -e
make_games=$1 scriptwell=$2 demo=$3 out=$4
rm -rf "$out"
mkdir -p "$out/games" "$out/pages"
"$make_games" "$demo" "$out/games"
for game in demo long refused; do
  from="$out/games/$game"
  [ "$game" = demo ] && from=$demo
  QT_QPA_PLATFORM=offscreen "$scriptwell" --publish "$from" "$out/pages/$game" >/dev/null
done
