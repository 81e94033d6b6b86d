"""The web hosting recipe, for real: Debian's nginx on a loopback port, configured as Debian
installs it, with host/orbalune-nginx.conf as documented (this test's folders in place of /srv's),
serving the web build's site and a games folder with README's access lists. The board, at the
address README gives, in headless Chromium lists the folder's games as --info does, strangers'
names as text, a file too large for a page with its reason and without reading it; a game played
into the folder with orbalune --save under a umask that lets no one else read is followed live in
the page, each key shown within two seconds, its screen the one orbalune-replay --echo shows; the
board outlives the server's restart; and the server gives nothing but the site, the folder's
listing and its saved games, and takes nothing.

usage: nginx_recipe_test.py SITE_DIR RECIPE ORBALUNE ORBALUNE_REPLAY TEST_DATA_DIR"""
import http.client
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from browser import (chromium, errors_in, say, screen_lines, shown_bytes,  # noqa: E402
                     wait_for, wait_for_screen)
from nginx import start as start_nginx  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402

site, recipe, game, replay, data = sys.argv[1:6]
HEADER = b"file orbalune saved game\nformat 1\nrules 1\nseed %d\n\n"
STRANGER = '<b onclick="x">&amp; "eve"'

work = tempfile.mkdtemp()
os.chmod(work, 0o755)  # nginx's workers read as another user when the test runs as root
shutil.copytree(site, os.path.join(work, "site"))
games = os.path.join(work, "games")
os.mkdir(games)


def write(name, content):
    with open(os.path.join(games, name), "wb") as file:
        file.write(content)


write("bob.game", HEADER % 19 + open(os.path.join(data, "golden.keys"), "rb").read())
write(STRANGER + ".game", HEADER % 7 + b"vi")
write("junk.game", b"<html>not a game</html>\n")
with open(os.path.join(os.fsencode(games), b"caf\xe9.game"), "wb") as file:  # Latin-1's name
    file.write(HEADER % 3)
with open(os.path.join(games, "huge.game"), "wb") as file:  # a gigabyte, on 4 KB of disk
    file.write(HEADER % 1)
    file.truncate(1 << 30)
write("notes.txt", b"private\n")
write(".orbalune-new-aB3dE9", HEADER % 1)
os.symlink("/etc/passwd", os.path.join(games, "passwd.game"))
for name in os.listdir(games):  # played an hour ago
    an_hour_ago = time.time() - 3600
    os.utime(os.path.join(games, name), (an_hour_ago, an_hour_ago), follow_symlinks=False)

# README's access lists: nginx's user reads the folder and every game made in it later.
acl = subprocess.run(["setfacl", "-m", "u:www-data:rx", games], capture_output=True, text=True)
if acl.returncode == 0:
    subprocess.run(["setfacl", "-d", "-m", "u::rw,g::r,o::-,u:www-data:r", games], check=True)
else:
    print(f"the games folder keeps no access lists here ({acl.stderr.strip()}): a player's umask "
          "is not tried")

server, port = start_nginx(recipe, os.path.join(work, "site"), games, work)
player = None
browser = None


def request(method, path, headers=None):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    connection.putrequest(method, path, skip_accept_encoding=True)  # the path as it is
    for name, value in (headers or {}).items():
        connection.putheader(name, value)
    connection.endheaders()
    response = connection.getresponse()
    body = response.read()
    connection.close()
    return response.status, response.headers, body


def game_bytes():
    """What the watch showed of the game: its bytes without the status line's drawings."""
    return re.sub(rb"\x1b7.*?\x1b8", b"", shown_bytes(browser), flags=re.DOTALL)


