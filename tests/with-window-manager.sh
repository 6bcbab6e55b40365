#!/bin/sh
# Runs a command on a fresh Xvfb screen managed by openbox, which frames windows as a desktop does.
exec xvfb-run -a -s "-screen 0 ${TALE_SCREEN:-1280x1024x24}" sh -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 1
  "$@"
  rc=$?
  kill $wm
  exit $rc' sh "$@"
