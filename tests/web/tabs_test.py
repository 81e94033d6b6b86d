"""One game, several tabs, in Debian's headless Chromium: the address of a game from a seed keeps
the seed, and a reload plays the game on; a second tab on a game says where it is played, cannot
delete it, and takes it over when the first tab closes; a game this browser does not have is
not made silently, nor is an address that names no file watched; without the browser's locks (a page not served securely), two tabs playing
one game never mix their keys in its file; and the page logs no error.

usage: tabs_test.py SITE_DIR"""
import os
import shutil
import sys
import tempfile
from urllib.parse import parse_qs, urlparse

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from browser import chromium, errors_in, say, serve, shown_bytes, wait_for  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402

site = sys.argv[1]
work = tempfile.mkdtemp()
served = os.path.join(work, "site")
shutil.copytree(site, served)


def message(browser):
    return browser.find_element(By.ID, "message").text


def stored(browser):
    """Every game this browser keeps: name, and bytes after the header."""
    games = browser.execute_async_script(
        "const done = arguments[0];"
        "indexedDB.open('orbalune').onsuccess = (event) => event.target.result"
        ".transaction('pieces').objectStore('pieces').openCursor().onsuccess = (() => {"
        "  const games = {};"
        "  return (next) => { const cursor = next.target.result;"
        "    if (!cursor) { done(games); return; }"
        "    games[cursor.key[0]] = (games[cursor.key[0]] ?? '')"
        "      + String.fromCharCode(...cursor.value); cursor.continue(); };"
        "})();")
    return {name: text.encode("latin-1").split(b"\n\n", 1)[1] for name, text in games.items()}


def type_key(browser, key):
    """Types `key` at the terminal once the game asks, and waits for its echo."""
    wait_for("a question", lambda: shown_bytes(browser).endswith(b"==> "))
    before = len(shown_bytes(browser))
    browser.find_element(By.CSS_SELECTOR, ".xterm-helper-textarea").send_keys(key)
    wait_for(f"the echo of {key!r}", lambda: len(shown_bytes(browser)) > before)


def new_tab(browser, address, locks=True):
    browser.switch_to.new_window("tab")
    if not locks:  # as a page served over plain http has them
        browser.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                {"source": "delete Navigator.prototype.locks;"})
    browser.get(address)
    return browser.current_window_handle


server, port = serve(served)
page = f"http://127.0.0.1:{port}/index.html"
browser = chromium(os.path.join(work, "profile"))
try:
    # From a seed, the address keeps it (and the game's name): a reload plays the game on.
    browser.get(page + "?seed=42")
    first = browser.current_window_handle
    type_key(browser, "v")
    query = parse_qs(urlparse(browser.current_url).query)
    assert query == {"seed": ["42"], "name": ["seed 42"]}, browser.current_url
    browser.refresh()
    wait_for("the game played on", lambda: shown_bytes(browser).count(b"\nLV: 1 ") == 1
             and shown_bytes(browser).endswith(b"==> "))
    assert stored(browser) == {"seed 42": b"v"}, stored(browser)

    # A second tab on it says so, cannot delete it, and takes it over when the first closes.
    second = new_tab(browser, page + "?game=seed%2042")
    wait_for("the refusal", lambda: "another tab" in message(browser))
    browser.find_element(By.ID, "games").click()
    row = wait_for("the games", lambda: [cell.text for cell in browser.find_elements(
        By.CSS_SELECTOR, "#games-list tr:first-child td")])
    assert row[:2] == ["seed 42", "1"] and row[3] == "Play Download Delete", row
    browser.find_element(By.CSS_SELECTOR, "#games-list button[aria-label='Delete seed 42']").click()
    browser.switch_to.alert.accept()
    wait_for("the delete refused", lambda: "cannot be deleted" in message(browser))
    browser.find_element(By.CSS_SELECTOR, "#games-dialog menu button").click()
    browser.switch_to.window(first)
    browser.close()
    browser.switch_to.window(second)
    wait_for("the game taken over", lambda: shown_bytes(browser).endswith(b"==> "))
    assert b"\nLV: 1 " in shown_bytes(browser) and message(browser) == "", message(browser)
    type_key(browser, "i")
    wait_for("the key kept", lambda: stored(browser) == {"seed 42": b"vi"})

    # An address that names no file is said so.
    browser.get(page + "?watch=%25E0.game")
    wait_for("the bad address", lambda: "not one of a file" in message(browser))

    # A game this browser does not have is offered, not made.
    browser.get(page + "?game=nosuch")
    wait_for("the offer", lambda: "no game \"nosuch\"" in message(browser))
    assert "nosuch" not in stored(browser)

    # Without the browser's locks, two tabs play the game: the first key of the one that was
    # played on elsewhere is refused, and the file holds no key of it.
    one = new_tab(browser, page + "?game=seed%2042", locks=False)
    wait_for("the game in one tab", lambda: shown_bytes(browser).endswith(b"==> "))
    other = new_tab(browser, page + "?game=seed%2042", locks=False)
    type_key(browser, "v")
    browser.switch_to.window(one)
    browser.find_element(By.CSS_SELECTOR, ".xterm-helper-textarea").send_keys("i")
    wait_for("the refusal", lambda: "played on in another tab" in message(browser))
    assert stored(browser) == {"seed 42": b"viv"}, stored(browser)
    browser.switch_to.window(other)
    type_key(browser, "v")
    wait_for("the other tab's key", lambda: stored(browser) == {"seed 42": b"vivv"})

    errors = [error for handle in browser.window_handles
              for error in (browser.switch_to.window(handle) or errors_in(browser))]
    assert not errors, say(errors)
finally:
    browser.quit()
    server.terminate()
    shutil.rmtree(work)
print("tabs: ok")
