#!/usr/bin/env bash
# The disk images' figures, each measured in this one run:
#   - writing the two .d64 images of an all-banks run's 35 bank loader files
#     with quillmore-flashdisk, against copying the same files with cp into a
#     fresh folder (both a process each time, alternated, ROUNDS times);
#   - the inspector's peak memory on a full .d81.
# Usage: bench/disk_bench.sh BUILD_DIR [ROUNDS]   (BUILD_DIR/src holds the programs)
set -euo pipefail
programs=$(cd "$1/src" && pwd)
rounds=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# 35 bank loader files as an all-banks run writes them: a 21-byte flasher and
# a block for each bank, told by the inspector as bank loader files.
head -c 21 /dev/urandom >fcFlash.prg
for n in $(seq 0 34); do
    head -c 8192 /dev/urandom >"rom$n.bin"
    "$programs/quillmore-flashtool" "rom$n.bin" "-sb$(printf %02x "$n")" -v0 >/dev/null
done
files=(\&flashbank*.prg)
[ ${#files[@]} -eq 35 ] || { echo "expected 35 bank loader files, found ${#files[@]}" >&2; exit 1; }
[ "$(stat -c %s "${files[0]}")" -eq 8344 ] || { echo "a bank loader file is not 8344 bytes" >&2; exit 1; }

now() { date +%s%N; }
disk=0 copy=0
for _ in $(seq "$rounds"); do
    start=$(now)
    "$programs/quillmore-flashdisk" banks.d64 "${files[@]}" >/dev/null
    disk=$((disk + $(now) - start))
    rm -rf copy && mkdir copy
    start=$(now)
    cp "${files[@]}" copy/
    copy=$((copy + $(now) - start))
done
[ -f banks-1.d64 ] && [ -f banks-2.d64 ] || { echo "quillmore-flashdisk did not write two images" >&2; exit 1; }
awk -v d="$disk" -v c="$copy" -v r="$rounds" 'BEGIN {
    printf "two .d64 of 35 bank loader files: %.2f ms a run; cp of the same files into a fresh folder: %.2f ms; ratio %.2f (at most 1.5)\n",
        d / r / 1e6, c / r / 1e6, d / c }'

# A .d81 as full as files make it, then the inspector's peak memory on it.
# (95 bank loader files of 33 blocks: 3135 of its 3160 blocks.)
for n in $(seq 0 94); do cp "${files[$((n % 35))]}" "f$n.prg"; done
"$programs/quillmore-flashdisk" full.d81 f*.prg >/dev/null
# The blocks are random, unknown to the catalogue: the inspector's status is 1.
peak=$({ /usr/bin/time -f %M "$programs/quillmore-flashinfo" full.d81 >/dev/null || true; } 2>&1 | tail -n 1)
echo "quillmore-flashinfo on a full .d81 (95 files, 3135 blocks): peak memory $((peak / 1024)) MB ($peak KB; at most 16 MB)"
