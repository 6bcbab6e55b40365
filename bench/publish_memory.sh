#!/usr/bin/env bash
# Peak memory of `scriptwell --publish` on a game of many large pictures (photos of a few MB
# each, one per scene), measured from outside with GNU time.
#   bash bench/publish_memory.sh SCRIPTWELL [PICTURES]     (60 pictures unless given)
# Needs ImageMagick (convert) and /usr/bin/time.
set -euo pipefail
scriptwell=$1
count=${2:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game=$work/game
mkdir -p "$game/BG" "$game/Msg" "$game/Music"
# Noise does not compress: each picture is as large on the page as in the game.
convert -size 3200x2400 xc: +noise Random -quality 88 "$work/photo.jpg"
convert -size 638x482 xc:black "$game/BG/over.jpg"
convert -size 600x120 xc:white "$game/Msg/box.png"
: >"$game/Game.txt"
for i in $(seq -w "$count"); do
  # Each scene its own file; links keep the game small on the disk.
  ln "$work/photo.jpg" "$game/BG/photo$i.jpg"
  printf 'Scene %s\r\nphoto%s.jpg\r\nbox.png\r\n2\r\n0\r\n0\r\n0\r\n2\r\n' "$i" "$i" >>"$game/Game.txt"
done
printf '"Photos","","","100","0"\r\n' >"$game/Game.ini"
echo "$count pictures of $(stat -c %s "$work/photo.jpg") bytes"
QT_QPA_PLATFORM=offscreen /usr/bin/time -v "$scriptwell" --publish "$game" "$work/page" \
  2>"$work/time.txt" | tail -1
grep -E 'Maximum resident set size|Elapsed \(wall clock\)' "$work/time.txt"
