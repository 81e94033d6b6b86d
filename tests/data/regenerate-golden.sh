#!/usr/bin/env bash
# Records the golden game anew: the test bot's keys for a seed, and the replay tool's output
# for them. Run it only on purpose, after a change of the game's output has been reviewed:
#   bash tests/data/regenerate-golden.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
seed=19
budget=200
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null
./build/default/tests/orbalune-bot-keys "$seed" "$budget" >tests/data/golden.keys
./build/default/orbalune-replay --seed "$seed" --pauses <tests/data/golden.keys \
  >tests/data/golden.expected
echo "recorded tests/data/golden.keys and tests/data/golden.expected (seed $seed)"
if ! git diff --quiet -- tests/data/golden.expected; then
  echo "The game now plays differently: saved games of the old rules must not replay into it."
  echo "Raise kRulesVersion in src/game/rules_version.hpp and add its line to"
  echo "tests/data/rules-versions (RulesVersion.IsRaisedWheneverTheGoldenGameChanges prints the digest)."
fi
