#!/usr/bin/env bash
# Runs the web hosting recipe's test (nginx_recipe_test.py) where the machine has what it needs.
# usage: nginx_recipe_test.sh SITE_DIR RECIPE ORBALUNE ORBALUNE_REPLAY TEST_DATA_DIR
set -euo pipefail
[ -f "$1/index.html" ] || { echo "skipped: no web build in $1 (cmake --workflow --preset web)"; exit 77; }
for tool in nginx chromium chromedriver; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool (.ci/install-build-deps)"; exit 77; }
done
/usr/bin/python3 -c 'import selenium' 2>/dev/null \
  || { echo "skipped: no python3-selenium (.ci/install-build-deps)"; exit 77; }
exec /usr/bin/python3 "$(dirname "$0")/nginx_recipe_test.py" "$@"
