#!/usr/bin/env bash
# Plays the built orbalune with saved games as a player would, and kills it with SIGKILL at
# awkward moments: while a fight waits on its clock, and while the game waits for a key. Each
# time it resumes at the last key it took. Also: a second game on a file in use, files the user
# may not write, and a screen that cannot be written.
set -euo pipefail
work=$(mktemp -d)
chmod 755 "$work"
# A copy where any user may run it; started under ORBALUNE_EMULATOR where the build's programs
# need one.
game=$work/orbalune
if [ -n "${ORBALUNE_EMULATOR:-}" ]; then
  cp "$1" "$work/orbalune.program"
  printf '#!/bin/sh\nexec %s %s "$@"\n' "$ORBALUNE_EMULATOR" "$work/orbalune.program" >"$game"
  chmod 755 "$game"
else
  cp "$1" "$game"
fi
pids=()
trap 'kill -9 "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
header() { printf 'file orbalune saved game\nformat 1\nrules 1\nseed %s\n\n' "$1"; }

# Starts a game in the background whose keyboard is descriptor 3.
start() {
  rm -f "$work/keys"
  mkfifo "$work/keys"
  "$game" "$@" <"$work/keys" >"$work/screen" 2>"$work/err" &
  pid=$!
  pids+=("$pid")
  exec 3>"$work/keys"
}

# Waits up to ten seconds for a condition.
await() {
  for _ in $(seq 200); do
    if eval "$1"; then return 0; fi
    sleep 0.05
  done
  fail "timed out waiting for: $1"
}

killed() {
  kill -9 "$pid" || fail "the game had ended before it was killed"
  wait "$pid" 2>/dev/null || true
  exec 3>&-
}

# 1. Killed while a fight waits on its clock: seed 42 meets monsters at its first step north.
start --save "$work/fight.game" --seed 42
printf 've' >&3
await '[ "$(tail -c 4 "$work/screen")" = "==> " ] && grep -q "Dungeon #1" "$work/screen"'
printf 'n' >&3
await 'cmp -s "$work/fight.game" <(header 42; printf ven)'
killed
grep -q "You see 2 Yuls" "$work/screen" || fail "the fight had not begun"
! grep -q "(a) Attack" "$work/screen" || fail "killed after the fight's wait, not during it"
timeout 60 "$game" --save "$work/fight.game" </dev/null >"$work/resumed" \
  || fail "resuming the fight failed"
grep -q "You see 2 Yuls" "$work/resumed" || fail "the resumed screen lacks the fight's start"
[ "$(tail -n 2 "$work/resumed")" = "$(printf '(a) Attack (b) Use Item (c) Run\n==> ')" ] \
  || fail "the fight did not go on to the player's turn: $(tail -n 3 "$work/resumed")"
cmp "$work/fight.game" <(header 42; printf ven) || fail "resuming changed the file"

# 2. Killed while the game waits for a key, and resumed to play on.
start --save "$work/town.game" --seed 7
printf 'v' >&3
await 'cmp -s "$work/town.game" <(header 7; printf v) && [ "$(tail -c 4 "$work/screen")" = "==> " ]'
killed
printf 'i' | timeout 60 "$game" --save "$work/town.game" >"$work/resumed"
cmp "$work/town.game" <(header 7; printf vi) || fail "the resumed game did not save its key"
grep -q "^==> v$" "$work/resumed" || fail "the resumed screen does not show the last key"
grep -q "You're carrying:" "$work/resumed" || fail "the resumed game did not play on"

# 3. One game a file: a second is refused, and the first plays on.
start --save "$work/busy.game" --seed 3
await 'cmp -s "$work/busy.game" <(header 3)'
status=0
timeout 60 "$game" --save "$work/busy.game" </dev/null >/dev/null 2>"$work/second" || status=$?
[ "$status" -eq 2 ] || fail "a second game on a busy file gave status $status"
[ "$(cat "$work/second")" = "orbalune: $work/busy.game: locked by another process, perhaps another game playing it" ] \
  || fail "unexpected refusal: $(cat "$work/second")"
