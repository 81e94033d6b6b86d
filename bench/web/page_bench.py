"""How fast the web build is, against the native one in the same run: the site's size, the page's
load to its first screen, a game of 100,000 keys opened and resumed in the page, one of
1,000,000 keys opened (with the longest the page's main thread was kept busy meanwhile), a jump
in the page's steered watch of 100,000 keys, the keys a second of the replay tool in Node.js
against the native tool's, and the time from a key to its screen.

usage: page_bench.py SITE_DIR ORBALUNE_REPLAY_JS ORBALUNE_REPLAY ORBALUNE_BOT_KEYS
(the web preset's site and replay tool; the default preset's replay tool and test bot)"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
from browser import chromium, longest_task, screen_lines, serve, wait_for  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402

site, replay_js, replay, bot = sys.argv[1:5]
SEED = 5
KEYS = 100_000
work = tempfile.mkdtemp()


def best_of(times, run):
    """The shortest of `times` runs of `run`, in seconds."""
    durations = []
    for _ in range(times):
        start = time.perf_counter()
        run()
        durations.append(time.perf_counter() - start)
    return min(durations)


keys = subprocess.run([bot, str(SEED), str(KEYS)], check=True, capture_output=True).stdout[:KEYS]
HEADER = b"file orbalune saved game\nformat 1\nrules 1\nseed %d\n\n" % SEED
game = os.path.join(work, "long.game")
with open(game, "wb") as file:
    file.write(HEADER + keys)
# A million keys, cut where the game asks for a command (not in a fight, which plays on at its
# own pace once shown).
million = os.path.join(work, "million.game")
for cut in range(1_000_000, 990_000, -1):
    with open(million, "wb") as file:
        file.write(HEADER + (keys * 10)[:cut])
    info = subprocess.run([replay, "--info", million], check=True, capture_output=True).stdout
    if b"in a fight" not in info and b"store" not in info:
        break

size = sum(os.path.getsize(os.path.join(site, name)) for name in os.listdir(site))
print(f"site: {len(os.listdir(site))} files, {size / 1e6:.2f} MB")

native = best_of(3, lambda: subprocess.run([replay, game], check=True, capture_output=True))
web = best_of(3, lambda: subprocess.run(["node", replay_js, game], check=True,
                                        capture_output=True))
print(f"replay of {KEYS} keys: native {native:.3f} s ({KEYS / native:,.0f} keys/s), "
      f"Node.js {web:.3f} s ({KEYS / web:,.0f} keys/s): {native / web:.2f} of native's speed")

site_copy = os.path.join(work, "site")
shutil.copytree(site, site_copy)
server, port = serve(site_copy)
browser = chromium(os.path.join(work, "profile"))
page = f"http://127.0.0.1:{port}/index.html"
shown = lambda: browser.execute_script("return window.orbaluneScreen();")  # noqa: E731
try:
    loads = []
    for attempt in range(5):
        start = time.perf_counter()
        browser.get(f"{page}?new&name=load{attempt}")
        wait_for("the first screen", lambda: shown().endswith("==> "))
        loads.append(time.perf_counter() - start)
    print(f"page load to the first screen: median {statistics.median(loads) * 1000:.0f} ms "
          f"of {len(loads)}")

    start = time.perf_counter()
    browser.find_element(By.ID, "open-file").send_keys(game)
    wait_for("the long game", lambda: "game=long" in browser.current_url
             and shown().endswith("==> "), 120)
    print(f"page opening {KEYS} keys (no snapshot yet): {time.perf_counter() - start:.2f} s")
    resumes = []
    for _ in range(3):
        start = time.perf_counter()
        browser.refresh()
        wait_for("the resumed game", lambda: shown().endswith("==> "), 120)
        resumes.append(time.perf_counter() - start)
    print(f"page resuming {KEYS} keys, from the reload to the screen: "
          f"median {statistics.median(resumes) * 1000:.0f} ms")

    # The longest the page's main thread was busy at a time while a long game caught up.
    start = time.perf_counter()
    browser.find_element(By.ID, "open-file").send_keys(million)
    wait_for("the million keys", lambda: "game=million" in browser.current_url
             and shown().endswith("==> "), 300)
    opened = time.perf_counter() - start
    longest = longest_task(browser)
    print(f"page opening 1000000 keys: {opened:.2f} s, the main thread busy at most "
          f"{longest:.0f} ms at a time (tasks under 50 ms are not counted)")

    shutil.copy(game, os.path.join(site_copy, "long.game"))
    browser.get(f"http://127.0.0.1:{port}/index.html?watch=long.game")
    status = lambda: screen_lines(browser)[-1].split()  # noqa: E731
    wait_for("the watch", lambda: "?" in status(), 60)
    box = browser.find_element(By.CSS_SELECTOR, ".xterm-helper-textarea")
    box.send_keys(f"g{KEYS}\n")  # the end: its keys, blanks aside, are fewer
    wait_for("the watch's end", lambda: status()[:1] == ["key"] and status()[1] == status()[3],
             120)
    jumps = []
    for target in (50_000, 99_000, 1_234, 75_000, 25_000):
        start = time.perf_counter()
        box.send_keys(f"g{target}\n")
        wait_for(f"key {target}", lambda: status()[:2] == ["key", str(target)], 60)
        jumps.append(time.perf_counter() - start)
    print(f"a jump in the page's watch of {KEYS} keys, once played through: median "
          f"{statistics.median(jumps) * 1000:.0f} ms, worst {max(jumps) * 1000:.0f} ms")
    browser.get(page)
    wait_for("the page", lambda: shown().endswith("==> "), 60)

    latencies = []
    for _ in range(20):
        latencies.append(browser.execute_async_script("""
            const done = arguments[0];
            const rows = document.querySelector('.xterm-rows');
            const box = document.querySelector('.xterm-helper-textarea');
            const start = performance.now();
            const seen = new MutationObserver(() => {
              seen.disconnect();
              done(performance.now() - start);
            });
            seen.observe(rows, {childList: true, subtree: true, characterData: true});
            box.dispatchEvent(new KeyboardEvent('keydown', {key: 'i', keyCode: 73, bubbles: true}));
            box.dispatchEvent(new KeyboardEvent('keypress', {key: 'i', charCode: 105,
                                                             keyCode: 105, bubbles: true}));
        """))
        time.sleep(0.05)
    print(f"a key to its screen: median {statistics.median(latencies):.1f} ms, "
          f"worst {max(latencies):.1f} ms of {len(latencies)}")
finally:
    browser.quit()
    server.terminate()
    shutil.rmtree(work)
