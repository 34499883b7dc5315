#!/usr/bin/env bash
# Static checks of the tool's code: cppcheck (warning, performance,
# portability) and clang-tidy with the checks in .clang-tidy. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++ cppcheck clang-tidy
cmake -S . -B build/static -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DFLASHTOOL_BUILD_TESTS=OFF >/dev/null

echo "== static: cppcheck"
cppcheck --quiet --enable=warning,performance,portability --std=c++17 --inline-suppr --error-exitcode=1 \
    -I src --project=build/static/compile_commands.json

echo "== static: clang-tidy"
mapfile -t sources < <(find src -name '*.cpp' | sort)
clang-tidy -p build/static --quiet "${sources[@]}" 2>&1 | { grep -v -E '^[0-9]+ warnings? generated\.$' || true; }
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || { echo "clang-tidy found problems" >&2; exit "$status"; }
echo "static checks clean"
