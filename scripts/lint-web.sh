#!/usr/bin/env bash
# ESLint with its recommended rules (eslint.config.js) over the page's
# modules, its build script, its tests and its benchmark. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_npm
npm_install_locked
npx --no-install eslint --max-warnings 0 .
echo "eslint: web/, tests/web/ and bench/ clean"
