"""Plays orbalune.exe at a console: Wine's, bound to a pseudo-terminal, as at a Linux terminal.

Usage: console_game.py SAVE_FILE -- COMMAND...   (COMMAND starts orbalune.exe under Wine)

Checks that single keys act as they are pressed, that an arrow moves (the console gives it as a
key without a character), that a key typed during a fight's wait is dropped, and that Ctrl-C
ends the game with the terminal's settings as they were. Exits 1 with the reason if not.
"""
import os
import pty
import select
import sys
import termios
import time

save, command = sys.argv[1], sys.argv[sys.argv.index("--") + 1:]
pid, master = pty.fork()
if pid == 0:
    os.execvp(command[0], command)

screen = b""


def fail(reason):
    print(f"FAIL: {reason}\n--- screen:\n{screen.decode(errors='replace')[-1500:]}")
    os.kill(pid, 9)
    sys.exit(1)


def read_until(text, seconds=60):
    """Reads the screen until `text` is on it after what was read before."""
    global screen
    start, end = len(screen), time.monotonic() + seconds
    while text not in screen[start:]:
        if time.monotonic() > end:
            fail(f"no {text!r} within {seconds} s")
        ready, _, _ = select.select([master], [], [], 0.1)
        if ready:
            try:
                screen += os.read(master, 4096)
            except OSError:
                fail(f"the game ended before {text!r}")


def saved_keys():
    with open(save, "rb") as file:
        return file.read().split(b"\n\n", 1)[1]


found = termios.tcgetattr(master)
read_until(b"==>")
os.write(master, b"e")  # no Enter: a single key
read_until(b"You are in Dungeon #1")
read_until(b"==>")
os.write(master, b"\x1b[A")  # Up: north, into seed 7's first fight
read_until(b"You see 2 Fenniks!")
os.write(master, b"s")  # during the fight's wait: dropped
read_until(b"(a) Attack")
if saved_keys() != b"en":
    fail(f"the saved keys are {saved_keys()!r}, not b'en'")
os.write(master, b"\x03")  # Ctrl-C
end = time.monotonic() + 60
while os.waitpid(pid, os.WNOHANG) == (0, 0):
    if time.monotonic() > end:
        fail("Ctrl-C did not end the game")
    time.sleep(0.05)
if termios.tcgetattr(master) != found:
    fail("the terminal's settings were not given back")
print("console: ok")
