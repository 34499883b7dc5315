#!/usr/bin/env bash
# Builds the web engine and the page from the library's sources:
#   build/web/quillmore.js               both tools in WebAssembly, linked into one
#                                        script (node: require(); a page: window.quillmore)
#   build/web/quillmore-flashtool.html   the page: one file, opened from disk, offline
#   build/site/                          the same page for any static host: index.html,
#                                        its service worker, manifest and icon
# Needs Debian's emscripten, node with npm, and the npm packages of
# package-lock.json (installed here when they are missing or out of date).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make emscripten
need_npm
# Debian's emscripten finds its JavaScript parser (acorn) there.
export NODE_PATH=/usr/share/nodejs
npm_install_locked

echo "== web: the engine (build/web-engine)"
emcmake cmake -S . -B build/web-engine -DCMAKE_BUILD_TYPE=Release -DFLASHTOOL_BUILD_TESTS=OFF >/dev/null
cmake --build build/web-engine -j "$(build_jobs)" --target quillmore_engine >/dev/null
version=$(sed -n 's/^project(quillmore-flashtool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
node web/build.js build/web-engine/src/quillmore_engine.js build/web-engine/src/quillmore_engine.wasm "$version" build/web build/site
ls -l build/web/quillmore.js build/web/quillmore-flashtool.html build/site
