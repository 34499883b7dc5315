#!/usr/bin/env bash
# Builds the tool and runs its main job on a scratch copy of examples/:
#   quillmore-flashtool DD2.bin -t
# then lists what it wrote. The scratch directory is demo/ (recreated each time).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLASHTOOL_BUILD_TESTS=OFF >/dev/null
cmake --build build/demo -j "$(build_jobs)" --target quillmore-flashtool quillmore-flashinfo
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
echo "== quillmore-flashinfo on the ROM file, the image and the bank loader files:"
"$(dirname "$tool")/quillmore-flashinfo" DD2.bin flash.bin '&flashbank0b.prg' '&flashbank18.prg'
