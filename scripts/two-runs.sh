#!/usr/bin/env bash
# Starts two "-t" runs at once in a fresh folder, N times (default 100) for
# each way a folder can start: with no flash.bin, with a flash.bin of
# another size, and with neither flash.bin nor crc.ini. Checks that
# flash.bin then holds both runs' slots, that crc.ini is the default where
# there was none, and that both runs end with status 0. Fails when any pair
# lost a slot or a run did not end with status 0.
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
(mkdir "$work/default" && cd "$work/default" && cp ../fcFlash.prg . && "$tool" -a >/dev/null)  # the default crc.ini

slot() { dd if="$1/flash.bin" bs=8192 skip="$2" count=1 2>/dev/null; }

# Runs the pairs in folders that start as start makes them; prints one line of figures.
# Returns: 1 when a pair lost a slot, a run failed or crc.ini is not the default.
pairs_from() {  # label, start
    local label=$1 start=$2 lost=0 failed=0 catalogue=0 i dir
    for i in $(seq "$pairs"); do
        dir=$work/run$i
        mkdir "$dir"
        cp "$work"/a.bin "$work"/b.bin "$work"/fcFlash.prg "$dir"
        (cd "$dir" && eval "$start")
        (cd "$dir" && "$tool" a.bin -sb01 -t -v0 >/dev/null 2>&1; echo $? >a.status) &
        (cd "$dir" && "$tool" b.bin -sb02 -t -v0 >/dev/null 2>&1; echo $? >b.status) &
        wait
        if ! slot "$dir" 1 | cmp -s - "$dir/a.bin" || ! slot "$dir" 2 | cmp -s - "$dir/b.bin"; then lost=$((lost + 1)); fi
        [ "$(cat "$dir/a.status" "$dir/b.status")" = "$(printf '0\n0')" ] || failed=$((failed + 1))
        cmp -s "$dir/crc.ini" "$work/default/crc.ini" || catalogue=$((catalogue + 1))
        rm -rf "$dir"
    done
    echo "two runs at once from $label, $pairs times: $lost lost a slot, $failed had a run not ending with status 0, $catalogue ended without the default crc.ini"
    [ "$lost" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$catalogue" -eq 0 ]
}

status=0
pairs_from "no flash.bin" 'cp ../default/crc.ini .' || status=1
pairs_from "a flash.bin of another size" 'cp ../default/crc.ini . && head -c 1000 /dev/zero >flash.bin' || status=1
pairs_from "no flash.bin and no crc.ini" ':' || status=1
exit "$status"
