#!/usr/bin/env bash
# A packager's cross build for a board this machine cannot run (here: any way of starting its
# programs fails) configures without tests, and refuses, saying why, with them.
# usage: cross_configure_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
command -v aarch64-linux-gnu-g++ >/dev/null \
  || { echo "skipped: no aarch64-linux-gnu-g++ (.ci/install-build-deps)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cross=(-DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR=aarch64
       -DCMAKE_C_COMPILER=aarch64-linux-gnu-gcc -DCMAKE_CXX_COMPILER=aarch64-linux-gnu-g++
       -DORBALUNE_ALWAYS_EMULATE=ON -DCMAKE_CROSSCOMPILING_EMULATOR=/bin/false)
cmake -S "$source_dir" -B "$work/programs" "${cross[@]}" -DORBALUNE_BUILD_TESTS=OFF \
  >"$work/programs.log" 2>&1 || { cat "$work/programs.log"; echo "FAIL: without tests"; exit 1; }
grep -q "cannot start aarch64 programs: it builds them, without tests" "$work/programs.log"
if cmake -S "$source_dir" -B "$work/tests" "${cross[@]}" >"$work/tests.log" 2>&1; then
  echo "FAIL: configured tests it cannot run"; exit 1
fi
grep -q "ORBALUNE_BUILD_TESTS=OFF builds the programs alone" "$work/tests.log" \
  || { cat "$work/tests.log"; echo "FAIL: no reason given"; exit 1; }
echo "cross configure: ok"