try:
    # Only the site, the folder's listing and its saved games, read, with their types, never
    # kept stale by a cache.
    status, headers, body = request("GET", "/games/bob.game")
    assert status == 200 and body.startswith(HEADER % 19), status
    assert headers["Content-Type"] == "application/octet-stream", headers["Content-Type"]
    assert headers["Cache-Control"] == "no-cache", headers["Cache-Control"]
    status, headers, body = request("GET", "/games/bob.game", {"Range": "bytes=60-"})
    assert status == 206 and len(body) == os.path.getsize(os.path.join(games, "bob.game")) - 60
    status, _, body = request("GET", "/?games=/games/")  # README's address of the board
    assert status == 200 and b"<title>orbalune</title>" in body, status
    assert request("GET", "/orbalune.wasm")[1]["Content-Type"] == "application/wasm"
    assert request("GET", "/xterm.mjs")[1]["Content-Type"] == "text/javascript"
    for path in ["/games/notes.txt", "/games/.orbalune-new-aB3dE9", "/games/passwd.game",
                 "/games/../../../../etc/passwd", "/games/%2e%2e/%2e%2e/etc/passwd",
                 "/etc/passwd", "/games/sub/bob.game", "/games/bob.game/", "/../nginx.conf"]:
        status, _, body = request("GET", path)
        assert status in (400, 403, 404) and b"root:" not in body and b"private" not in body, \
            (path, status)
    for method in ["PUT", "DELETE", "POST"]:
        assert request(method, "/games/bob.game")[0] in (403, 405), method
    assert open(os.path.join(games, "bob.game"), "rb").read().startswith(HEADER % 19)

    # A game being played: alice's, from seed 42, its keys typed one at a time.
    alice = os.path.join(games, "alice.game")
    player = subprocess.Popen([game, "--save", alice, "--seed", "42"], stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              preexec_fn=lambda: os.umask(0o077))
    wait_for("alice's game", lambda: os.path.exists(alice) and os.path.getsize(alice) > 0)
    player.stdin.write(b"v")
    player.stdin.flush()
    wait_for("alice's first key", lambda: open(alice, "rb").read().endswith(b"v"))

    # The board: every game as --info sums it up, the deepest first; a stranger's name as text;
    # a file that is no saved game, with the reason.
    browser = chromium(os.path.join(work, "profile"))
    browser.get(f"http://127.0.0.1:{port}/?games=/games/")
    rows = lambda: browser.execute_script(  # noqa: E731
        "return [...document.querySelectorAll('#board-table tr')]"
        ".map((row) => [...row.cells].map((cell) => cell.textContent));")
    wait_for("the board", lambda: len(rows()) == 8)
    table = {row[0]: row[1:] for row in rows()[1:]}
    assert rows()[1][0] == "bob" and set(table) == {
        "bob", "alice", STRANGER, "junk", "passwd", "huge", "caf\ufffd"}, say(rows())
    assert table["huge"] == ["too large for this page (over 16 MB)"], say(table["huge"])
    assert table["caf\ufffd"] == [
        "its file name is not UTF-8 text, which a page cannot ask a server for"], \
        say(table["caf\ufffd"])
    assert table["bob"][:3] == ["19", "198", "3"] and table["bob"][9] != "being played now", \
        say(table["bob"])
    assert table["alice"][:2] == ["42", "1"] and table["alice"][9] == "being played now", \
        say(table["alice"])
    assert table["junk"] == ["not an orbalune saved game"], say(table["junk"])
    assert table["passwd"] == ["403 Forbidden"], say(table["passwd"])
    assert not browser.execute_script(
        "return document.querySelector('#board-table b, #board-table [onclick]');")

    # The server restarted: the board says it does not answer, and goes on once it does.
    server.terminate()
    server.wait(10)
    wait_for("the board's word", lambda: "does not answer" in browser.execute_script(
        "return document.getElementById('message').textContent;"), 30)
    log = os.path.join(work, "access.log")
    server, _ = start_nginx(recipe, os.path.join(work, "site"), games, work, port=port,
                            access_log=log)
    wait_for("the board again", lambda: browser.execute_script(
        "return document.getElementById('message').textContent;") == "", 30)
    assert len(rows()) == 8

    # A visit after: each game summed up before and unchanged since shows again without its
    # file read; a file that could not be summed up is read again.
    before = rows()
    open(log, "w").close()
    browser.get(f"http://127.0.0.1:{port}/?games=/games/")
    wait_for("the board at the next visit", lambda: rows() == before)
    fetched = [line.split()[0] for line in open(log)]
    assert "/games/bob.game" not in fetched and "/games/alice.game" not in fetched \
        and "/games/junk.game" in fetched, fetched

    # Alice's game watched from its start and followed live: each key she types shows within
    # two seconds.
    next(button for button in browser.find_elements(By.CSS_SELECTOR, "button.player")
         if button.text == "alice").click()
    wait_for("the followed game", lambda: "| live" in (screen_lines(browser) or [""])[-1])
    latencies = []
    for key in b"ivi":
        shown = game_bytes().count(b"==> " + bytes([key]))
        player.stdin.write(bytes([key]))
        player.stdin.flush()
        typed = time.monotonic()
        wait_for(f"{chr(key)!r} in the page",
                 lambda: game_bytes().count(b"==> " + bytes([key])) > shown, 10)
        latencies.append(time.monotonic() - typed)
    assert max(latencies) <= 2, latencies
    player.stdin.close()
    player.wait(10)
    # The screen above the status line is the last rows of what --echo shows, as many as the
    # terminal fitted to the page has but one.
    echo = subprocess.run([replay, "--echo", alice], check=True, capture_output=True).stdout
    above = len(screen_lines(browser)) - 1
    expected = [line.expandtabs().rstrip() for line in echo.decode().split("\n")][-above:]
    wait_for_screen(browser, "the followed game's screen", expected)
    # The board's look at the planted link is refused, as it must be, and its looks while the
    # server was down failed; nothing else fails.
    errors = [error for error in errors_in(browser) if "/games/passwd.game " not in error
              and "ERR_CONNECTION_REFUSED" not in error]
    assert not errors, say(errors)
    print(f"nginx recipe: ok (keys shown within {max(latencies):.2f} s)")
finally:
    if browser:
        browser.quit()
    if player and player.poll() is None:
        player.kill()
    server.terminate()
    server.wait(10)
    shutil.rmtree(work)
