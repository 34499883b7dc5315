#!/usr/bin/env bash
# Starts two "-t" runs at once in a fresh folder with no flash.bin, N times
# (default 100), and checks that flash.bin then holds both runs' slots and
# that both runs end with status 0. Fails when any pair lost a slot.
#   scripts/two-runs.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$(build_jobs)" --target quillmore-flashtool >/dev/null
tool=$PWD/build/native/src/quillmore-flashtool
pairs=${1:-100}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 8192 /dev/zero | tr '\0' '\021' >"$work/a.bin"
head -c 8192 /dev/zero | tr '\0' '\042' >"$work/b.bin"
printf '\000\003\252\273' >"$work/fcFlash.prg"
: >"$work/crc.ini"  # no default catalogue to write: only the image is shared

slot() { dd if="$1/flash.bin" bs=8192 skip="$2" count=1 2>/dev/null; }
lost=0
failed=0
for i in $(seq "$pairs"); do
    dir=$work/run$i
    mkdir "$dir"
    cp "$work"/a.bin "$work"/b.bin "$work"/fcFlash.prg "$work"/crc.ini "$dir"
    (cd "$dir" && "$tool" a.bin -sb01 -t -v0 >/dev/null 2>&1; echo $? >a.status) &
    (cd "$dir" && "$tool" b.bin -sb02 -t -v0 >/dev/null 2>&1; echo $? >b.status) &
    wait
    if ! slot "$dir" 1 | cmp -s - "$dir/a.bin" || ! slot "$dir" 2 | cmp -s - "$dir/b.bin"; then lost=$((lost + 1)); fi
    [ "$(cat "$dir/a.status" "$dir/b.status")" = "$(printf '0\n0')" ] || failed=$((failed + 1))
    rm -rf "$dir"
done
echo "two runs at once, $pairs times: $lost lost a slot, $failed had a run not ending with status 0"
[ "$lost" -eq 0 ] && [ "$failed" -eq 0 ]
