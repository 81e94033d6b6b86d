"""The page on a phone, in Debian's headless Chromium emulating phones with touch: a game played
by taps alone (into the dungeon, a fight, an item got and used, back in town, the store) keeps
the keys the terminal programs replay to the page's bytes; a tap while the game waits does
nothing; a burst of taps is a burst of keys; an on-screen keyboard's key reaches the game once;
at every size from a small phone to a large screen, on its side or not, nothing scrolls sideways,
the terminal's columns are readable and clear of its scrollbar, and every button is at least
44 by 44; loaded once, the page plays with the network gone; and it logs no error. Screenshots
of each size are kept in phone-screens/ for review.

usage: phone_test.py SITE_DIR ORBALUNE_REPLAY"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from browser import chromium, errors_in, say, serve, shown_bytes, wait_for  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402

site, replay = sys.argv[1:3]
work = tempfile.mkdtemp()
served = os.path.join(work, "site")
shutil.copytree(site, served)
downloads = os.path.join(work, "downloads")
os.mkdir(downloads)
screens = os.path.abspath("phone-screens")
os.makedirs(screens, exist_ok=True)

HEADER = b"file orbalune saved game\nformat 1\nrules 1\nseed %d\n\n"
# Seed 191: enter, east into a fight won by four attacks that leaves a recall potion, get it,
# use it (slot c) to warp to town, then the store: buy (a) the bare hands it sells for nothing.
TAPS = "EEaaaaGUcBaa"
# Portrait and landscape phones, the smallest screen, and a large one (not a phone).
SIZES = [(360, 640, True), (640, 360, True), (390, 844, True), (844, 390, True),
         (320, 480, True), (2560, 1440, False)]


def button(browser, key, ready=False):
    """The choice's button for `key`, if the game offers it now (and, if `ready`, is not waiting
    on its clock), found in one look: the buttons are drawn anew at each question."""
    return browser.execute_script(
        "return [...document.querySelectorAll('#choice-buttons button')].find((b) =>"
        " b.dataset.key === arguments[0]"
        " && (!arguments[1] || b.getAttribute('aria-disabled') === 'false')) ?? null;",
        key, ready)


def tap(browser, key):
    """Taps `key`'s button once it is offered and not waiting, and waits for its echo."""
    found = wait_for(f"a button for {key!r}", lambda: button(browser, key, ready=True))
    before = len(shown_bytes(browser))
    found.click()
    wait_for(f"the echo of {key!r}", lambda: len(shown_bytes(browser)) > before)


def waiting(browser):
    return browser.execute_script(
        "return document.getElementById('choice-buttons').classList.contains('waiting');")


def stored_keys(browser, name):
    """The keys of the game `name` as this browser keeps it."""
    stored = browser.execute_async_script(
        "const [name, done] = arguments;"
        "indexedDB.open('orbalune').onsuccess = (event) => event.target.result"
        ".transaction('pieces').objectStore('pieces')"
        ".getAll(IDBKeyRange.bound([name, 0], [name, Infinity])).onsuccess = (got) =>"
        " done(got.target.result.map((piece) => String.fromCharCode(...piece)).join(''));",
        name)
    return stored.encode("latin-1").split(b"\n\n", 1)[1]


def layout(browser):
    """What the page's layout is now: its widths, the terminal's font and where its columns end,
    and the visible buttons smaller than 44 by 44."""
    return browser.execute_script("""
        const box = document.getElementById('terminal').getBoundingClientRect();
        const screen = document.querySelector('.xterm-screen').getBoundingClientRect();
        const bar = document.querySelector('.xterm .scrollbar.vertical');
        const small = [...document.querySelectorAll('button')].filter((b) => {
          const r = b.getBoundingClientRect();
          return r.width > 0 && (r.width < 44 || r.height < 44);
        }).map((b) => b.textContent.trim());
        return {scrollWidth: document.documentElement.scrollWidth, width: innerWidth,
                font: parseFloat(getComputedStyle(document.querySelector('.xterm-rows')).fontSize),
                columnsEnd: screen.right, terminalEnd: box.right, terminalWidth: box.width,
                barStart: bar ? bar.getBoundingClientRect().left : box.right, small};""")


def resize(browser, width, height, phone):
    browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 2 if phone else 1,
        "mobile": phone,
        "screenOrientation": {"type": "portraitPrimary" if height > width else "landscapePrimary",
                              "angle": 0 if height > width else 90}})


