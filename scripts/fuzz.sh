#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan+UBSan) and runs each one.
#   scripts/fuzz.sh                     short smoke run of every target (CI)
#   scripts/fuzz.sh TARGET [FLAGS...]   one target with libFuzzer flags, e.g. a long run:
#       scripts/fuzz.sh rom_run -runs=10000000 -jobs=2 -workers=2
# Targets: catalogue, rom_run, command_line, loader_file, disk_reader. New inputs go to build/fuzz-corpus/TARGET,
# crashes to build/fuzz-artifacts/; the seed corpora in fuzz/corpus/ stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make clang libclang-rt-14-dev
root=$PWD
CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLASHTOOL_FUZZ=ON \
    -DFLASHTOOL_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz -j "$(build_jobs)"

run_target() {  # target, libFuzzer flags...
    local target=$1
    shift
    mkdir -p "$root/build/fuzz-corpus/$target" "$root/build/fuzz-artifacts"
    echo "== fuzz: $target $*"
    "$root/build/fuzz/fuzz/fuzz_$target" -max_len=20000 -artifact_prefix="$root/build/fuzz-artifacts/$target-" \
        "$@" "$root/build/fuzz-corpus/$target" "$root/fuzz/corpus/$target" 2>&1 | grep -E '^(#[0-9]+ +DONE|Done|==[0-9]+==|SUMMARY|INFO: Seed)' || true
    return "${PIPESTATUS[0]}"
}

if [ $# -eq 0 ]; then
    for target in catalogue rom_run command_line loader_file; do run_target "$target" -runs=30000 -seed=1; done
    # A disk image is read whole for every input: a third of the runs in the same time.
    run_target disk_reader -runs=10000 -seed=1
else
    run_target "$@"
fi
