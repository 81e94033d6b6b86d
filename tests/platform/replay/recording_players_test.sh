#!/usr/bin/env bash
# A saved game's recordings played by the players everyone has: asciinema's terminal player
# shows exactly the game as --echo does, termrec's termtime finds the ttyrec as long as watching
# the game takes, and asciinema's web player in headless Chromium, seeked to the end, shows the
# game's last screen.
# usage: recording_players_test.sh REPLAY TEST_DATA_DIR WEB_DIR MAN_DIR
set -euo pipefail
replay=$1
data=$2
web=$3
man=$4
support=$(cd "$(dirname "$0")/../../support" && pwd)
bundle=$web/node_modules/asciinema-player/dist/bundle
for tool in asciinema termtime chromium chromedriver script python3; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool (.ci/install-build-deps)"; exit 77; }
done
/usr/bin/python3 -c 'import selenium' 2>/dev/null \
  || { echo "skipped: no python3-selenium (.ci/install-build-deps)"; exit 77; }
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

# The web player, served from loopback as a page would be: the test's page, which seeks to the
# end, and the manual's example exactly as the manual gives it, which shows the game's first
# screen as its poster before anyone presses play.
cp "$bundle/asciinema-player.min.js" "$bundle/asciinema-player.css" "$web/player.html" "$work"
cp "$work/game.cast" "$work/run.cast"
awk '/^<!doctype html>/ {on = 1} on {print} on && /^<\/script>$/ && ++scripts == 2 {exit}' \
  "$man/orbalune-replay.6" | sed 's/\\-/-/g' >"$work/manual.html"
grep -q "AsciinemaPlayer.create('run.cast'" "$work/manual.html" \
  || { echo "no example page in the manual: $(cat "$work/manual.html")"; exit 1; }
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work" >"$work/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(grep -o 'port [0-9]*' "$work/server.log" | grep -o '[0-9]*' || true)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "no web server: $(cat "$work/server.log")"; exit 1; }
/usr/bin/python3 - "$work" "$port" "$support" <<'PYTHON'
import sys
work, port, support = sys.argv[1:4]
sys.path.insert(0, support)
from browser import chromium, errors_in, say, wait_for

echo = open(work + "/echo", encoding="utf-8").read().split("\n")
browser = chromium(work + "/profile")
try:
    browser.get(f"http://127.0.0.1:{port}/player.html")
    screen = wait_for("the web player's last screen", lambda: browser.execute_script(
        "const s = document.getElementById('screen'); return s && s.textContent;"))
    shown = [line.replace("\xa0", " ").rstrip() for line in screen.split("\n")]
    last = [line.rstrip() for line in echo][-24:]
    assert shown == last, "\n".join(["shown:"] + shown + ["expected:"] + last)

    browser.get(f"http://127.0.0.1:{port}/manual.html")
    lines = lambda: browser.execute_script(
        "return [...document.querySelectorAll('.ap-line')].map((l) => l.textContent).join('\\n');")
    poster = wait_for("the manual's page to show the game", lambda: "currently in town" in lines()
                      and lines())
    assert "You are currently in town." in poster, say(poster)
    # The browser asks for an icon these pages do not have; nothing else fails.
    errors = [error for error in errors_in(browser) if "/favicon.ico " not in error]
    assert not errors, say(errors)
finally:
    browser.quit()
PYTHON
echo "recording players: ok"
