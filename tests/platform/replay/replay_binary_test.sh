#!/usr/bin/env bash
# Runs the built orbalune-replay as a user would: the same seed and keys twice give the same
# bytes, bad arguments give the reason and the usage and status 2, end of input ends with
# status 0.
set -euo pipefail
replay=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

keys="v e nnnn ssss wwww eeee cccc a i u c"
printf '%s\n' "$keys" | "$replay" --seed 31337 --pauses >"$work/first"
printf '%s\n' "$keys" | "$replay" --pauses --seed 31337 >"$work/second"
cmp "$work/first" "$work/second"
grep -q "You are in Dungeon #1" "$work/first"

status=0
"$replay" --seed nope </dev/null >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 2 ] || { echo "bad arguments gave status $status"; exit 1; }
[ ! -s "$work/out" ] || { echo "usage went to standard output"; exit 1; }
grep -q "^orbalune-replay: .*'nope'" "$work/err" || { echo "no reason: $(cat "$work/err")"; exit 1; }
grep -q "^usage: orbalune-replay --seed N" "$work/err" || { echo "no usage"; exit 1; }

status=0
"$replay" --seed 5 </dev/null >"$work/out" || status=$?
[ "$status" -eq 0 ] || { echo "end of input gave status $status"; exit 1; }

# Output that cannot be written is an error, whatever was asked for.
printf 'file orbalune saved game\nformat 1\nrules 1\nseed 3\n\nv' >"$work/my.game"
for options in --version "--info $work/my.game" "--info $work/my.game $work/my.game" \
    "$work/my.game" "--cast $work/my.game" "--ttyrec $work/my.game"; do
  status=0
  # shellcheck disable=SC2086
  "$replay" $options </dev/null >/dev/full 2>"$work/err" || status=$?
  [ "$status" -eq 3 ] || { echo "$options into a full device gave status $status"; exit 1; }
  [ "$(cat "$work/err")" = "orbalune-replay: cannot write to standard output" ] \
    || { echo "$options: $(cat "$work/err")"; exit 1; }
done
echo "replay binary: ok"
