#!/usr/bin/env bash
# Installs the build into a staging directory, checks every file is where Debian puts a game's
# files, renders the manual pages, and plays the installed replay tool.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null

for file in usr/games/orbalune usr/games/orbalune-replay \
            usr/share/man/man6/orbalune.6.gz usr/share/man/man6/orbalune-replay.6.gz \
            usr/share/doc/orbalune/README.md usr/share/doc/orbalune/copyright \
            usr/share/doc/orbalune/changelog.gz \
            usr/share/bash-completion/completions/orbalune \
            usr/share/bash-completion/completions/orbalune-replay; do
  [ -f "$stage/$file" ] || { echo "missing: /$file"; exit 1; }
done
[ -x "$stage/usr/games/orbalune" ] && [ -x "$stage/usr/games/orbalune-replay" ]

for page in orbalune orbalune-replay; do
  warnings=$(MANWIDTH=80 man --warnings -l "$stage/usr/share/man/man6/$page.6.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$page.6: $warnings"; exit 1; }
  rendered=$(MANWIDTH=80 man -l "$stage/usr/share/man/man6/$page.6.gz" 2>/dev/null)
  grep -q "EXIT STATUS" <<<"$rendered" || { echo "$page.6 has no EXIT STATUS"; exit 1; }
done

# shellcheck disable=SC2086  # the emulator's words, where the build's programs need one
output=$(printf 'v i' | ${ORBALUNE_EMULATOR:-} "$stage/usr/games/orbalune-replay" --seed 1)
expected_stats="LV: 1 XP: 0/100 HP: 29/29 Mokels: 0"
grep -qF "$expected_stats" <<<"$output" || { echo "unexpected output: $output"; exit 1; }
grep -qF "You're carrying:" <<<"$output"
# The completion where bash-completion looks for it, and what it offers.
if completions=$(pkg-config --variable=completionsdir bash-completion 2>/dev/null); then
  [ "$completions" = /usr/share/bash-completion/completions ] \
    || { echo "bash-completion looks in $completions"; exit 1; }
fi
bash "$(dirname "$0")/completion_test.sh" "$stage/usr/share/bash-completion/completions/orbalune"
echo "install: ok"
