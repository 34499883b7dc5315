#!/usr/bin/env bash
# Runs the native suite (build/native) once more as an unprivileged user,
# made for it when missing, as a user runs the tools: where a run may not
# give a file back its owner, and with no privilege to pass a permission
# by; the tests that need root skip themselves there.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/native/tests/flashtool_tests ] || bash scripts/test.sh native
if [ "$(id -u)" -ne 0 ]; then
    echo "== the suite as $(id -un), who is not root"
    exec build/native/tests/flashtool_tests --gtest_brief=1
fi
user=quillmore-ci
id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
echo "== the suite as $user"
exec setpriv --reuid="$user" --regid="$user" --init-groups env HOME=/tmp TMPDIR=/tmp \
    build/native/tests/flashtool_tests --gtest_brief=1
