#!/usr/bin/env bash
# The hosting recipe, for real: an OpenSSH server on a loopback port with host/orbalune-sshd.conf
# as documented, this user standing in for the account orbalune. A player logs in with a key of
# their own, plays three keys into their own saved game, and can do nothing else.
# Usage: ssh_recipe_test.sh ORBALUNE RECIPE
set -euo pipefail
game=$1
recipe=$2
sshd=$(command -v sshd || echo /usr/sbin/sshd)
if [ ! -x "$sshd" ] || ! command -v ssh >/dev/null || ! command -v ssh-keygen >/dev/null; then
  echo "skipped: needs OpenSSH's server and client"
  exit 77
fi
# In the home folder, as the account's own .ssh is: sshd's strict modes check the keys' file and
# every folder above it up to the home folder, and refuse one that others may write to.
work=$(mktemp -d -p "$HOME" .orbalune-ssh-test.XXXXXX)
server=
trap '[ -z "$server" ] || kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ ! -s "$work/sshd.log" ] || sed 's/^/sshd: /' "$work/sshd.log"; exit 1; }

user=$(id -un)
mkdir -m 755 "$work/games" "$work/bin"
cp "$game" "$work/bin/orbalune"
ssh-keygen -q -t ed25519 -N '' -f "$work/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$work/alice"
ssh-keygen -q -t ed25519 -N '' -f "$work/stranger"
printf 'restrict,pty,environment="ORBALUNE_PLAYER=alice" %s\n' "$(cat "$work/alice.pub")" \
  >"$work/authorized_keys"
chmod 600 "$work/authorized_keys"

# A port on loopback that no one listens on.
listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
port=$((20000 + RANDOM % 20000))
while listening "$port"; do port=$((port + 1)); done

# What this server needs to run beside the machine's own, then the recipe as it is documented,
# with this user, this build and this folder in place of the real ones.
{
  printf 'ListenAddress 127.0.0.1\nPort %s\nHostKey %s\nPidFile %s\n' \
    "$port" "$work/host_key" "$work/sshd.pid"
  printf 'AuthorizedKeysFile %s\nUsePAM no\nStrictModes yes\nLogLevel VERBOSE\n' \
    "$work/authorized_keys"
  sed -e "s|^Match User orbalune\$|Match User $user|" \
      -e "s|/usr/games/orbalune|$work/bin/orbalune|" \
      -e "s|/srv/orbalune/|$work/games/|" "$recipe"
} >"$work/sshd_config"
grep -q "^Match User $user\$" "$work/sshd_config" || fail "the recipe has no Match User orbalune"
mkdir -p /run/sshd 2>/dev/null || true  # its privilege separation folder, when run as root
"$sshd" -t -f "$work/sshd_config" || fail "sshd refuses the recipe"
"$sshd" -D -e -f "$work/sshd_config" 2>"$work/sshd.log" &
server=$!
for _ in $(seq 100); do
  listening "$port" && break
  sleep 0.1
done
if ! listening "$port"; then
  # A machine without loopback networking cannot run this; a recipe sshd dislikes must fail.
  grep -q "Cannot bind any address" "$work/sshd.log" \
    && { echo "skipped: sshd cannot listen on loopback here"; exit 77; }
  fail "sshd did not start"
fi

# connect KEY [SSH OPTION...] [-- COMMAND...]
connect() {
  local key=$1 options=()
  shift
  while (($#)) && [ "$1" != -- ]; do options+=("$1"); shift; done
  (($#)) && shift
  timeout 30 ssh -i "$work/$key" -p "$port" -o BatchMode=yes -o IdentitiesOnly=yes \
    -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR \
    "${options[@]}" "$user@127.0.0.1" "$@"
}
header() { printf 'file orbalune saved game\nformat 1\nrules 1\nseed %s\n\n' "$1"; }
# Types the keys after the first, a moment apart, once the screen in the file $1 shows the
# game's first prompt: typed earlier, at a terminal still in line mode, Ctrl-D would be the
# terminal's end of a line rather than a key (a busy machine starts the game slowly).
type_at_prompt() {
  local screen=$1
  shift
  for _ in $(seq 200); do grep -q '==> ' "$screen" && break; sleep 0.1; done
  for key in "$@"; do printf '%s' "$key"; sleep 0.3; done
}

# 1. Alice plays three keys at a terminal, one at a time, and ends with Ctrl-D.
status=0
: >"$work/screen"
type_at_prompt "$work/screen" v i v $'\x04' | connect alice -tt >"$work/screen" 2>"$work/err" \
  || status=$?
[ "$status" -eq 0 ] || fail "alice's game gave status $status: $(cat "$work/err")"
[ -f "$work/games/ssh-alice.game" ] || fail "no saved game for alice: $(ls "$work/games")"
[ "$(sed 1,5d "$work/games/ssh-alice.game")" = "viv" ] \
  || fail "alice's keys: $(od -c "$work/games/ssh-alice.game")"
grep -q "You're carrying:" "$work/screen" || fail "alice did not see her game: $(cat "$work/screen")"

# 2. Whatever she asks to run, her game is what runs: no command, no shell. At a terminal she
# plays; without one (a command, scp, sftp) nothing plays, and nothing goes into her game.
status=0
: >"$work/screen"
type_at_prompt "$work/screen" $'\x04' \
  | connect alice -tt -- "touch $work/pwned; echo pwned" >"$work/screen" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "her game at a terminal gave status $status"
[ ! -e "$work/pwned" ] || fail "a command of alice's ran"
grep -q pwned "$work/screen" && fail "a command of alice's ran: $(cat "$work/screen")"
grep -q "You are currently in town." "$work/screen" || fail "no game instead: $(cat "$work/screen")"
status=0
printf 'vvv' | connect alice -- "echo pwned" >"$work/screen" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "a session without a terminal gave status $status"
grep -q "plays at a terminal only" "$work/screen" || fail "no reason given: $(cat "$work/screen")"
[ "$(sed 1,5d "$work/games/ssh-alice.game")" = "viv" ] || fail "alice's file changed"

# 3. No forwarding, no sftp, and no way in without a key the host gave.
for forwarding in "-W 127.0.0.1:$port" "-N -o ExitOnForwardFailure=yes -R 127.0.0.1:0:127.0.0.1:$port"; do
  status=0
  # shellcheck disable=SC2086
  connect alice $forwarding </dev/null >"$work/forwarded" 2>&1 || status=$?
  [ "$status" -eq 255 ] || fail "alice could forward ($forwarding): status $status"
  grep -q "^SSH-" "$work/forwarded" && fail "alice reached a port through ssh ($forwarding)"
done
if command -v sftp >/dev/null; then
  status=0
  echo "ls /" | timeout 30 sftp -b - -i "$work/alice" -P "$port" -o BatchMode=yes \
    -o IdentitiesOnly=yes -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null \
    "$user@127.0.0.1" >/dev/null 2>&1 || status=$?
  [ "$status" -ne 0 ] || fail "alice could use sftp"
  [ "$(sed 1,5d "$work/games/ssh-alice.game")" = "viv" ] || fail "sftp's bytes went into her game"
fi
status=0
connect stranger -- true </dev/null >/dev/null 2>&1 || status=$?
[ "$status" -eq 255 ] || fail "a stranger's key gave status $status"
[ "$(ls "$work/games")" = "ssh-alice.game" ] || fail "files beside alice's: $(ls "$work/games")"
echo "ssh recipe: ok"
