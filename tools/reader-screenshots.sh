#!/usr/bin/env bash
# Makes the screenshots of the player's reader features from the demo game: the menu over a
# scene (talerun-menu.png), the 读档 window with two saves and a quick save (talerun-slots.png)
# and the backlog (talerun-backlog.png). The reader's data goes to a scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v import >/dev/null || apt-get install -y -q --no-install-recommends imagemagick
cmake --preset default >/dev/null
cmake --build --preset default --target talerun >/dev/null
out=docs/screenshots
work=$(mktemp -d "${TMPDIR:-/tmp}/taletools-reader-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r examples/demo "$work/demo"
iconv -f GBK -t UTF-8 examples/demo/Game.ini | cut -d'"' -f2 >"$work/title"

cat >"$work/shoot.sh" <<'SCRIPT'
#!/usr/bin/env bash
set -euo pipefail
root=$1 work=$2
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
. "$root/tools/windows.sh"
start_window_manager
"$root/build/player/talerun" "$work/demo" & pid=$!
id=$(window "$(cat "$work/title")")
# Keys go to the active window through XTEST, never with --window: xdotool sends to a window
# through XTEST only while it has the focus, so a key that opens a window would have its release
# sent as a synthetic event the server never sees, and Ctrl and S would stay down.
xdotool windowactivate --sync "$id"; sleep 1
for i in 1 2; do # the next scene, a quick save, and the same place in slot i
  xdotool windowactivate --sync "$id"; sleep 0.3
  xdotool key space; sleep 2.5
  xdotool key F5; sleep 0.5
  xdotool key ctrl+s; sleep 1
  sid=$(window '存档'); xdotool windowactivate --sync "$sid"
  for _ in $(seq $((i-1))); do xdotool key Tab; done
  xdotool key space; sleep 1
done
xdotool windowactivate --sync "$id"
xdotool mousemove --window "$id" 300 200 click 3; sleep 1
# The menu is a window of its own: the screen, cut to the game's client area.
geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
  /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h "+" x "+" y}')
import -window root -crop "$geometry" +repage "$work/menu.png"
xdotool key Escape; sleep 0.5
xdotool windowactivate --sync "$id"
xdotool key ctrl+o; sleep 1.5
import -frame -window "$(window '读档')" "$work/slots.png"
xdotool key Escape; sleep 0.5
xdotool windowactivate --sync "$id"
xdotool key l; sleep 1
import -frame -window "$id" "$work/backlog.png"
kill $pid
SCRIPT
xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/shoot.sh" "$PWD" "$work"
for shot in menu slots backlog; do
  cp "$work/$shot.png" "$out/talerun-$shot.png"
done
