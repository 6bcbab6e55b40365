#!/usr/bin/env bash
# Makes the screenshots of the README and the guide from the demo game: the player, the editor
# on a scene, both programs' game choosers, the preview during a Modify, and the game check on
# a copy of the demo with problems. Run it again when the windows change.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
command -v import >/dev/null || apt-get install -y -q --no-install-recommends imagemagick
cmake --preset default >/dev/null
cmake --build --preset default --target talerun scriptwell >/dev/null
out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/taletools-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r examples/demo "$work/灯塔之光"
# A copy with problems for the check: a picture gone, one misnamed, a hand-edited code.
cp -r examples/demo "$work/有问题的游戏"
rm "$work/有问题的游戏/BG/over.jpg"
mv "$work/有问题的游戏/Msg/dark.png" "$work/有问题的游戏/Msg/dark-old.png"
sed -i '5s/^0\r$/9\r/' "$work/有问题的游戏/Game.txt"

cat >"$work/shoot.sh" <<'SCRIPT'
#!/usr/bin/env bash
set -euo pipefail
root=$1 work=$2 out=$3
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config"
openbox --sm-disable >/dev/null 2>&1 &
sleep 1
window() { # window TITLE: the id of the window once it shows
  for _ in $(seq 100); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.2
  done
  echo "no window $1" >&2; exit 1
}
shot() { # shot TITLE FILE: the window with its frame
  id=$(window "$1"); sleep 1
  import -frame -window "$id" "$out/$2"
}
"$root/build/player/talerun" "$work/灯塔之光" & pid=$!
shot '灯塔之光' talerun.png
kill $pid
"$root/build/editor/scriptwell" "$work/灯塔之光" & pid=$!
id=$(window '游戏编辑')
xdotool windowactivate --sync "$id"
sleep 0.5
xdotool mousemove --window "$id" 368 408 click 1 # ">": the first scene
sleep 0.5
shot '游戏编辑' scriptwell.png
kill $pid
# The preview during a Modify: scene 1, "修改", a larger text size chosen, then F2.
"$root/build/editor/scriptwell" "$work/灯塔之光" & pid=$!
id=$(window '游戏编辑')
xdotool windowactivate --sync "$id"
xdotool mousemove --window "$id" 368 408 click 1 # ">"
xdotool mousemove --window "$id" 304 408 click 1 # "修改"
sleep 0.3
xdotool mousemove --window "$id" 176 106 click 1 # the text size list
sleep 0.3
xdotool key Down Down Down Return
sleep 0.3
xdotool key F2
xdotool windowmove "$(window '预览')" 1140 120 # beside the editor, not over it
shot '预览' scriptwell-preview.png
shot '游戏编辑' scriptwell-modify.png
kill $pid
# The game check on the copy with problems (F7).
"$root/build/editor/scriptwell" "$work/有问题的游戏" & pid=$!
id=$(window '游戏编辑')
xdotool windowactivate --sync "$id"
xdotool key F7
shot '检查游戏' scriptwell-check.png
kill $pid
"$root/build/player/talerun" --choose & pid=$!
shot 'talerun - 选择要玩的游戏' talerun-chooser.png
kill $pid
"$root/build/editor/scriptwell" --choose & pid=$!
shot 'scriptwell - 选择要编辑的游戏' scriptwell-chooser.png
kill $pid
SCRIPT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1680x1050x24" bash "$work/shoot.sh" "$PWD" "$work" "$out"
ls -l "$out"
