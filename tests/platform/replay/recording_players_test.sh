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
for tool in asciinema termtime chromium script python3; do
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

# Every line is JSON, the header an asciicast v2 one.
python3 - "$work/game.cast" <<'PYTHON'
import json, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
header = json.loads(lines[0])
assert header["version"] == 2 and header["width"] >= 80 and header["height"] >= 24, header
assert all(json.loads(line)[1] == "o" for line in lines[1:])
PYTHON

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
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/profile" --virtual-time-budget=30000 \
  --dump-dom "http://127.0.0.1:$port/player.html" 2>"$work/chromium.log" >"$work/dom" || true
python3 - "$work/dom" "$work/echo" <<'PYTHON'
import html, re, sys
dom = open(sys.argv[1], encoding="utf-8").read()
shown = re.search(r'<pre id="screen">(.*?)</pre>', dom, re.S)
assert shown, "the web player showed nothing:\n" + dom[-2000:]
screen = [line.replace("\xa0", " ").rstrip() for line in html.unescape(shown.group(1)).split("\n")]
last = [line.rstrip() for line in open(sys.argv[2], encoding="utf-8").read().split("\n")][-24:]
assert screen == last, "\n".join(["shown:"] + screen + ["expected:"] + last)
PYTHON
echo "recording players: ok"
