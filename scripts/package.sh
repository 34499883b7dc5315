#!/usr/bin/env bash
# Builds the packages: build/package/packages/*.deb (Linux) and
# build/package-windows/packages/*.zip (Windows, cross-built), each with the
# web page (scripts/web.sh) beside the tools. Both are hardened and reproducible: every time stamp in them is the last commit's
# (SOURCE_DATE_EPOCH), and no build path reaches the programs.
#   scripts/package.sh           both packages
#   scripts/package.sh --check   also: lintian on the .deb (no error, no hardening tag with
#                                --pedantic -I); the hardening read back from the packaged
#                                programs; a second build from a copy of the sources in another
#                                folder, a second later, that must give the same bytes; the .deb
#                                installed, both tools run and both manual pages opened; the
#                                .zip's text files CR LF. Then the .deb is removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++ dpkg-dev fakeroot groff-base man-db g++-mingw-w64-x86-64-posix zip unzip lintian binutils emscripten
need_npm
jobs=$(build_jobs)
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || stat -c %Y CMakeLists.txt)}
export SOURCE_DATE_EPOCH

fail() { echo "package check: $*" >&2; exit 1; }
# Whether text holds a line matching pattern. Text is matched whole, never
# piped from a command into "grep -q": grep quits at the first match, and
# under pipefail the writer's SIGPIPE would fail a check that held.
holds() { grep -q -e "$2" <<<"$1"; }  # text, pattern

# Builds the page in SOURCE/build/web, the .deb in BUILD/package and the .zip in
# BUILD/package-windows from SOURCE.
build_packages() {  # source, build
    local source=$1 build=$2
    local page=$source/build/web/quillmore-flashtool.html
    rm -rf "$build/package/packages" "$build/package-windows/packages"
    bash "$source/scripts/web.sh" >/dev/null
    cmake -S "$source" -B "$build/package" -DCMAKE_BUILD_TYPE=Release -DFLASHTOOL_BUILD_TESTS=OFF \
        -DFLASHTOOL_WEB_PAGE="$page" >/dev/null
    cmake --build "$build/package" -j "$jobs" >/dev/null
    (cd "$build/package" && cpack -G DEB >/dev/null)
    # A build folder of its own: the test build in build/windows has its toolchain already.
    cmake -S "$source" -B "$build/package-windows" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DFLASHTOOL_BUILD_TESTS=OFF -DFLASHTOOL_WEB_PAGE="$page" >/dev/null
    cmake --build "$build/package-windows" -j "$jobs" >/dev/null
    (cd "$build/package-windows" && cpack -G ZIP >/dev/null)
}

echo "== package: .deb and .zip (time stamps of $(date -u -d "@$SOURCE_DATE_EPOCH" '+%F %T') UTC, the last commit)"
build_packages "$PWD" "$PWD/build"
deb=$(ls build/package/packages/*.deb)
zip=$(ls build/package-windows/packages/*.zip)
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb"
unzip -l "$zip"
[ "${1:-}" = "--check" ] || exit 0

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

echo "== package: lintian"
lintian --fail-on error "$deb"
tags=$(lintian --pedantic -I "$deb" || true)
printf '%s\n' "$tags"
if holds "$tags" hardening; then fail "lintian reports missing hardening"; fi

echo "== package: hardening, read back from the packaged programs"
dpkg-deb -x "$deb" "$scratch/deb"
for program in "$scratch"/deb/usr/bin/*; do
    name=$(basename "$program")
    dynamic=$(readelf -d "$program")
    holds "$dynamic" 'FLAGS_1.*PIE' || fail "$name is not a PIE"
    holds "$dynamic" 'BIND_NOW' || fail "$name has no BIND_NOW"
    holds "$(readelf -lW "$program")" GNU_RELRO || fail "$name has no RELRO segment"
    imports=$(nm -D "$program")
    holds "$imports" '__stack_chk_fail' || fail "$name has no stack protector"
    fortified=$(grep -o '__[a-z]*_chk@' <<<"$imports" | grep -v '__stack_chk' | tr -d '@' | sort -u | tr '\n' ' ' || true)
    [ -n "$fortified" ] || fail "$name has no _FORTIFY_SOURCE checks"
    echo "$name: PIE, RELRO, BIND_NOW, stack protector, fortified: $fortified"
done
unzip -q "$zip" -d "$scratch/zip"
for program in "$scratch"/zip/*/*.exe; do
    name=$(basename "$program")
    header=$(x86_64-w64-mingw32-objdump -p "$program")
    for bit in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
        holds "$header" "$bit" || fail "$name lacks $bit"
    done
    holds "$(x86_64-w64-mingw32-objdump -h "$program")" '\.reloc' || fail "$name has no relocations to move it by"
    echo "$name: DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT, relocations"
done

echo "== package: a second build from a copy of the sources in another folder gives the same bytes"
mkdir "$scratch/source"
git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$scratch/source"
ln -s "$PWD/node_modules" "$scratch/source/node_modules"  # the packages of the same lock file
sleep 1
build_packages "$scratch/source" "$scratch/build"
for package in "$deb" "$zip"; do
    again=$(ls "$scratch/build/${package#build/}")
    echo "$(sha256sum <"$package" | cut -d' ' -f1)  $package"
    echo "$(sha256sum <"$again" | cut -d' ' -f1)  second build"
    cmp -s "$package" "$again" || fail "$(basename "$package") differs between two builds"
done

echo "== package: install check"
dpkg -i "$deb" >/dev/null
trap 'dpkg -r quillmore-flashtool >/dev/null; rm -rf "$scratch"' EXIT
for tool in quillmore-flashtool quillmore-flashinfo quillmore-flashdisk; do
    help=$("$tool" --help)
    echo "${help%%$'\n'*}"
    holds "$(MANWIDTH=80 man -P cat "$tool" 2>/dev/null)" "EXIT STATUS" || fail "man page $tool not found"
done
[ "$(quillmore-flashtool --help | wc -l)" -eq 13 ] || fail "usage text is not 13 lines"
[ -f /usr/share/doc/quillmore-flashtool/README.md ] && grep -q fcFlash.prg /usr/share/doc/quillmore-flashtool/README.md \
    || fail "the user README is not installed"
grep -q '^License: MIT' /usr/share/doc/quillmore-flashtool/copyright || fail "the copyright file names no MIT licence"
cmp -s /usr/share/quillmore-flashtool/quillmore-flashtool.html build/web/quillmore-flashtool.html || fail "the .deb holds no web page"
unzip -p "$zip" "*/quillmore-flashtool.html" | cmp -s - build/web/quillmore-flashtool.html || fail "the .zip holds no web page"

echo "== package: .zip text files have CR LF line ends"
for text in README.txt LICENSE.txt quillmore-flashtool.txt quillmore-flashinfo.txt quillmore-flashdisk.txt; do
    unzip -p "$zip" "*/$text" >"$scratch/text"
    grep -q -v $'\r$' "$scratch/text" && fail "$text has a line without CR LF"
done
echo "packages: lintian clean, hardened, reproducible (the web page too); the .deb installs and runs; both hold the page; the .zip's text is CR LF"
