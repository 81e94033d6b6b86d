#!/usr/bin/env bash
# Fails if the game's compiled code holds a fused multiply-add, which rounds once where the game
# rounds twice: recorded games would play differently on processors that have one.
#   no_fused_multiply_add_test.sh OBJDUMP OBJECT_OR_ARCHIVE...
set -euo pipefail
objdump=$1
shift
listing=$("$objdump" -d --no-show-raw-insn "$@")
[ -n "$listing" ] || { echo "nothing disassembled"; exit 1; }
grep -q -E '^\s+[0-9a-f]+:\s' <<<"$listing" || { echo "no instructions in the listing"; exit 1; }
# x86: vfmadd/vfmsub/vfnmadd/vfnmsub (FMA3), vfmaddps and the like (FMA4); ARM: fmadd, fmsub,
# fnmadd, fnmsub and the vector fmla/fmls.
fused=$(grep -E -i '\s(v?fn?m(add|sub)[0-9a-z]*|fml[as])\s' <<<"$listing" || true)
if [ -n "$fused" ]; then
  echo "fused multiply-adds in the game's code:"
  echo "$fused" | head -20
  exit 1
fi
echo "no fused multiply-add in $# file(s)"
