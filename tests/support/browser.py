"""Debian's Chromium, headless, driven through chromedriver by Selenium (Debian's
python3-selenium), for the tests of the pages a player or a host opens."""
import json
import re
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# As root, without a sandbox; without background networking, which a machine with no way out
# refuses many times a second.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--window-size=1000,800"]


# What a phone's browser says it is: pages and the browser itself treat it as one.
PHONE_AGENT = ("Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) "
               "Chrome/120.0 Mobile Safari/537.36")


def chromium(profile, downloads=None, phone=None):
    """A new browser with its own empty profile in the folder `profile`, saving what it downloads
    in the folder `downloads`; the page's console is kept, for errors_in. With `phone` (width and
    height in CSS pixels), it is a phone's: that screen, touch, and a phone's user agent."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in FLAGS + ["--user-data-dir=" + profile]:
        options.add_argument(flag)
    if phone:
        options.add_experimental_option("mobileEmulation", {
            "deviceMetrics": {"width": phone[0], "height": phone[1], "pixelRatio": 2,
                              "touch": True},
            "userAgent": PHONE_AGENT})
    if downloads:
        options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                                  "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def wait_for(what, condition, seconds=60):
    """Calls `condition` until it gives something true (returned), in real time: a page on a busy
    machine takes its time. Fails, naming `what`, if it never does."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("waited in vain for " + what)
        time.sleep(0.1)


def shown_bytes(browser):
    """Every byte the page's program has written to its terminal."""
    return browser.execute_script("return window.orbaluneScreen();").encode("latin-1")


def screen_lines(browser):
    """The terminal's rows as the page shows them, trailing blanks dropped."""
    return browser.execute_script(
        "return [...document.querySelectorAll('.xterm-rows > div')]"
        ".map((row) => row.textContent.trimEnd());")


def wait_for_screen(browser, what, expected):
    """Waits until the page's first rows are `expected`: the terminal draws at its next animation
    frame, after the game's bytes have arrived."""
    shown = lambda: screen_lines(browser)[:len(expected)]  # noqa: E731
    try:
        wait_for(what, lambda: shown() == expected, 20)
    except AssertionError:
        raise AssertionError(f"waited in vain for {what}: " + say([shown(), expected])) from None


def errors_in(browser):
    """The page's console messages of level SEVERE since the last look (uncaught errors among
    them, and any file of the page's that is missing: its icon too)."""
    return [entry["message"] for entry in browser.get_log("browser")
            if entry["level"] == "SEVERE"]


def say(value):
    """A value as JSON, for a failure's message."""
    return json.dumps(value, ensure_ascii=False)


def serve(folder):
    """A static web server for `folder` on a free loopback port: the process, and the port."""
    server = subprocess.Popen([sys.executable, "-u", "-m", "http.server", "0", "--bind",
                               "127.0.0.1", "--directory", folder],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    found = re.search(r"port (\d+)", server.stdout.readline())
    if not found:
        server.terminate()
        raise AssertionError("the web server did not say its port")
    return server, int(found.group(1))


def longest_task(browser):
    """The longest the page's main thread was busy at a time since it loaded, in milliseconds;
    0 if no task took 50 ms or more (shorter ones are not reported)."""
    return browser.execute_async_script("""
        const done = arguments[0];
        setTimeout(() => done(0), 1000);  // no task of 50 ms or more
        new PerformanceObserver((tasks) => done(Math.max(...tasks.getEntries().map(
            (task) => task.duration)))).observe({type: 'longtask', buffered: true});""")
