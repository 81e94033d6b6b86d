#!/usr/bin/env bash
# Builds the Debian package and checks its fields and contents.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
package=$(ls "$out"/orbalune_*.deb)
echo "package: $(basename "$package")"

[ "$(dpkg-deb -f "$package" Section)" = games ] || { echo "wrong section"; exit 1; }
depends=$(dpkg-deb -f "$package" Depends)
grep -q -E 'libstdc\+\+6|libc\+\+1' <<<"$depends" || { echo "missing dependencies: $depends"; exit 1; }
description=$(dpkg-deb -f "$package" Description)
grep -q Orbalune <<<"$description" || { echo "wrong description: $description"; exit 1; }

dpkg-deb -c "$package" | tee "$out/contents"
for file in ./usr/games/orbalune ./usr/games/orbalune-replay \
            ./usr/share/man/man6/orbalune.6.gz ./usr/share/man/man6/orbalune-replay.6.gz; do
  grep -q " $file\$" "$out/contents" || { echo "missing: $file"; exit 1; }
done
# Debian's own checker, on every error and warning it knows; without it the package is not
# wholly checked, and the test says so.
command -v lintian >/dev/null || { echo "skipped: no lintian (.ci/install-build-deps)"; exit 77; }
findings=$(lintian --fail-on error,warning "$package" 2>&1 | grep -v '^running with root' || true)
[ -z "$findings" ] || { echo "lintian: $findings"; exit 1; }
echo "lintian: no findings"
echo "package: ok"
