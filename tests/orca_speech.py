#!/usr/bin/python3
"""Plays a game with the Orca screen reader running, as a blind reader would: waits until Orca
has spoken each scene's whole text, then presses Space. Every scene, and the ending, must be
spoken exactly once. What Orca speaks is read from its debug log ("SPEECH OUTPUT" lines); speech
itself goes to a silent sound device.

    orca_speech.py TALERUN GAME_FOLDER ENDING

Runs inside with-accessibility.sh (session bus, accessibility bus, Xvfb, openbox). Orca, its
settings and speech-dispatcher live in a temporary home of their own.
"""
import fcntl
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

talerun, game, ending = sys.argv[1:]
with open(os.path.join(game, "Game.txt"), "rb") as script:
    lines = script.read().decode("gbk").split("\r\n")
expected = lines[0:-1:8] + [ending]

home = tempfile.mkdtemp(prefix="orca-speech-")
env = dict(os.environ)
for var, sub in [("HOME", "home"), ("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                 ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "run")]:
    env[var] = os.path.join(home, sub)
    os.makedirs(env[var], mode=0o700)
prefs = os.path.join(home, "orca")
os.makedirs(prefs)
log_path = os.path.join(home, "orca.log")

# speech-dispatcher speaks through ALSA into a null device: no sound card is needed, and no
# sound server that could block Orca while it waits for one.
os.makedirs(os.path.join(env["XDG_CONFIG_HOME"], "speech-dispatcher"))
with open(os.path.join(env["XDG_CONFIG_HOME"], "speech-dispatcher", "speechd.conf"), "w") as f:
    f.write('AudioOutputMethod "alsa"\nDefaultModule espeak-ng\n'
            'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n')
with open(os.path.join(env["HOME"], ".asoundrc"), "w") as f:
    f.write("pcm.!default { type null }\n")
# Orca writes its log through a buffer; a line at a time lets us follow it as it happens.
with open(os.path.join(prefs, "orca-customizations.py"), "w") as f:
    f.write("import orca.debug\n"
            "if orca.debug.debugFile:\n"
            "    orca.debug.debugFile.reconfigure(line_buffering=True)\n")

spoken = []  # every SPEECH OUTPUT text so far, in order
log_offset = 0


def read_log():
    global log_offset
    try:
        with open(log_path, encoding="utf-8", errors="replace") as log:
            log.seek(log_offset)
            chunk = log.read()
    except FileNotFoundError:
        return ""
    # Only whole lines: the rest is read next time.
    end = chunk.rfind("\n") + 1
    log_offset += len(chunk[:end].encode("utf-8"))
    # SPEECH OUTPUT: 'text' [voice=NAME]{voice settings}, or 'key ' {…} for a key's echo.
    for match in re.finditer(r"SPEECH OUTPUT: '(.*?)'(?: voice=\w+)? ?\{", chunk[:end]):
        spoken.append(match.group(1))
    return chunk[:end]


def wait_for(condition, what, seconds=30, process=None):
    """Follows the log until condition() holds; fails after the given time."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        read_log()
        if condition():
            return
        if process is not None and process.poll() is not None:
            fail(f"{what}: Orca ended early (exit status {process.returncode})")
        time.sleep(0.05)
    fail(f"{what}: not within {seconds} s")


def times_spoken(text):
    return sum(1 for line in spoken if text in line)


processes = []


def stop_all():
    for proc in reversed(processes):
        if proc.poll() is None:
            proc.terminate()
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
    # Orca started speech-dispatcher, which outlives it: end it and its voice modules.
    pid_file = os.path.join(env["XDG_RUNTIME_DIR"], "speech-dispatcher", "pid",
                            "speech-dispatcher.pid")
    try:
        with open(pid_file) as f:
            pid = int(f.read().split()[0])
        children = subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True)
        for p in [pid] + [int(c) for c in children.stdout.split()]:
            os.kill(p, signal.SIGKILL)
    except (OSError, ValueError, IndexError):
        pass


def fail(message):
    stop_all()
    print("orca:", message)
    orca_out.flush()
    with open(orca_out.name, encoding="utf-8", errors="replace") as out:
        for line in out.read().splitlines()[-5:]:  # e.g. another Orca already running
            print("orca: said:", line)
    print("orca: spoken so far:", spoken)
    print("orca: log kept in", log_path)
    sys.exit(1)


# Orca will not start while another Orca of the same user runs anywhere on the machine: it looks
# for processes named orca, whatever their display or bus. Runs of this test take turns, the
# next one starting as the last one's Orca has ended (the lock goes with this process).
orca_turn = open("/tmp/taletools-orca-speech.lock", "w")  # /tmp: the machine's, whatever TMPDIR
try:
    fcntl.flock(orca_turn, fcntl.LOCK_EX | fcntl.LOCK_NB)
except BlockingIOError:
    print("orca: waiting for another run's Orca to end", flush=True)
    fcntl.flock(orca_turn, fcntl.LOCK_EX)

orca_out = open(os.path.join(home, "orca.out"), "w")
orca = subprocess.Popen(["orca", "--debug-file", log_path, "-u", prefs], env=env,
                        stdout=orca_out, stderr=subprocess.STDOUT)
processes.append(orca)
wait_for(lambda: "Screen reader on." in " ".join(spoken), "Orca starting", process=orca)

player = subprocess.Popen([talerun, game], env=dict(env, SDL_AUDIODRIVER="dummy"))
processes.append(player)
for index, text in enumerate(expected):
    wait_for(lambda: times_spoken(text) >= 1, f"scene {index + 1} spoken", process=orca)
    if index + 1 < len(expected):
        subprocess.run(["xdotool", "key", "space"], check=True)

# A text said twice is said at once: when Orca has been quiet for a second, it has said all.
quiet_since, count = time.monotonic(), len(spoken)
deadline = quiet_since + 15
while time.monotonic() - quiet_since < 1 and time.monotonic() < deadline:
    read_log()
    if len(spoken) != count:
        quiet_since, count = time.monotonic(), len(spoken)
    time.sleep(0.05)
stop_all()

problems = [f"spoken {times_spoken(text)} times: {text}" for text in expected
            if times_spoken(text) != 1]
for line in problems:
    print("orca:", line)
print("orca: %d texts spoken, %s" % (len(expected), "fine" if not problems else "FAILED"))
if problems:
    print("orca: spoken:", spoken)
    print("orca: log kept in", log_path)
else:
    subprocess.run(["rm", "-rf", home])
sys.exit(1 if problems else 0)
