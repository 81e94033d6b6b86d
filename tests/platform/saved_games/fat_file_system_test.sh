#!/usr/bin/env bash
# Plays saved games on a real FAT file system, mounted through FUSE with fusefat: no unnamed
# files, no hard links, no rename that refuses to replace, no permissions. A new game is created
# there, resumed, refused to a second game while in use, and leaves nothing beside it.
#   fat_file_system_test.sh ORBALUNE ORBALUNE_REPLAY
# Skipped (status 77, saying why) where FUSE, fusefat or mkfs.vfat is missing.
set -euo pipefail
game=$1
replay=$2
for tool in mkfs.vfat fusefat fusermount3; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool (.ci/install-build-deps)"; exit 77; }
done
[ -w /dev/fuse ] || { echo "skipped: this machine gives no FUSE device (/dev/fuse)"; exit 77; }

work=$(mktemp -d)
mount=$work/fat
mkdir "$mount"
cleanup() { fusermount3 -u "$mount" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
truncate -s 8M "$work/fat.img"
mkfs.vfat "$work/fat.img" >/dev/null
fusefat -o rw+ "$work/fat.img" "$mount" >/dev/null 2>&1
for _ in $(seq 50); do mountpoint -q "$mount" && break; sleep 0.1; done
mountpoint -q "$mount" || { echo "skipped: this machine would not mount FAT through FUSE"; exit 77; }

fail() { echo "FAIL: $*"; exit 1; }
# Whether the file holds the header for seed 42 and then exactly the keys $1.
holds() { printf 'file orbalune saved game\nformat 1\nrules 1\nseed 42\n\n%s' "$1" | cmp -s - "$file"; }
file=$mount/my.game

# What games killed while they created their files left: an old temporary name, removed by the
# next creation in the folder, and one that a creation may still be using, left alone.
touch -d '2 minutes ago' "$mount/.orbalune-new-aB3dE9"
touch "$mount/.orbalune-new-xY7zQ1"
printf 'v e n' | "$game" --save "$file" --seed 42 >"$work/first" 2>"$work/err" ||
  fail "creating: $(cat "$work/err")"
holds ven || fail "created: $(od -c "$file" | head)"
[ "$(ls -A "$mount")" = "$(printf '.orbalune-new-xY7zQ1\nmy.game')" ] \
  || fail "leftovers: $(ls -A "$mount")"
rm "$mount/.orbalune-new-xY7zQ1"
printf 'v' | "$game" --save "$file" >/dev/null 2>"$work/err" || fail "resuming: $(cat "$work/err")"
holds venv || fail "resumed: $(od -c "$file" | head)"
printf 'venv' | "$replay" --seed 42 >"$work/expected"
"$replay" "$file" | cmp -s - "$work/expected" || fail "replay differs from the keys played"

# A second game while the first plays: refused, and the file is left as it was.
mkfifo "$work/keys"
"$game" --save "$file" <"$work/keys" >/dev/null 2>&1 &
exec 3>"$work/keys"
sleep 0.5
status=0
printf 'e' | "$game" --save "$file" >/dev/null 2>"$work/err" || status=$?
exec 3>&-
wait
[ "$status" = 2 ] || fail "second game: status $status"
grep -q 'locked by another process' "$work/err" || fail "second game: $(cat "$work/err")"
holds venv || fail "in use: $(od -c "$file" | head)"

[ "$(ls -A "$mount")" = "my.game" ] || fail "left beside it: $(ls -A "$mount")"
echo "FAT: ok"