server, port = serve(served)
page = f"http://127.0.0.1:{port}/index.html"
browser = chromium(os.path.join(work, "profile"), downloads, phone=(390, 844))
try:
    # A whole game by taps. During the fight the buttons wait with the game, and a tap then
    # does nothing.
    browser.get(page + "?seed=191")
    wait_for("the first question", lambda: button(browser, "E"))
    browser.save_screenshot(os.path.join(screens, "390x844-town.png"))
    for key in TAPS[:3]:
        tap(browser, key)
    wait_for("the fight's wait", lambda: waiting(browser))
    browser.execute_script("document.querySelector('#choice-buttons button').click();")
    browser.save_screenshot(os.path.join(screens, "390x844-fight.png"))
    for key in TAPS[3:]:
        tap(browser, key)
    wait_for("the store's last question", lambda: shown_bytes(browser).endswith(b"==> "))
    assert stored_keys(browser, "seed 191") == TAPS.encode(), stored_keys(browser, "seed 191")
    page_bytes = shown_bytes(browser)
    assert b"You won!" in page_bytes and b"You are currently in town." in page_bytes

    # A burst of taps, faster than the game reads: each is a key, as typed keys are.
    before = page_bytes.count(b"\nLV: 1 ")
    browser.execute_script(
        "const v = [...document.querySelectorAll('#choice-buttons button')]"
        ".find((b) => b.dataset.key === 'V'); v.click(); v.click();")
    wait_for("both stats", lambda: shown_bytes(browser).count(b"\nLV: 1 ") == before + 2)

    # An on-screen keyboard's key: a keydown with key code 229, then the text as an input.
    box = browser.find_element(By.CSS_SELECTOR, ".xterm-helper-textarea")
    browser.execute_script("arguments[0].focus();", box)
    browser.execute_cdp_cmd("Input.dispatchKeyEvent", {
        "type": "rawKeyDown", "windowsVirtualKeyCode": 229, "key": "Unidentified"})
    browser.execute_cdp_cmd("Input.insertText", {"text": "v"})
    browser.execute_cdp_cmd("Input.dispatchKeyEvent", {
        "type": "keyUp", "windowsVirtualKeyCode": 229, "key": "Unidentified"})
    wait_for("the typed key", lambda: shown_bytes(browser).count(b"\nLV: 1 ") == before + 3)
    wait_for("its saving", lambda: stored_keys(browser, "seed 191") == (TAPS + "VVv").encode())

    # Downloaded, the terminal programs replay it to the page's bytes.
    page_bytes = shown_bytes(browser)
    browser.find_element(By.ID, "menu-button").click()
    browser.find_element(By.ID, "download").click()
    saved = os.path.join(downloads, "seed-191.game")
    wait_for("the download", lambda: os.path.exists(saved) and os.path.getsize(saved) > 0)
    assert open(saved, "rb").read() == HEADER % 191 + (TAPS + "VVv").encode()
    echoed = subprocess.run([replay, "--echo", saved], check=True, capture_output=True).stdout
    assert echoed == page_bytes, say([echoed.decode(), page_bytes.decode()])

    # Share gives the link to this dungeon (through the share sheet, or copied, or shown).
    browser.find_element(By.ID, "share").click()
    wait_for("the link", lambda: f"/index.html?seed=191" in browser.find_element(
        By.ID, "message").text)

    # Watched, the file is steered by buttons: to its end, then stopped.
    shutil.copy(saved, os.path.join(served, "seed191.game"))
    browser.get(page + "?watch=seed191.game")
    tap_steering = lambda key: wait_for(f"the steering key {key!r}",  # noqa: E731
                                        lambda: button(browser, key, ready=True)).click()
    tap_steering("\x1b[F")
    last_row = "return [...document.querySelectorAll('.xterm-rows > div')].pop().textContent;"
    wait_for("the end", lambda: browser.execute_script(last_row).startswith("key 15 of 15"))
    # Turned on its side and back, the watch's status line moves to the new last row.
    for width, height in [(844, 390), (390, 844)]:
        resize(browser, width, height, True)
        wait_for(f"the status line at {width}x{height}",
                 lambda: browser.execute_script(last_row).startswith("key 15 of 15"))
    tap_steering("q")
    wait_for("the watch's end", lambda: "ended" in browser.find_element(By.ID, "message").text)
    browser.find_element(By.CSS_SELECTOR, "#message button").click()  # back to the game
    wait_for("the game again", lambda: button(browser, "V", ready=True))

    # Every size, turned either way: no sideways scroll, a readable terminal whose columns end
    # before its scrollbar, buttons big enough for a finger.
    for width, height, phone in SIZES:
        resize(browser, width, height, phone)
        wait_for(f"the layout at {width}x{height}",
                 lambda: browser.execute_script("return innerWidth;") == width)
        browser.execute_script("return new Promise((done) => requestAnimationFrame("
                               "() => requestAnimationFrame(done)));")
        seen = layout(browser)
        browser.save_screenshot(os.path.join(screens, f"{width}x{height}.png"))
        where = f"{width}x{height}: {say(seen)}"
        assert seen["scrollWidth"] <= seen["width"], where
        assert seen["font"] >= 14, where
        assert seen["columnsEnd"] <= min(seen["barStart"], seen["terminalEnd"]) + 0.5, where
        if phone:
            assert not seen["small"], where
        else:
            assert seen["font"] >= 20 and seen["terminalWidth"] >= 0.9 * width, where
    resize(browser, 390, 844, True)

    # Loaded once, the page plays on with the network gone: the site's server stopped, the
    # browser offline.
    wait_for("the page kept for offline",
             lambda: browser.execute_script("return !!navigator.serviceWorker.controller;"))
    server.terminate()
    server.wait()
    browser.execute_cdp_cmd("Network.enable", {})
    browser.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    browser.get(page)
    wait_for("the game, offline", lambda: button(browser, "V")
             and shown_bytes(browser).endswith(b"==> "))
    assert browser.find_element(By.ID, "offline").is_displayed()
    tap(browser, "V")
    wait_for("the key kept offline",
             lambda: stored_keys(browser, "seed 191") == (TAPS + "VVvV").encode())
    browser.save_screenshot(os.path.join(screens, "390x844-offline.png"))

    errors = errors_in(browser)
    assert not errors, say(errors)
finally:
    browser.quit()
    server.terminate()
    shutil.rmtree(work)
print(f"phone: ok (screenshots in {screens})")