printf 'v' >&3
await 'cmp -s "$work/busy.game" <(header 3; printf v)'
killed

# 4. Files and directories the player may not write: refused, and left as they were.
as_player=()
if [ "$(id -u)" -eq 0 ]; then
  # A coverage build writes its counters on exit; give the player somewhere to put them.
  mkdir -m 777 "$work/counters"
  as_player=(env GCOV_PREFIX="$work/counters" setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
header 5 >"$work/theirs.game"
chmod 644 "$work/theirs.game"
mkdir -m 755 "$work/their-directory"
for case in "theirs.game:cannot open: Permission denied" \
            "their-directory/new.game:cannot create: Permission denied"; do
  file=$work/${case%%:*}
  status=0
  "${as_player[@]}" "$game" --save "$file" </dev/null >/dev/null 2>"$work/err" || status=$?
  [ "$status" -eq 2 ] || fail "$file gave status $status"
  [ "$(cat "$work/err")" = "orbalune: $file: ${case#*:}" ] || fail "$(cat "$work/err")"
done
cmp "$work/theirs.game" <(header 5) || fail "a refused file changed"
[ -z "$(ls -A "$work/their-directory")" ] || fail "a file appeared where none may be made"

# 5. A shared games folder as the hosting recipe makes it (setgid, sticky, the group may write),
# where another member plants a file under the player's name before the player's first game, and
# a link under another of the player's names to the player's own game: both are refused, and
# left as they were. (The planting member is another user: only root can be both.)
if [ "$(id -u)" -eq 0 ]; then
  shared=$work/shared
  install -d -m 3770 -g 65534 "$shared"
  header 9 >"$shared/dave.game"
  chmod 644 "$shared/dave.game"
  "$game" --save "$shared/dave.game" </dev/null >/dev/null 2>/dev/null || fail "dave's own game"
  member=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  "${member[@]}" sh -c "umask 0; printf 'file orbalune saved game\nformat 1\nrules 1\nseed 1\n\n' \
    >'$shared/erin.game'; ln -s '$shared/dave.game' '$shared/frank.game'"
  for case in "erin.game:belongs to another user (a game is played only from the player's own file)" \
              "frank.game:a symbolic link another user made (a game is played only through the player's own)"; do
    file=$shared/${case%%:*}
    status=0
    printf 'v' | "$game" --save "$file" >/dev/null 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "$file gave status $status"
    [ "$(cat "$work/err")" = "orbalune: $file: ${case#*:}" ] || fail "$(cat "$work/err")"
  done
  cmp "$shared/erin.game" <(header 1) || fail "a planted file changed"
  cmp "$shared/dave.game" <(header 9) || fail "the game behind a planted link changed"
fi

# 6. A screen that cannot be written stops the game instead of letting it play on blind, and
# fails --help as it fails the game.
for options in "" "--save $work/blind.game" --help; do
  status=0
  # shellcheck disable=SC2086
  printf 'vvv' | "$game" $options >/dev/full 2>"$work/err" || status=$?
  [ "$status" -eq 3 ] || fail "writing to a full device gave status $status"
  [ "$(cat "$work/err")" = "orbalune: cannot write to standard output" ] || fail "$(cat "$work/err")"
done
[ "$(sed 1,5d "$work/blind.game")" = "" ] || fail "a key the game never showed was saved"

# 7. A closed standard stream is never taken for the saved game: the screen does not become keys
# in it, nor does the error message.
header 42 >"$work/closed.game"
printf 've' >>"$work/closed.game"
status=0
"$game" --save "$work/closed.game" </dev/null >&- 2>"$work/err" || status=$?
[ "$status" -eq 3 ] || fail "a closed standard output gave status $status"
[ "$(cat "$work/err")" = "orbalune: cannot write to standard output" ] || fail "$(cat "$work/err")"
status=0
printf 'v' | "$game" --save "$work/closed.game" >/dev/full 2>&- || status=$?
[ "$status" -eq 3 ] || fail "a closed standard error gave status $status"
cmp "$work/closed.game" <(header 42; printf ve) || fail "text from a closed stream went into the file"
echo "saved games: ok"
