"""How fast the page is on a mid-range phone: Chromium emulating a 390 x 844 phone with touch,
its processor slowed 4 times. The load to the first screen online, and offline from the page's
service worker; the time from a tap on a choice's button to its screen drawn.

usage: phone_bench.py SITE_DIR (the web preset's site)"""
import os
import platform
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "support"))
from browser import chromium, serve, wait_for  # noqa: E402

site = sys.argv[1]
SLOWER = 4
LOADS = 5
TAPS = 40
work = tempfile.mkdtemp()
served = os.path.join(work, "site")
shutil.copytree(site, served)

# A tap on the View Stats button, timed in the page from the tap to the frame after its screen
# (the next question's buttons) is drawn.
TIME_A_TAP = """
const done = arguments[0];
const panel = document.getElementById('choice-buttons');
const tap = [...panel.querySelectorAll('button')].find((b) => b.dataset.key === 'V');
const start = performance.now();
new MutationObserver((changes, observer) => {
  observer.disconnect();
  requestAnimationFrame(() => requestAnimationFrame(() => done(performance.now() - start)));
}).observe(panel, {childList: true});
tap.click();
"""


def first_screen(browser, address):
    start = time.perf_counter()
    browser.get(address)
    wait_for("the first screen",
             lambda: browser.execute_script("return window.orbaluneScreen();").endswith("==> "))
    return time.perf_counter() - start


def median_ms(values):
    return f"median {statistics.median(values) * 1000:.0f} ms (of {len(values)}, " \
           f"{min(values) * 1000:.0f} to {max(values) * 1000:.0f})"


print(f"machine: {platform.machine()}, {os.cpu_count()} cores, {platform.platform()}")
server, port = serve(served)
browser = chromium(os.path.join(work, "profile"), phone=(390, 844))
page = f"http://127.0.0.1:{port}/index.html"
try:
    browser.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": SLOWER})
    online = [first_screen(browser, f"{page}?seed={seed}&name=online{seed}")
              for seed in range(LOADS)]
    print(f"load to the first screen, online, processor {SLOWER}x slower: {median_ms(online)}")

    wait_for("the service worker",
             lambda: browser.execute_script("return !!navigator.serviceWorker.controller;"))
    taps = []
    for _ in range(TAPS):
        wait_for("the buttons", lambda: browser.execute_script(
            "return !!document.querySelector('#choice-buttons button[data-key=\"V\"]"
            "[aria-disabled=\"false\"]');"))
        taps.append(browser.execute_async_script(TIME_A_TAP) / 1000)
    print(f"a tap to its screen, processor {SLOWER}x slower: {median_ms(taps)}")

    server.terminate()
    server.wait()
    browser.execute_cdp_cmd("Network.enable", {})
    browser.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    offline = [first_screen(browser, page) for _ in range(LOADS)]
    print(f"load to the first screen, offline (service worker), processor {SLOWER}x slower: "
          f"{median_ms(offline)}")
finally:
    browser.quit()
    server.terminate()
    shutil.rmtree(work)
