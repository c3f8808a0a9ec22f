#!/usr/bin/env bash
# Runs the workbench's end-to-end tests in Debian's Chromium. When the browser
# or the test packages are not there, a developer's run is skipped (exit 77)
# and a CI run (CI set) fails, each with one line saying what is missing.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bench="$here/../../tools/workbench"
missing() {
  if [ -n "${CI:-}" ] && [ "${CI}" != false ]; then echo "workbench browser tests: $1" >&2; exit 1; fi
  echo "skipped: $1"; exit 77
}
[ -x /usr/bin/chromium ] || missing "/usr/bin/chromium is not installed (scripts/setup with ORBALIS_WITH_NODE=1)"
command -v node >/dev/null || missing "node is not installed (scripts/setup with ORBALIS_WITH_NODE=1)"
if [ ! -d "$bench/node_modules/playwright-core" ]; then
  if ! (cd "$bench" && npm ci --no-audit --no-fund --fetch-retries=1 >/dev/null 2>&1); then
    missing "playwright-core is not installed and npm ci in tools/workbench failed (no registry?)"
  fi
fi
exec node --test --test-concurrency=1 "$here"
