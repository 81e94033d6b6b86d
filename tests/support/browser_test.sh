#!/usr/bin/env bash
# Runs a test of the web build's page in headless Chromium where the machine has what it needs,
# else says what is missing and skips (77).
# usage: browser_test.sh [--needs TOOL]... TEST.py SITE_DIR [ARGUMENT]...
set -euo pipefail
tools=(chromium chromedriver)
while [ "$1" = --needs ]; do tools+=("$2"); shift 2; done
[ -f "$2/index.html" ] || { echo "skipped: no web build in $2 (cmake --workflow --preset web)"; exit 77; }
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool (.ci/install-build-deps)"; exit 77; }
done
/usr/bin/python3 -c 'import selenium' 2>/dev/null \
  || { echo "skipped: no python3-selenium (.ci/install-build-deps)"; exit 77; }
exec /usr/bin/python3 "$@"
