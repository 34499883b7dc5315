#!/usr/bin/env bash
# The page's JavaScript, its build script, its tests and its benchmark:
# every file as Prettier writes it (.prettierrc.json), and ESLint's
# recommended rules, with size and complexity rules on the page's modules
# (eslint.config.js). Fails on any finding.
#   scripts/lint-web.sh          check
#   scripts/lint-web.sh --fix    format the files first
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_npm
npm_install_locked
files=(web tests/web bench eslint.config.js)
if [ "${1:-}" = "--fix" ]; then npx --no-install prettier --log-level warn --write "${files[@]}"; fi
npx --no-install prettier --check --log-level warn "${files[@]}"
echo "prettier: web/, tests/web/ and bench/ as Prettier writes them"
npx --no-install eslint --max-warnings 0 .
echo "eslint: web/, tests/web/ and bench/ clean"
