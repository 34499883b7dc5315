#!/usr/bin/env bash
# Builds the engine and the page (scripts/web.sh) and the native tools, then
# runs the web tests: the engine under node against the native tools, and
# the page opened from disk in headless Chromium (puppeteer-core), with
# axe-core, and the site (build/site) served over http by python3's
# http.server, online and offline, in English and German. Installs what it needs on a fresh Debian 12 machine when run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages cmake make g++ libgtest-dev chromium python3
bash scripts/web.sh
echo "== web: the native tools to compare with (build/native)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$(build_jobs)" --target quillmore-flashtool quillmore-flashinfo quillmore-flashdisk >/dev/null
echo "== web: tests"
node --test tests/web/
