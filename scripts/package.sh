#!/usr/bin/env bash
# Builds the packages: build/package/packages/*.deb (Linux) and
# build/windows/packages/*.zip (Windows, cross-built).
#   scripts/package.sh           both packages
#   scripts/package.sh --check   also install the .deb with dpkg -i (as root), check that the
#                                tool prints its usage text and that man shows its page, then remove it
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++ dpkg-dev fakeroot groff-base man-db g++-mingw-w64-x86-64-posix googletest zip unzip
jobs=$(build_jobs)

echo "== package: .deb"
rm -rf build/package/packages
cmake -S . -B build/package -DCMAKE_BUILD_TYPE=Release -DFLASHTOOL_BUILD_TESTS=OFF >/dev/null
cmake --build build/package -j "$jobs"
(cd build/package && cpack -G DEB >/dev/null)
deb=$(ls build/package/packages/*.deb)
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb"

echo "== package: .zip"
rm -rf build/windows/packages
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$jobs" --target quillmore-flashtool quillmore-flashinfo manual_text
(cd build/windows && cpack -G ZIP >/dev/null)
zip=$(ls build/windows/packages/*.zip)
unzip -l "$zip"

if [ "${1:-}" = "--check" ]; then
    echo "== package: install check"
    dpkg -i "$deb" >/dev/null
    trap 'dpkg -r quillmore-flashtool >/dev/null' EXIT
    quillmore-flashtool | head -2
    [ "$(quillmore-flashtool | wc -l)" -eq 13 ] || { echo "usage text is not 13 lines" >&2; exit 1; }
    for page in quillmore-flashtool quillmore-flashinfo; do
        MANWIDTH=80 man -P cat "$page" 2>/dev/null | grep -q "EXIT STATUS" || { echo "man page $page not found" >&2; exit 1; }
    done
    quillmore-flashinfo --version
    echo "installed .deb: usage text, quillmore-flashinfo and both man pages ok"
fi
