#!/usr/bin/env bash
# Checks that every C++ file is as clang-format (.clang-format) writes it.
#   scripts/check-format.sh          report the files that differ, fail if any
#   scripts/check-format.sh --fix    format them in place
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
echo "format: all ${#files[@]} C++ files as clang-format writes them"
