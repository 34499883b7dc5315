#!/usr/bin/env bash
# Builds the tool and shows its usage text.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++ libgtest-dev libbenchmark-dev
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$(build_jobs)" --target quillmore-flashtool
build/native/src/quillmore-flashtool
