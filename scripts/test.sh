#!/usr/bin/env bash
# Installs what is missing, builds the native (ASan/UBSan) and the Windows builds, and runs
# every test: the native ones directly, the Windows ones under Wine on a virtual display;
# then builds the release packages twice and checks them (tests/package/check-packages.sh).
set -u
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/deps.sh || exit 1

cmake --preset native >/dev/null || exit 1
cmake --build --preset native -j "$jobs" || exit 1
cmake --preset windows >/dev/null || exit 1
cmake --build --preset windows -j "$jobs" || exit 1

status=0
ctest --preset native -j "$jobs" || status=1
# The Windows tests share one Wine prefix and one virtual display.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset windows || status=1
bash tests/package/check-packages.sh || status=1
exit $status
