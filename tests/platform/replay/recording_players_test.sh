#!/usr/bin/env bash
# A saved game's recordings played by the players everyone has: asciinema's terminal player
# shows exactly the game as --echo does, termrec's termtime finds the ttyrec as long as watching
# the game takes, and asciinema's web player in headless Chromium, seeked to the end, shows the
# game's last screen.
# usage: recording_players_test.sh REPLAY TEST_DATA_DIR WEB_DIR
set -euo pipefail
replay=$1
data=$2
web=$3
bundle=$web/node_modules/asciinema-player/dist/bundle
for tool in asciinema termtime chromium chromedriver script python3; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool (.ci/install-build-deps)"; exit 77; }
done
[ -f "$bundle/asciinema-player.min.js" ] \
  || { echo "skipped: no web player (npm ci --prefix tests/web)"; exit 77; }
work=$(mktemp -d)
server=
trap '[ -z "$server" ] || kill "$server"; rm -rf "$work"' EXIT

game=$work/golden.game
printf 'file orbalune saved game\nformat 1\nrules 1\nseed 19\n\n' >"$game"
cat "$data/golden.keys" >>"$game"
"$replay" --echo "$game" >"$work/echo"
"$replay" --cast "$game" >"$work/game.cast"
"$replay" --ttyrec "$game" >"$work/game.ttyrec"

# asciinema cat wants a terminal of its own; a raw one passes its bytes on unchanged.
script -q -e -c "stty raw -echo; asciinema cat '$work/game.cast'" /dev/null </dev/null \
  >"$work/cat"
sed 's/$/\r/' "$work/echo" | head -c -1 >"$work/echo.crlf"
cmp "$work/cat" "$work/echo.crlf" || { echo "asciinema cat differs from --echo"; exit 1; }

# Watching takes half a second a key and every wait of the game.
keys=$(tr -d ' \t\n' <"$data/golden.keys" | wc -c)
watching=$("$replay" --pauses "$game" | grep -o '{pause [0-9]*}' | tr -dc '0-9\n' \
  | awk -v keys="$keys" '{ms += $1} END {printf "%.6f", (ms + 500 * keys) / 1000}')
length=$(termtime "$work/game.ttyrec" | awk '{print $1}')
[ "$length" = "$watching" ] || { echo "the ttyrec lasts $length s, watching $watching s"; exit 1; }

# The web player, served from loopback as a page would be.
cp "$bundle/asciinema-player.min.js" "$bundle/asciinema-player.css" "$web/player.html" "$work"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work" >"$work/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(grep -o 'port [0-9]*' "$work/server.log" | grep -o '[0-9]*' || true)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "no web server: $(cat "$work/server.log")"; exit 1; }
# Chromium driven through chromedriver, so that the test waits in real time for the player to
# draw its terminal (its emulator is compiled in the page as it loads, which takes longer on a
# busy machine), and reads what it shows.
chromedriver --port=0 >"$work/driver.log" 2>&1 &
driver=$!
trap '[ -z "$server" ] || kill "$server"; kill "$driver"; rm -rf "$work"' EXIT
python3 - "$work" "$port" <<'PYTHON'
import json, re, sys, time, urllib.request
work, port = sys.argv[1], sys.argv[2]

def driver_port():
    for _ in range(100):
        found = re.search(r"successfully on port (\d+)", open(work + "/driver.log").read())
        if found:
            return found.group(1)
        time.sleep(0.1)
    sys.exit("no chromedriver: " + open(work + "/driver.log").read())

base = "http://127.0.0.1:" + driver_port()

def call(method, path, body=None):
    request = urllib.request.Request(base + path, method=method,
                                     data=None if body is None else json.dumps(body).encode(),
                                     headers={"Content-Type": "application/json"})
    return json.load(urllib.request.urlopen(request, timeout=120))["value"]

for _ in range(100):  # chromedriver answers a moment after it says its port
    try:
        call("GET", "/status")
        break
    except OSError:
        time.sleep(0.1)
flags = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--user-data-dir=" + work + "/profile"]
session = call("POST", "/session", {"capabilities": {"alwaysMatch": {"goog:chromeOptions": {
    "binary": "/usr/bin/chromium", "args": flags}}}})["sessionId"]
try:
    call("POST", f"/session/{session}/url", {"url": f"http://127.0.0.1:{port}/player.html"})
    screen = None
    deadline = time.monotonic() + 60
    while screen is None and time.monotonic() < deadline:
        time.sleep(0.2)
        screen = call("POST", f"/session/{session}/execute/sync", {
            "script": "const s = document.getElementById('screen'); return s && s.textContent;",
            "args": []})
finally:
    call("DELETE", f"/session/{session}")
assert screen is not None, "the web player showed nothing in a minute"
shown = [line.replace("\xa0", " ").rstrip() for line in screen.split("\n")]
last = [line.rstrip() for line in open(work + "/echo", encoding="utf-8").read().split("\n")][-24:]
assert shown == last, "\n".join(["shown:"] + shown + ["expected:"] + last)
PYTHON
echo "recording players: ok"
