# Sourced by the screenshot scripts inside their X display: a window manager, and waiting for a
# window by its title.

# start_window_manager: openbox, so that windows have frames and can be moved and activated.
start_window_manager() {
  openbox --sm-disable >/dev/null 2>&1 &
  sleep 1
}

# window TITLE: the id of the window once it shows; the script stops when it never does.
window() {
  for _ in $(seq 100); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.2
  done
  echo "no window $1" >&2; exit 1
}
