#!/usr/bin/env bash
# Runs the workbench's end-to-end tests in Debian's Chromium; skipped (exit
# 77) when the browser or the test packages are not there.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bench="$here/../../tools/workbench"
if [ ! -x /usr/bin/chromium ]; then echo "skipped: /usr/bin/chromium is not installed (scripts/setup with ORBALIS_WITH_NODE=1)"; exit 77; fi
if ! command -v node >/dev/null; then echo "skipped: node is not installed"; exit 77; fi
if [ ! -d "$bench/node_modules/playwright-core" ]; then
  if ! (cd "$bench" && npm ci --no-audit --no-fund >/dev/null 2>&1); then
    echo "skipped: the test packages are not installed (npm ci in tools/workbench failed)"; exit 77
  fi
fi
exec node --test --test-concurrency=1 "$here"
