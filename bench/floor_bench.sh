#!/usr/bin/env bash
# An all-banks run (-a -t -b -v0 over 35 files) against its floor
# (bench/floor.cpp: the same files read and written, through temporary
# files, and nothing else), each a process in a fresh copy of the same
# folder, alternated, ROUNDS times: in a folder without the outputs, and in
# one where a run left them (each output replaced); the medians and their
# ratio. Prints the figures; not a test.
# Usage: bench/floor_bench.sh BUILD_DIR [ROUNDS]   (BUILD_DIR/src holds the tool, BUILD_DIR/bench the floor)
set -euo pipefail
tool=$(cd "$1/src" && pwd)/quillmore-flashtool
floor=$(cd "$1/bench" && pwd)/flashtool_floor
rounds=${2:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/start"
cd "$work/start"
# As the native benchmark makes them: 35 files of a load address and an 8 KB
# block, a 1024-byte flasher, and a catalogue naming one bank a file.
python3 - <<'PY'
pattern = lambda n: bytes((i * 131 + (i >> 7)) & 0xFF for i in range(n))
open('fcFlash.prg', 'wb').write(pattern(1024))
for n in range(0x23):
    rom = bytearray(pattern(8194)); rom[2] = n
    open('memFlashBank_%02x.bin' % n, 'wb').write(rom)
PY
crcs=$("$tool" -a -v0 2>&1 >/dev/null | sed -n 's/.*CRC-16:\([0-9a-f]*\).*/\1/p')
rm -f crc.ini
n=0
for crc in $crcs; do printf '%s; %02x; bench ROM %d\n' "$crc" "$n" "$n" >>crc.ini; n=$((n + 1)); done

cp -r "$work/start" "$work/again"
(cd "$work/again" && "$tool" -a -t -b -v0 >/dev/null)

# Returns: the us one run of the command takes in a fresh copy of the folder named.
timed() {
    local folder=$1
    shift
    rm -rf "$work/run" && cp -r "$work/$folder" "$work/run" && cd "$work/run"
    local started=$(date +%s%N)
    "$@" >/dev/null
    echo $(( ($(date +%s%N) - started) / 1000 ))
}
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for folder in start again; do
    : >"$work/tool" && : >"$work/floor"
    for _ in $(seq "$rounds"); do
        timed "$folder" "$tool" -a -t -b -v0 >>"$work/tool"
        timed "$folder" "$floor" >>"$work/floor"
    done
    t=$(median "$work/tool") f=$(median "$work/floor")
    what=$([ "$folder" = start ] && echo "no outputs there" || echo "every output replaced")
    awk -v t="$t" -v f="$f" -v r="$rounds" -v w="$what" 'BEGIN { printf "all banks, -a -t -b -v0, %s: %.2f ms a run; its floor (the same safe writes, nothing else): %.2f ms; ratio %.2f (at most 1.05; medians of %d)\n", w, t / 1000, f / 1000, t / f, r }'
done
