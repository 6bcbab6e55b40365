#!/usr/bin/python3
"""Listens on the accessibility bus as a screen reader does while talerun plays a game, and
presses Space after each scene it hears: every scene must bring one description change that carries its
whole text, from the focused message box ("下一个"); the ending, one from the focused closing
picture.

    atspi_descriptions.py TALERUN GAME_FOLDER ENDING
"""
import os
import subprocess
import sys

import pyatspi
from gi.repository import GLib

talerun, game, ending = sys.argv[1:]
with open(os.path.join(game, "Game.txt"), "rb") as script:
    lines = script.read().decode("gbk").split("\r\n")
expected = lines[0:-1:8] + [ending]
events = []


def record(event):
    """Notes a description change of talerun's; returns whether it was one."""
    source = event.source
    try:
        if source.getApplication().name != "talerun":
            return False
        focused = source.getState().contains(pyatspi.STATE_FOCUSED)
        events.append((source.name, source.getRoleName(), focused, source.description))
    except Exception as error:  # an object gone away: record it, the comparison will show it
        events.append(("?", "?", False, str(error)))
    return True


# Each description heard brings the next press of Space, until the ending has been heard; a
# listener that hears nothing more for 20 s gives up.
def on_description(event):
    if not record(event):
        return
    if len(events) >= len(expected):
        GLib.timeout_add(1000, pyatspi.Registry.stop)  # time for a stray extra event to show
    else:
        GLib.timeout_add(300, lambda: subprocess.run(["xdotool", "key", "space"]) and False)


pyatspi.Registry.registerEventListener(on_description, "object:property-change:accessible-description")
player = subprocess.Popen([talerun, game], env=dict(os.environ, SDL_AUDIODRIVER="dummy"))
watchdog = {"count": -1}


def watch():
    if watchdog["count"] == len(events):
        pyatspi.Registry.stop()
        return False
    watchdog["count"] = len(events)
    return True


GLib.timeout_add(20000, watch)
pyatspi.Registry.start()
player.terminate()
player.wait()

texts = [e[3] for e in events]
problems = []
if texts != expected:
    problems.append(f"descriptions {texts}, expected {expected}")
for name, role, focused, text in events[:-1]:
    if (name, role) != ("下一个", "push button") or not focused:
        problems.append(f"'{text}' came from {name!r} ({role}, focused={focused})")
if events and events[-1][2] is False:
    problems.append(f"the ending's description came from an unfocused {events[-1][0]!r}")
for line in problems:
    print("atspi:", line)
print("atspi: %d description changes, %s" % (len(events), "fine" if not problems else "FAILED"))
sys.exit(1 if problems else 0)
