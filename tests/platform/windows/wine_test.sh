#!/usr/bin/env bash
# Plays the Windows programs under Wine as a player would: the golden game to the same bytes as
# every other build; a game killed while it waits for a key, and one killed in a fight, resumed
# with nothing lost; one game a file; names in any alphabet and names Windows forbids; the
# replay tool's --info, --echo and recordings of a saved game; single keys and arrows at a
# console; another user's folder and file; a screen that cannot be written.
# Arguments: orbalune.exe, orbalune-replay.exe, the test data folder. ORBALUNE_EMULATOR starts
# them (Wine, in the build's own prefix).
set -euo pipefail
game_exe=$1 replay_exe=$2 data=$3
here=$(cd "$(dirname "$0")" && pwd)
read -r -a emulator <<<"${ORBALUNE_EMULATOR:?the programs need Wine to start them}"
work=$(mktemp -d)
pids=()
trap 'kill -9 "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

game() { "${emulator[@]}" "$game_exe" "$@"; }
replay() { "${emulator[@]}" "$replay_exe" "$@"; }
fail() { echo "FAIL: $*"; exit 1; }
header() { printf 'file orbalune saved game\nformat 1\nrules 1\nseed %s\n\n' "$1"; }

# Starts a game in the background whose keyboard is descriptor 3.
start() {
  rm -f keys
  mkfifo keys
  "${emulator[@]}" "$game_exe" "$@" <keys >screen 2>err &  # $! is the game's own process
  pid=$!
  pids+=("$pid")
  exec 3>keys
}

# Waits up to a minute for a condition (Wine starts slowly on a busy machine).
await() {
  for _ in $(seq 1200); do
    if eval "$1"; then return 0; fi
    sleep 0.05
  done
  fail "timed out waiting for: $1 (screen: $(tail -c 200 screen); errors: $(cat err))"
}

killed() {
  kill -9 "$pid" || fail "the game had ended before it was killed"
  wait "$pid" 2>/dev/null || true
  exec 3>&-
}

# 1. The golden game, byte for byte, line ends included.
replay --seed 19 --pauses <"$data/golden.keys" | cmp - "$data/golden.expected" \
  || fail "the golden game plays differently"

# 2. Killed while the game waits for a key, and resumed to play on.
start --save town.game --seed 7
printf 'v' >&3
await 'cmp -s town.game <(header 7; printf v) && [ "$(tail -c 4 screen)" = "==> " ]'
killed
printf 'i' | game --save town.game >resumed || fail "resuming failed: $(cat err)"
cmp town.game <(header 7; printf vi) || fail "the resumed game did not save its key"
grep -q "^==> v$" resumed || fail "the resumed screen does not show the last key"
grep -q "You're carrying:" resumed || fail "the resumed game did not play on"

# 3. Killed while a fight waits on its clock: seed 42 meets monsters at its first step north.
start --save fight.game --seed 42
printf 've' >&3
await '[ "$(tail -c 4 screen)" = "==> " ] && grep -q "Dungeon #1" screen'
printf 'n' >&3
await 'cmp -s fight.game <(header 42; printf ven)'
killed
game --save fight.game </dev/null >resumed || fail "resuming the fight failed"
[ "$(tail -n 2 resumed)" = "$(printf '(a) Attack (b) Use Item (c) Run\n==> ')" ] \
  || fail "the fight did not go on to the player's turn: $(tail -n 3 resumed)"

# 4. One game a file: a second is refused, and the first plays on.
start --save busy.game --seed 3
await 'cmp -s busy.game <(header 3)'
status=0
game --save busy.game </dev/null >/dev/null 2>second || status=$?
[ "$status" -eq 2 ] || fail "a second game on a busy file gave status $status"
[ "$(cat second)" = "orbalune: busy.game: locked by another process, perhaps another game playing it" ] \
  || fail "unexpected refusal: $(cat second)"
printf 'v' >&3
await 'cmp -s busy.game <(header 3; printf v)'
killed

# 5. A player's name in another alphabet; names Windows forbids are refused, and nothing made.
printf 'vi' | game --save 'Jörg Ωμέγα.game' --seed 11 >/dev/null || fail "a name in UTF-8"
cmp 'Jörg Ωμέγα.game' <(header 11; printf vi) || fail "the UTF-8 name's game"
for name in 'a<b.game' 'a|b.game' 'what?.game'; do
  status=0
  printf 'v' | game --save "$name" >/dev/null 2>err || status=$?
  [ "$status" -eq 2 ] || fail "'$name' gave status $status"
  grep -q "^orbalune: .*: cannot open: Invalid argument$" err || fail "'$name': $(cat err)"
done
[ "$(find . -name '*.game' | wc -l)" -eq 4 ] || fail "a refused name made a file: $(ls)"

# 6. The replay tool reads a saved game as it does elsewhere.
replay --info town.game | grep -q "^town.game: seed 7, 2 keys, rules version 1$" \
  || fail "--info: $(replay --info town.game)"
replay --echo town.game | grep -q "^==> i$" || fail "--echo does not show the keys"
printf 'vi' | replay --seed 7 | cmp - <(replay town.game) || fail "the file replays differently"
replay --cast town.game | head -n 1 | grep -q '^{"version": *2' || fail "no recording"

# 7. At a console (Wine's, on a pseudo-terminal): single keys, an arrow, a key dropped during a
# fight's wait, Ctrl-C.
python3 "$here/console_game.py" console.game -- \
  "${emulator[@]}" "$game_exe" --save console.game --seed 7

# 8. As another user, where the test runs as root (with a Wine prefix of that user's): a folder
# the player may not write, and another user's file that the player may write, are refused and
# left as they were.
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$work"
  install -d -m 700 -o 65534 -g 65534 player
  cp "$game_exe" player/orbalune.exe
  as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/player"
             "${emulator[@]/#WINEPREFIX=*/WINEPREFIX=$work/player/prefix}" player/orbalune.exe)
  mkdir -m 755 their-folder
  header 5 >theirs.game
  chmod 666 theirs.game
  for case in "their-folder/new.game:cannot create: Permission denied" \
              "theirs.game:belongs to another user (a game is played only from the player's own file)"; do
    status=0
    printf 'v' | "${as_player[@]}" --save "${case%%:*}" >/dev/null 2>err || status=$?
    [ "$status" -eq 2 ] || fail "${case%%:*} gave status $status"
    [ "$(grep -v "^wine:" err)" = "orbalune: ${case%%:*}: ${case#*:}" ] || fail "$(cat err)"
  done
  [ -z "$(ls -A their-folder)" ] || fail "a file appeared where none may be made"
  cmp theirs.game <(header 5) || fail "another user's file changed"
fi

# 9. A screen that cannot be written stops the game.
status=0
printf 'vvv' | game --save blind.game >/dev/full 2>err || status=$?
[ "$status" -eq 3 ] || fail "writing to a full device gave status $status"
[ "$(cat err)" = "orbalune: cannot write to standard output" ] || fail "$(cat err)"
echo "windows under wine: ok"
