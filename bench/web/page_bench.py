"""How fast the web build is, against the native one in the same run: the site's size, the page's
load to its first screen, a game of 100,000 keys resumed in the page, the keys a second of the
replay tool in Node.js against the native tool's, and the time from a key to its screen.

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
from browser import chromium, serve, wait_for  # noqa: E402
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
game = os.path.join(work, "long.game")
with open(game, "wb") as file:
    file.write(b"file orbalune saved game\nformat 1\nrules 1\nseed %d\n\n" % SEED + keys)

size = sum(os.path.getsize(os.path.join(site, name)) for name in os.listdir(site))
print(f"site: {len(os.listdir(site))} files, {size / 1e6:.2f} MB")

native = best_of(3, lambda: subprocess.run([replay, game], check=True, capture_output=True))
web = best_of(3, lambda: subprocess.run(["node", replay_js, game], check=True,
                                        capture_output=True))
print(f"replay of {KEYS} keys: native {native:.3f} s ({KEYS / native:,.0f} keys/s), "
      f"Node.js {web:.3f} s ({KEYS / web:,.0f} keys/s): {native / web:.2f} of native's speed")

server, port = serve(site)
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

    browser.find_element(By.ID, "open-file").send_keys(game)
    wait_for("the long game", lambda: "game=long" in browser.current_url
             and shown().endswith("==> "), 120)
    resumes = []
    for _ in range(3):
        start = time.perf_counter()
        browser.refresh()
        wait_for("the resumed game", lambda: shown().endswith("==> "), 120)
        resumes.append(time.perf_counter() - start)
    print(f"page resuming {KEYS} keys, from the reload to the screen: "
          f"median {statistics.median(resumes) * 1000:.0f} ms")

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
