#!/usr/bin/env bash
# Builds the packages: build/package/packages/*.deb (Linux) and
# build/package-windows/packages/*.zip (Windows, cross-built).
#   scripts/package.sh           both packages
#   scripts/package.sh --check   also install the .deb with dpkg -i (as root), check that both tools
#                                answer --help and that man shows both pages, run lintian on the
#                                .deb (fails on any error), check the .zip's text files, then remove it
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++ dpkg-dev fakeroot groff-base man-db g++-mingw-w64-x86-64-posix zip unzip lintian
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
# A build folder of its own: the test build in build/windows has its toolchain already.
rm -rf build/package-windows/packages
cmake -S . -B build/package-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DFLASHTOOL_BUILD_TESTS=OFF >/dev/null
cmake --build build/package-windows -j "$jobs"
(cd build/package-windows && cpack -G ZIP >/dev/null)
zip=$(ls build/package-windows/packages/*.zip)
unzip -l "$zip"

if [ "${1:-}" = "--check" ]; then
    echo "== package: lintian"
    lintian --fail-on error "$deb"
    echo "== package: install check"
    dpkg -i "$deb" >/dev/null
    trap 'dpkg -r quillmore-flashtool >/dev/null' EXIT
    for tool in quillmore-flashtool quillmore-flashinfo; do
        "$tool" --help | head -1
        MANWIDTH=80 man -P cat "$tool" 2>/dev/null | grep -q "EXIT STATUS" || { echo "man page $tool not found" >&2; exit 1; }
    done
    [ "$(quillmore-flashtool --help | wc -l)" -eq 13 ] || { echo "usage text is not 13 lines" >&2; exit 1; }
    [ -f /usr/share/doc/quillmore-flashtool/README.md ] && grep -q fcFlash.prg /usr/share/doc/quillmore-flashtool/README.md \
        || { echo "the user README is not installed" >&2; exit 1; }
    echo "== package: .zip text files have CR LF line ends"
    for text in README.txt quillmore-flashtool.txt quillmore-flashinfo.txt; do
        unzip -p "$zip" "*/$text" | grep -q -v $'\r$' && { echo "$text has a line without CR LF" >&2; exit 1; }
    done
    echo "installed .deb: both tools answer --help, both man pages open, lintian reports no error; .zip text is CR LF"
fi
