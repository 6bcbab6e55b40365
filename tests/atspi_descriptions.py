#!/usr/bin/python3
"""Listens on the accessibility bus as a screen reader does while talerun plays a game, and
presses Space twice a second: every scene must bring one description change that carries its
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


def on_description(event):
    source = event.source
    try:
        if source.getApplication().name != "talerun":
            return
        focused = source.getState().contains(pyatspi.STATE_FOCUSED)
        events.append((source.name, source.getRoleName(), focused, source.description))
    except Exception as error:  # an object gone away: record it, the comparison will show it
        events.append(("?", "?", False, str(error)))


pyatspi.Registry.registerEventListener(on_description, "object:property-change:accessible-description")
player = subprocess.Popen([talerun, game], env=dict(os.environ, SDL_AUDIODRIVER="dummy"))
presses = len(expected) - 1


def press():
    global presses
    if presses == 0:
        GLib.timeout_add(1500, lambda: pyatspi.Registry.stop())
        return False
    subprocess.run(["xdotool", "key", "space"], check=True)
    presses -= 1
    return True


GLib.timeout_add(2500, lambda: (GLib.timeout_add(500, press), False)[1])
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
