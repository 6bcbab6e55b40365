#!/usr/bin/env bash
# Makes the screenshots of the README and the guide from the demo game: the player, the editor
# on a scene, both programs' game choosers, the editor's new-game dialog, the preview during a
# Modify, and the game check on
# a copy of the demo with problems; then the guide's worked example (guide-*.png), made by
# driving the editor on a new game, the demo's 黄色 scene beside its check, and the scene list,
# the undo in the context menu and the earlier versions; 批量设置 and the check's warnings of a
# text cut off and of colours hard to read. Run it again when the windows change.
# publish-phone.png and publish-menu.png are chromium-scene-phone.png and chromium-menu-phone.png
# of `TALE_SHOTS=DIR ctest --preset default -R browser_chromium` (the published demo at 390×844);
# publish-desktop.png is the demo's fifth scene at 1280×800 from the disk in the same browser.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
command -v import >/dev/null || apt-get install -y -q --no-install-recommends imagemagick
command -v optipng >/dev/null || apt-get install -y -q --no-install-recommends optipng
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
cp -r examples/demo "$work/示例"

cat >"$work/shoot.sh" <<'SCRIPT'
#!/usr/bin/env bash
set -euo pipefail
root=$1 work=$2 out=$3
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config"
. "$root/tools/windows.sh"
start_window_manager
shot() { # shot TITLE FILE: the window with its frame
  local w; w=$(window "$1"); sleep 1
  import -frame -window "$w" "$out/$2"
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
xdotool key F2 # the preview opens beside the editor, within the screen
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
xdotool windowactivate --sync "$(window 'scriptwell - 选择要编辑的游戏')"
xdotool key alt+n # "新建游戏…"
xdotool windowactivate --sync "$(window '新建游戏')"
xdotool type --delay 60 '灯塔下的信'
shot '新建游戏' scriptwell-new.png
kill $pid

# The guide's worked example: a new game, two scenes, its settings, preview, check and play.
at() { xdotool mousemove --window "$id" "$1" "$2" click 1; sleep 0.4; } # at X Y: a click
pick() { # pick X Y NAME: "获取" at X Y, then NAME typed into the file dialog
  at "$1" "$2"
  xdotool windowactivate --sync "$(window 选择图片)"; sleep 0.5
  xdotool type --delay 40 "$3"; xdotool key Return
  for _ in $(seq 50); do xdotool search --name '^选择图片$' >/dev/null 2>&1 || break; sleep 0.2; done
  sleep 0.3
}
crop() { # crop TITLE FILE GEOMETRY: a part of the window, without its frame
  local w; w=$(window "$1"); sleep 1
  import -window "$w" -crop "$3" +repage "$out/$2"
}
export XDG_CONFIG_HOME="$work/config-example" # the preview starts closed
game="$work/灯塔下的信"
"$root/build/editor/scriptwell" --new "$game" & pid=$!
id=$(window '游戏编辑')
xdotool windowactivate --sync "$id"
shot '游戏编辑' guide-empty.png
cp "$work/示例/BG/"{dusk,tower,over}.jpg "$game/BG/"
cp "$work/示例/Msg/"{light,dark}.png "$game/Msg/"
cp "$work/示例/Music/1.mid" "$game/Music/"
at 160 408 # "增加"
at 124 216 # the text
xdotool key ctrl+a
xdotool type --delay 60 '傍晚，灯塔下的小路上一个人也没有。'
pick 472 88 dusk.jpg
pick 472 144 light.png
at 176 106; xdotool key Home Down Down Return; sleep 0.3 # size 18
shot '游戏编辑' guide-add.png
at 160 408 # "OK?"
at 160 408 # "增加": the second scene
at 124 216
xdotool key ctrl+a
xdotool type --delay 60 '信封上没有署名，只写着：请点亮那盏灯。'
pick 472 88 tower.jpg
pick 472 144 dark.png
at 176 106; xdotool key Home Down Down Return; sleep 0.3 # size 18
at 176 138; xdotool key Home Down Return; sleep 0.3  # 白色
at 160 408                                          # "OK?"
at 372 236; xdotool key ctrl+a type '1.mid'; at 480 236        # BGM, its "修改"
crop '游戏编辑' guide-settings.png 265x193+248+176    # the frame 全局修改
xdotool key F2
xdotool windowmove "$(window '预览')" 1000 60
shot '预览' guide-preview.png
xdotool windowactivate --sync "$id"; xdotool key F7
shot '检查游戏' guide-check.png
xdotool windowactivate --sync "$id"
at 40 408 # "<<": the first scene
xdotool key F5
shot '灯塔下的信' guide-play.png
kill "$(xdotool search --name '^灯塔下的信$' getwindowpid)"
kill $pid
# The demo's scene 7, coloured 黄色: its preview beside the check's warning.
export XDG_CONFIG_HOME="$work/config-colours"
"$root/build/editor/scriptwell" "$work/示例" & pid=$!
id=$(window '游戏编辑')
xdotool windowactivate --sync "$id"
for _ in 1 2 3 4 5 6 7; do at 368 408; done # ">" seven times
xdotool key F2
xdotool windowmove "$(window '预览')" 1000 60
shot '预览' colour-preview.png
xdotool windowactivate --sync "$id"; xdotool key F7
shot '检查游戏' colour-check.png
kill $pid
convert "$out/colour-preview.png" -size 16x1 xc:white "$out/colour-check.png" \
  -background white -gravity north +append "$out/guide-colours.png"
rm "$out/colour-preview.png" "$out/colour-check.png"
# A whole story: scene 3 deleted, the context menu naming the undo, the scene list (F3) with a
# find, and the earlier versions (one was kept before the delete).
export XDG_CONFIG_HOME="$work/config-story" XDG_DATA_HOME="$work/data-story"
cp -r "$root/examples/demo" "$work/故事"
"$root/build/editor/scriptwell" "$work/故事" & pid=$!
id=$(window '游戏编辑')
xdotool windowactivate --sync "$id"
for _ in 1 2 3; do at 368 408; done # ">" three times
at 232 408                          # "删除"
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove --window "$id" 500 300 click 3; sleep 0.8
import -window root -crop "760x520+$((X - 4))+$((Y - 24))" +repage "$out/scriptwell-undo.png"
xdotool key Escape; sleep 0.3
xdotool key F3
list=$(window '场景列表')
xdotool windowmove "$list" 1000 60; xdotool windowactivate --sync "$list"
xdotool key ctrl+f; xdotool type --delay 60 '灯'; sleep 0.5
shot '场景列表' scriptwell-list.png
xdotool windowactivate --sync "$id"
xdotool mousemove --window "$id" 500 300 click 3; sleep 0.5; xdotool key v
xdotool windowmove "$(window '以前的版本')" 560 60
shot '以前的版本' scriptwell-versions.png
kill $pid
# Writing in bulk: the scene list's context menu, and 替换 (Ctrl+H) with its list of scenes.
"$root/build/editor/scriptwell" "$work/示例" & pid=$!
id=$(window '游戏编辑')
xdotool windowactivate --sync "$id"
xdotool key F3
list=$(window '场景列表')
xdotool windowmove "$list" 60 60; xdotool windowactivate --sync "$list"; sleep 0.5
xdotool key Down shift+Down; sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$list")"
xdotool mousemove --window "$list" 200 160 click 3; sleep 0.8
import -window root -crop "$((WIDTH + 40))x$((HEIGHT + 30))+$((X - 4))+$((Y - 24))" +repage \
  "$out/scriptwell-paste.png"
xdotool key Escape; sleep 0.3
xdotool key ctrl+h
replace=$(window '替换')
xdotool windowmove "$replace" 520 60; xdotool windowactivate --sync "$replace"
xdotool type --delay 60 '灯塔'; xdotool key Tab; xdotool type --delay 60 '塔楼'; sleep 0.5
shot '替换' scriptwell-replace.png
kill $pid
# 批量设置 on the demo's scenes 2-4 (white text chosen, the preview following), and the check
# reading like a reader: scene 2 given a text too long for the box, beside the demo's scenes
# whose colours stand out too little.
export XDG_CONFIG_HOME="$work/config-bulk" XDG_DATA_HOME="$work/data-bulk"
cp -r "$root/examples/demo" "$work/长故事"
long='那天傍晚，小雨在塔下的台阶上坐了很久。海风吹乱了她的头发，远处的渔船一只只回港，码头上的灯一盏接一盏亮起来。她想起信上的话，想起外婆讲过的那个守塔人的故事，想起自己答应过的事。天完全黑下来的时候，她终于站起身，推开了那扇生锈的铁门，走进了塔里。'
printf '%s\r\n' "$long" | iconv -f UTF-8 -t GBK >"$work/long.txt"
python3 - "$work/长故事/Game.txt" "$work/long.txt" <<'PY'
import sys
lines = open(sys.argv[1], 'rb').read().split(b'\r\n')
lines[8] = open(sys.argv[2], 'rb').read().rstrip(b'\r\n')
open(sys.argv[1], 'wb').write(b'\r\n'.join(lines))
PY
"$root/build/editor/scriptwell" "$work/长故事" & pid=$!
id=$(window '游戏编辑')
xdotool windowactivate --sync "$id"
xdotool key F3
list=$(window '场景列表')
xdotool windowmove "$list" 40 60; xdotool windowactivate --sync "$list"; sleep 0.5
xdotool key Home Down shift+Down shift+Down; sleep 0.3
xdotool key ctrl+b
dialog=$(window '批量设置')
xdotool windowactivate --sync "$dialog"; sleep 0.3
xdotool windowmove "$dialog" 480 120; sleep 0.3
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab; sleep 0.2 # the colour list
xdotool key Home Down; sleep 0.5                                    # 白色
shot '批量设置' guide-batch.png
xdotool key Escape; sleep 0.3
xdotool windowactivate --sync "$id"; xdotool key F7
check=$(window '检查游戏')
xdotool windowmove "$check" 560 60; xdotool windowactivate --sync "$check"; sleep 0.3
shot '检查游戏' reading-check.png
xdotool key alt+g # "转到" the first line: scene 2
xdotool windowactivate --sync "$id"; xdotool key F2
xdotool windowmove "$(window '预览')" 1000 60
shot '预览' reading-preview.png
kill $pid
convert "$out/reading-check.png" -size 16x1 xc:white "$out/reading-preview.png" \
  -background white -gravity north +append "$out/guide-reading.png"
rm "$out/reading-preview.png" "$out/reading-check.png"
SCRIPT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1680x1050x24" bash "$work/shoot.sh" "$PWD" "$work" "$out"
optipng -quiet -o2 "$out"/*.png
ls -l "$out"
