#!/usr/bin/python3
"""Listens on the accessibility bus as a screen reader does while talerun plays a game, and
presses Space after each scene it hears: every scene must be announced once with its whole text
(a notification that shows, or an announcement where the toolkit has them) while the message
box ("下一个") has the focus; the ending, once while the closing picture has it.

    atspi_descriptions.py TALERUN GAME_FOLDER ENDING

Like a screen reader, it follows the focus through focus events: states read from the client's
cache are only as fresh as the events the client listens to.
"""
import os
import subprocess
import sys
import tempfile

import pyatspi
from gi.repository import GLib

talerun, game, ending = sys.argv[1:]
with open(os.path.join(game, "Game.txt"), "rb") as script:
    lines = script.read().decode("gbk").split("\r\n")
expected = lines[0:-1:8] + [ending]
events = []
focus = {"name": None, "role": None}


def from_talerun(source):
    try:
        return source.getApplication().name == "talerun"
    except Exception:
        return False


def on_focus(event):
    if event.detail1 and from_talerun(event.source):
        focus.update(name=event.source.name, role=event.source.getRoleName())


def heard(text):
    """Notes an announcement of talerun's and presses Space for the next scene."""
    events.append((text, focus["name"], focus["role"]))
    if len(events) >= len(expected):
        GLib.timeout_add(1000, pyatspi.Registry.stop)  # time for a stray extra event to show
    else:
        GLib.timeout_add(300, lambda: subprocess.run(["xdotool", "key", "space"]) and False)


def on_showing(event):
    source = event.source
    if not event.detail1 or not from_talerun(source):
        return
    try:
        if source.getRole() != pyatspi.ROLE_NOTIFICATION:
            return
        text = source.name
    except Exception as error:  # an object gone away: record it, the comparison will show it
        text = str(error)
    heard(text)


def on_announcement(event):
    if from_talerun(event.source):
        heard(str(event.any_data))


pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
pyatspi.Registry.registerEventListener(on_announcement, "object:announcement")
# The player keeps the reader's place in the user's data folder: a folder of the test's own.
reader_data = tempfile.TemporaryDirectory()
player = subprocess.Popen([talerun, game], env=dict(os.environ, SDL_AUDIODRIVER="dummy",
                                                    XDG_DATA_HOME=reader_data.name))
watchdog = {"count": -1}


def watch():
    """Gives up when nothing more has been heard for 20 s."""
    if watchdog["count"] == len(events):
        pyatspi.Registry.stop()
        return False
    watchdog["count"] = len(events)
    return True


GLib.timeout_add(20000, watch)
pyatspi.Registry.start()
player.terminate()
player.wait()

texts = [e[0] for e in events]
problems = []
if texts != expected:
    problems.append(f"announced {texts}, expected {expected}")
for text, name, role in events[:-1]:
    if (name, role) != ("下一个", "push button"):
        problems.append(f"'{text}' was announced with the focus on {name!r} ({role})")
if events and (events[-1][1] is None or events[-1][1] == "下一个"):
    problems.append(f"the ending was announced with the focus on {events[-1][1]!r}")
for line in problems:
    print("atspi:", line)
print("atspi: %d announcements, %s" % (len(events), "fine" if not problems else "FAILED"))
sys.exit(1 if problems else 0)
