#!/usr/bin/env bash
# Builds the benchmarks (optimised) and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++ libbenchmark-dev time
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DFLASHTOOL_BUILD_TESTS=OFF -DFLASHTOOL_BUILD_BENCH=ON >/dev/null
cmake --build build/bench -j "$(build_jobs)" --target flashtool_bench
build/bench/bench/flashtool_bench "$@"
cmake --build build/bench -j "$(build_jobs)" --target quillmore-flashtool quillmore-flashdisk quillmore-flashinfo
bench/disk_bench.sh build/bench
