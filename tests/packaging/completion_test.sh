#!/usr/bin/env bash
# Completes both programs' command lines through bash itself, with the installed completion.
# Usage: completion_test.sh COMPLETION_FILE
set -euo pipefail
completion=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/alice.game" "$work/bob.game"
mkdir "$work/games"

# What bash offers for a command line whose last word is being typed.
offered() {
  bash --norc --noprofile -c '
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    complete_function=$(complete -p "$1" | sed -E "s/.*-F ([^ ]+).*/\1/")
    "$complete_function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ "$completion" "$@"
}

check() {
  local expected=$1
  shift
  local got
  got=$(cd "$work" && offered "$@")
  [ "$got" = "$expected" ] || { echo "FAIL: '$*' offered '$got', not '$expected'"; exit 1; }
}

check "--save --seed " orbalune --s
check "alice.game " orbalune --save a
check "alice.game bob.game games " orbalune --save ""
check " " orbalune --seed ""
check "--seed --speed " orbalune-replay --s
check "--follow " orbalune-replay --watch --f
check "bob.game " orbalune-replay --watch b
for program in orbalune orbalune-replay; do
  bash --norc --noprofile -c 'source "$1"; complete -p "$2"' _ "$completion" "$program" >/dev/null \
    || { echo "FAIL: no completion for $program"; exit 1; }
done
echo "completion: ok"
