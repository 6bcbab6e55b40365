#!/bin/sh
# Runs a command as on a desktop with a screen reader's plumbing: a session bus with the
# accessibility bus, an Xvfb screen and the openbox window manager. The accessibility bus has
# its socket in a runtime folder of its own: two runs at once would otherwise share one.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR=$runtime dbus-run-session -- sh -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  launcher=$!
  # A cold machine takes a while to start the bus: wait until the launcher holds its name and
  # answers, ten seconds at most. Asking before it holds the name would have D-Bus start a
  # second launcher, whose bus the first one takes down.
  tries=0
  until dbus-send --session --dest=org.freedesktop.DBus --print-reply /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q "boolean true" &&
    dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
      org.a11y.Bus.GetAddress >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ $tries -ge 100 ]; then
      echo "with-accessibility.sh: the accessibility bus did not answer in 10 s" >&2
      kill $launcher 2>/dev/null
      exit 1
    fi
    sleep 0.1
  done
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 sh "$(dirname "$0")/with-window-manager.sh" "$@"
  rc=$?
  kill $launcher 2>/dev/null
  exit $rc' "$0" "$@"
