#!/usr/bin/env bash
# Runs web_e2e.js: playwright-core from npm into the build's node folder when missing, Chromium
# with a scratch home, so that nothing of the user's own browser is touched.
# Usage: run_e2e.sh SITE-DIR SPRITE-SHEET WORK-DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
site=$1
sheet=$2
work=$3
command -v chromium >/dev/null || { echo "chromium is not installed: skipped"; exit 77; }
modules=$(dirname "$work")/node
if [ ! -d "$modules/node_modules/playwright-core" ]; then
  mkdir -p "$modules"
  npm install --prefix "$modules" --no-audit --no-fund --loglevel=error playwright-core >/dev/null
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache TMPDIR=$scratch \
  NODE_PATH="$modules/node_modules" node "$here/web_e2e.js" "$site" "$sheet" "$work"
