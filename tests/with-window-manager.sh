#!/bin/sh
# Runs a command on a fresh Xvfb screen managed by openbox, which frames windows as a desktop does.
exec xvfb-run -a -s "-screen 0 ${TALE_SCREEN:-1280x1024x24}" sh -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  # Openbox manages the screen once it names itself on the root window. Wait for that, not for
  # a fixed time: a busy machine starts it late, and a window shown before it goes unframed and
  # may never be given the focus. Ten seconds at most.
  tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1))
    if [ $tries -ge 200 ] || ! kill -0 $wm 2>/dev/null; then
      echo "with-window-manager.sh: openbox did not take the screen in 10 s" >&2
      kill $wm 2>/dev/null
      exit 1
    fi
    sleep 0.05
  done
  "$@"
  rc=$?
  kill $wm
  exit $rc' sh "$@"
