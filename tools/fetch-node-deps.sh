#!/usr/bin/env bash
# Installs the npm packages the build embeds (UAParser.js for the engine-report page).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ ! -f "$root/node_modules/ua-parser-js/dist/ua-parser.min.js" ]; then
  (cd "$root" && npm ci --no-audit --no-fund --loglevel=error)
fi
