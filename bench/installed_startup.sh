#!/usr/bin/env bash
# Start-up of two talerun executables on the same game, measured the same way from outside:
# from the process's start until the window manager lists its window (median of 9 each).
#   bash bench/installed_startup.sh INSTALLED_TALERUN BUILD_TALERUN GAME_FOLDER
# Runs under Xvfb with openbox; needs xprop (x11-utils).
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 1
export SDL_AUDIODRIVER=dummy
game=$3
# Milliseconds (in microseconds) from starting $1 until a window is added to the client list.
once() {
  local start end pid
  exec 3< <(stdbuf -oL xprop -root -spy _NET_CLIENT_LIST)
  read -r _ <&3 # the list as it is now
  start=$(date +%s%N)
  "$1" "$game" 2>/dev/null &
  pid=$!
  read -r _ <&3
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null
  exec 3<&-
  result=$(((end - start) / 1000))
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)] / 1000}'; }
for which in 1 2; do
  times=()
  for _ in $(seq 9); do
    once "${!which}"
    times+=("$result")
    sleep 0.3
  done
  medians[$which]=$(median "${times[@]}")
done
kill $wm
echo "window listed after start: $1 ${medians[1]} ms, $2 ${medians[2]} ms (median of 9)"
