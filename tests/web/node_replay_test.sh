#!/usr/bin/env bash
# The web build's replay tool, run by plain Node.js, keeps the replay tool's contract: the golden
# game byte for byte, and each recorded bot game (its keys typed by the bot built for Node.js
# too) to its transcript's digest, as every other build plays them.
# usage: node_replay_test.sh ORBALUNE_REPLAY_JS ORBALUNE_BOT_KEYS_JS TEST_DATA_DIR
set -euo pipefail
replay=$1
bot=$2
data=$3
command -v node >/dev/null || { echo "skipped: no node"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

node "$replay" --seed 19 --pauses <"$data/golden.keys" >"$work/golden"
cmp "$work/golden" "$data/golden.expected" || { echo "the golden game differs"; exit 1; }

# FNV-1a, 64 bits, of standard input, as the test data writes digests.
digest() {
  /usr/bin/python3 -c '
import sys
value = 14695981039346656037
for byte in sys.stdin.buffer.read():
    value = ((value ^ byte) * 1099511628211) % (1 << 64)
print("%016x" % value)'
}
games=0
while read -r seed style keys expected; do
  case $seed in '#'* | '') continue ;; esac
  node "$bot" "$seed" "$keys" "$style" >"$work/keys" 2>/dev/null
  # The keys the bot typed, then a line end.
  [ "$(wc -c <"$work/keys")" -eq $((keys + 1)) ] || { echo "bot $seed typed otherwise"; exit 1; }
  head -c "$keys" "$work/keys" >"$work/typed"
  got=$(node "$replay" --seed "$seed" --pauses <"$work/typed" | digest)
  [ "$got" = "$expected" ] || { echo "game $seed $style: $got, recorded $expected"; exit 1; }
  games=$((games + 1))
done <"$data/bot-games"
[ "$games" -ge 20 ] || { echo "only $games bot games"; exit 1; }
echo "web replay: the golden game and $games bot games, byte for byte"
