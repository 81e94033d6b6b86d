"""How fast a host's board is, served by nginx with the hosting recipe on loopback: the board of
100 games of 10,000 keys each, from the page's load to its full table, at a first visit and at
the next; a board of 10,000 games of 1,000 keys, to its first 50 rows and its full table, with
the longest the page's main thread was busy meanwhile; a followed game's keys,
from the moment the player's game saves each to the moment the page shows it; and the bytes
the page fetches to follow one game for a minute, against the keys it gained.

usage: board_bench.py SITE_DIR RECIPE ORBALUNE ORBALUNE_BOT_KEYS
(the web preset's site; host/orbalune-nginx.conf; the default preset's game and test bot)"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
from browser import chromium, longest_task, wait_for  # noqa: E402
from nginx import start as start_nginx  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402

site, recipe, game, bot = sys.argv[1:5]
GAMES = 100
KEYS = 10_000
MANY = 10_000  # games on the large board, each of
MANY_KEYS = 1_000
FOLLOWED_SECONDS = 60

work = tempfile.mkdtemp()
os.chmod(work, 0o755)
games = os.path.join(work, "games")
os.mkdir(games)
for number in range(GAMES):
    keys = subprocess.run([bot, str(number + 1), str(KEYS), "restless"], check=True,
                          capture_output=True).stdout[:KEYS]
    with open(os.path.join(games, f"player{number:03}.game"), "wb") as file:
        file.write(b"file orbalune saved game\nformat 1\nrules 1\nseed %d\n\n" % (number + 1) + keys)
log = os.path.join(work, "access.log")
server, port = start_nginx(recipe, site, games, work, access_log=log)
browser = chromium(os.path.join(work, "profile"))
player = None


def rows():
    return browser.execute_script("return document.querySelectorAll('#board-table tr').length;")


try:
    start = time.perf_counter()
    browser.get(f"http://127.0.0.1:{port}/index.html?games=/games/")
    wait_for("the full board", lambda: rows() == GAMES + 1, 600)
    print(f"board of {GAMES} games of {KEYS} keys: the full table "
          f"{time.perf_counter() - start:.2f} s after the page was asked for")
    browser.get("about:blank")
    start = time.perf_counter()
    browser.get(f"http://127.0.0.1:{port}/index.html?games=/games/")
    wait_for("the full board again", lambda: rows() == GAMES + 1, 600)
    print(f"the same board at a visit after (its records kept by the browser): the full table "
          f"{time.perf_counter() - start:.2f} s after the page was asked for")

    # The large board: a games folder of its own, served by an nginx of its own.
    many = os.path.join(work, "many")
    os.mkdir(many)
    short = [subprocess.run([bot, str(seed), str(MANY_KEYS), "restless"], check=True,
                            capture_output=True).stdout[:MANY_KEYS] for seed in range(1, 11)]
    for number in range(MANY):
        with open(os.path.join(many, f"p{number:05}.game"), "wb") as file:
            file.write(b"file orbalune saved game\nformat 1\nrules 1\nseed %d\n\n"
                       % (number % 10 + 1) + short[number % 10])
    many_work = os.path.join(work, "many-server")
    os.mkdir(many_work)
    os.chmod(many_work, 0o755)
    many_server, many_port = start_nginx(recipe, site, many, many_work)
    try:
        start = time.perf_counter()
        browser.get(f"http://127.0.0.1:{many_port}/index.html?games=/games/")
        wait_for("the first 50 rows", lambda: rows() > 50, 600)
        first = time.perf_counter() - start
        wait_for("the full large board", lambda: rows() == MANY + 1, 1200)
        whole = time.perf_counter() - start
        longest = longest_task(browser)
    finally:
        many_server.terminate()
        many_server.wait(10)
    print(f"board of {MANY} games of {MANY_KEYS} keys: the first 50 rows {first:.2f} s, the full "
          f"table {whole:.2f} s after the page was asked for; the main thread busy at most "
          f"{longest:.0f} ms at a time (tasks under 50 ms are not counted)")

    # A game played a key a second, in town, while the page follows it.
    alice = os.path.join(games, "alice.game")
    player = subprocess.Popen([game, "--save", alice, "--seed", "42"], stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL)
    wait_for("alice's game", lambda: os.path.exists(alice) and os.path.getsize(alice) > 0)
    browser.get(f"http://127.0.0.1:{port}/index.html?watch=/games/alice.game&follow")
    shown = lambda: browser.execute_script("return window.orbaluneScreen();")  # noqa: E731
    wait_for("the followed game", lambda: "| live" in shown(), 30)
    open(log, "w").close()  # from here on
    followed = time.monotonic()
    latencies = []
    while time.monotonic() - followed < FOLLOWED_SECONDS:
        count = len(re.findall(r"\x1b8v", shown()))
        player.stdin.write(b"v")
        player.stdin.flush()
        typed = time.monotonic()
        wait_for("the key in the page", lambda: len(re.findall(r"\x1b8v", shown())) > count, 10)
        latencies.append(time.monotonic() - typed)
        time.sleep(max(0, 1 - (time.monotonic() - typed)))
    sent = [line.split() for line in open(log) if line.startswith("/games/alice.game ")]
    print(f"following: {len(latencies)} keys, each shown after a median "
          f"{statistics.median(latencies) * 1000:.0f} ms, at worst {max(latencies) * 1000:.0f} ms")
    print(f"following for {FOLLOWED_SECONDS} s: {len(sent)} requests, "
          f"{sum(int(fields[2]) for fields in sent)} bytes sent by nginx, headers included, "
          f"for {len(latencies)} new keys")
finally:
    browser.quit()
    if player:
        player.kill()
    server.terminate()
    server.wait(10)
    shutil.rmtree(work)
