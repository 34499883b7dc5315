#!/usr/bin/env bash
# Builds the tool and runs its main job on a scratch copy of examples/:
#   quillmore-flashtool DD2.bin -t
# then lists what it wrote, shows what the files hold, puts the bank loader
# files onto a disk image for the drive and checks it, and compares the image
# with a made-up read-back. The scratch directory is demo/ (recreated each time).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLASHTOOL_BUILD_TESTS=OFF >/dev/null
cmake --build build/demo -j "$(build_jobs)" --target quillmore-flashtool quillmore-flashinfo quillmore-flashdisk
tool=$PWD/build/demo/src/quillmore-flashtool

rm -rf demo
mkdir demo
cp examples/fcFlash.prg examples/DD2.bin demo/
cd demo
echo "== in $PWD: quillmore-flashtool DD2.bin -t"
status=0
"$tool" DD2.bin -t || status=$?
echo "== exit status $status; files now in demo/:"
ls -l
info=$(dirname "$tool")/quillmore-flashinfo
echo "== quillmore-flashinfo on the ROM file, the image and the bank loader files:"
"$info" DD2.bin flash.bin '&flashbank0b.prg' '&flashbank18.prg'
echo "== quillmore-flashdisk banks.d64 on the bank loader files, and quillmore-flashinfo on the disk image:"
"$(dirname "$tool")/quillmore-flashdisk" banks.d64 '&flashbank0b.prg' '&flashbank18.prg'
"$info" banks.d64
# After a burn, the chip is read back into a file and compared with the image
# burned. Here the read-back is made up: flash.bin with bank 18 left erased,
# as if it had not programmed.
cp flash.bin readback.bin
head -c 8192 /dev/zero | tr '\0' '\377' | dd of=readback.bin bs=8192 seek=24 conv=notrunc status=none
echo "== quillmore-flashinfo --compare flash.bin readback.bin (a made-up read-back whose bank 18 did not program):"
status=0
"$info" --compare flash.bin readback.bin || status=$?
echo "== exit status $status (1: a bank differs)"
echo "== the programs are in $(dirname "$tool")/: quillmore-flashtool, quillmore-flashinfo, quillmore-flashdisk"
