#!/usr/bin/env bash
# Builds and runs every test of the tool.
#   scripts/test.sh            native suite, then the same suite under ASan+UBSan
#   scripts/test.sh native     native suite only
#   scripts/test.sh sanitize   ASan+UBSan suite only
#   scripts/test.sh clang      the suite built with clang and libc++ (GoogleTest from its source), same warnings
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++ libgtest-dev libbenchmark-dev cc1541 cbmconvert
jobs=$(build_jobs)

run_suite() {  # name, build directory, cmake options...
    local name=$1 dir=$2
    shift 2
    echo "== $name: configure and build ($dir)"
    cmake -S . -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    echo "== $name: tests"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

what=${1:-all}
case "$what" in
    native|all) run_suite native build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLASHTOOL_BUILD_BENCH=ON ;;&
    sanitize|all) run_suite sanitize build/sanitize -DCMAKE_BUILD_TYPE=Debug -DFLASHTOOL_SANITIZE=ON ;;
    native) ;;
    clang)
        need_packages clang libc++-dev libc++abi-dev googletest
        run_suite clang build/clang -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
            -DCMAKE_CXX_FLAGS=-stdlib=libc++ -DFLASHTOOL_GTEST_FROM_SOURCE=ON ;;
    *) echo "usage: scripts/test.sh [native|sanitize|clang]" >&2; exit 2 ;;
esac
