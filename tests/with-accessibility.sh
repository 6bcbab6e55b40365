#!/bin/sh
# Runs a command as on a desktop with a screen reader's plumbing: a session bus with the
# accessibility bus, an Xvfb screen and the openbox window manager.
exec dbus-run-session -- sh -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  launcher=$!
  sleep 0.5
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 sh "$(dirname "$0")/with-window-manager.sh" "$@"
  rc=$?
  kill $launcher 2>/dev/null
  exit $rc' "$0" "$@"
