"""The web build's page in Debian's headless Chromium, against the terminal programs: a game
typed key by key shows what orbalune-replay --echo of its downloaded file shows, and its bytes
are the terminal's; a reload resumes at the same screen; a game made by the terminal program
opens and plays on; a second tab on a game is refused; a saved game of the site is watched and
steered; a file that is not a saved game is refused; and the page logs no error.

usage: page_test.py SITE_DIR ORBALUNE ORBALUNE_REPLAY"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from browser import (chromium, errors_in, say, screen_lines, serve, shown_bytes,  # noqa: E402
                     wait_for, wait_for_screen)
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

site, game, replay = sys.argv[1:4]
work = tempfile.mkdtemp()
served = os.path.join(work, "site")
shutil.copytree(site, served)
downloads = os.path.join(work, "downloads")
os.mkdir(downloads)

HEADER = b"file orbalune saved game\nformat 1\nrules 1\nseed %d\n\n"


def echo(path):
    """What orbalune-replay --echo shows of a saved game."""
    return subprocess.run([replay, "--echo", path], check=True, capture_output=True).stdout


def last_rows(browser, text):
    """The last rows the page's terminal shows of `text` (which ends where the cursor is), as
    many as it has, none of them longer than it is wide."""
    rows = len(screen_lines(browser))
    return [line.expandtabs().rstrip() for line in text.decode("utf-8").split("\n")][-rows:]


def message(browser):
    return browser.execute_script("return document.getElementById('message').textContent;")


def type_keys(browser, keys):
    """Types each key once the game asks for one, as a player does."""
    box = browser.find_element(By.CSS_SELECTOR, ".xterm-helper-textarea")
    for key in keys:
        prompts = shown_bytes(browser).count(b"==> ")
        box.send_keys(key)
        wait_for(f"the prompt after {key!r}",
                 lambda: shown_bytes(browser).count(b"==> ") > prompts
                 and shown_bytes(browser).endswith(b"==> "))


def snapshot_of(browser, name):
    return browser.execute_async_script(
        "const [name, done] = arguments;"
        "indexedDB.open('orbalune').onsuccess = (event) => event.target.result"
        ".transaction('snapshots').objectStore('snapshots').get(name).onsuccess ="
        " (got) => done(Array.from(got.target.result ?? []));", name)


def put_snapshot(browser, name, data):
    browser.execute_async_script(
        "const [name, data, done] = arguments;"
        "indexedDB.open('orbalune').onsuccess = (event) => {"
        "  const transaction = event.target.result.transaction('snapshots', 'readwrite');"
        "  transaction.objectStore('snapshots').put(new Uint8Array(data), name);"
        "  transaction.oncomplete = () => done(); };", name, list(data))


server, port = serve(served)
page = f"http://127.0.0.1:{port}/index.html"
browser = chromium(os.path.join(work, "profile"), downloads)
try:
    # A game from seed 42, typed key by key; the up arrow moves, and meets monsters, whose
    # announcement drops the keys typed meanwhile (two c's: run away).
    browser.get(page + "?seed=42")
    wait_for("the first prompt", lambda: shown_bytes(browser).endswith(b"==> "))
    type_keys(browser, ["v", "i", "e", Keys.ARROW_UP + "cc"])
    assert b"You see 2 Yuls!" in shown_bytes(browser), say(shown_bytes(browser).decode())
    page_bytes = shown_bytes(browser)
    playing = last_rows(browser, page_bytes)
    wait_for_screen(browser, "the fight's screen", playing)

    # Tab leaves the terminal for the choices' buttons (the game has no use for a tab).
    box = browser.find_element(By.CSS_SELECTOR, ".xterm-helper-textarea")
    box.send_keys(Keys.TAB)
    focused = browser.execute_script("return document.activeElement.closest('#choices') &&"
                                     " document.activeElement.dataset.key;")
    assert focused == "a", focused
    assert shown_bytes(browser) == page_bytes, "the tab reached the game"

    # Downloaded, it is the terminal programs' saved game of those keys, and they show what the
    # page showed, byte for byte.
    browser.find_element(By.ID, "download").click()
    wait_for("the keys back at the terminal", lambda: browser.execute_script(
        "return document.activeElement.classList.contains('xterm-helper-textarea');"))
    saved = os.path.join(downloads, "seed-42.game")
    wait_for("the download", lambda: os.path.exists(saved) and os.path.getsize(saved) > 0)
    assert open(saved, "rb").read() == HEADER % 42 + b"vien", open(saved, "rb").read()
    assert echo(saved) == page_bytes, say([echo(saved).decode(), page_bytes.decode()])

    # Reloaded, the game comes back where it was, at the fight's first menu.
    browser.refresh()
    wait_for_screen(browser, "the resumed game", playing)

    # A second tab on the same game is refused; the first plays on.
    first = browser.current_window_handle
    browser.switch_to.new_window("tab")
    browser.get(page + "?game=seed%2042")
    wait_for("the refusal", lambda: "another tab" in message(browser))
    assert shown_bytes(browser) == b"", say(shown_bytes(browser).decode())
    browser.close()
    browser.switch_to.window(first)

    # A game made at a terminal opens in the page, as a copy, and plays on from its last key.
    made = os.path.join(work, "made.game")
    subprocess.run([game, "--save", made, "--seed", "7"], input=b"vi", check=True,
                   capture_output=True)
    before = open(made, "rb").read()
    browser.find_element(By.ID, "open-file").send_keys(made)
    wait_for("the opened game", lambda: "game=made" in browser.current_url
             and shown_bytes(browser).endswith(b"==> "))
    wait_for_screen(browser, "the opened game's screen", last_rows(browser, echo(made)))
    type_keys(browser, ["v"])
    assert open(made, "rb").read() == before, "the opened file changed"

    # Beside each game the browser keeps a snapshot of it before its last command, which a
    # reload resumes from. One of another game's keys, damaged, or cut short is not used: the
    # game comes back from its keys, the same.
    snapshot = bytes(snapshot_of(browser, "seed 42"))
    assert snapshot.startswith(b"orbalune snapshot 1\n"), snapshot
    for wrong in (bytes(snapshot_of(browser, "made")), snapshot[:30] + bytes(len(snapshot) - 30),
                  snapshot[:-1]):
        put_snapshot(browser, "seed 42", wrong)
        browser.get(page + "?game=seed%2042")
        wait_for_screen(browser, "the game resumed from its keys", playing)

    # A file that is not a saved game is refused with its reason, and nothing is kept.
    stranger = os.path.join(work, "notes.game")
    with open(stranger, "wb") as file:
        file.write(b"<b>not a game</b>\n")
    browser.find_element(By.ID, "open-file").send_keys(stranger)
    wait_for("the refusal", lambda: message(browser).startswith("notes.game: "))
    names = browser.execute_async_script(
        "const done = arguments[0];"
        "indexedDB.open('orbalune').onsuccess = (event) => event.target.result"
        ".transaction('games').objectStore('games').getAllKeys().onsuccess ="
        " (keys) => done(keys.target.result);")
    assert sorted(names) == ["made", "seed 42"], names

    # A saved game of the site, watched: steered to its first key, with the status line on the
    # last row.
    shutil.copy(made, os.path.join(served, "made.game"))
    browser.get(page + "?watch=made.game")
    wait_for("the watch's status line", lambda: "| ? keys" in screen_lines(browser)[-1])
    box = browser.find_element(By.CSS_SELECTOR, ".xterm-helper-textarea")
    box.send_keys("g1" + Keys.ENTER)
    wait_for("key 1", lambda: screen_lines(browser)[-1].startswith("key 1 of 2 | town"))
    box.send_keys("q")
    wait_for("the watch to end", lambda: "ended" in message(browser))

    errors = errors_in(browser)
    assert not errors, say(errors)
finally:
    browser.quit()
    server.terminate()
    shutil.rmtree(work)
print("page: ok")
