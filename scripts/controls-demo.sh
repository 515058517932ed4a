#!/usr/bin/env bash
# Builds the Windows programs and shows the window-controls demonstration under Wine: the
# position grid as the main window sets it up, and the text progress bar at 40 %.
#
#   bash scripts/controls-demo.sh [BUILD_DIR]      (default build/windows)
#
# It needs a display: run it in a desktop session, or give it one, for example
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/controls-demo.sh
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/windows}

if [ -z "${DISPLAY:-}" ]; then
  echo "controls-demo: no display (DISPLAY is empty); run it in a desktop session or under xvfb-run" >&2
  exit 1
fi
if ! command -v wine >/dev/null || ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  bash scripts/deps.sh
fi

cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" --target controls_demo -j "$(nproc 2>/dev/null || echo 2)"

prefix=$PWD/$build/wine
bash scripts/wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$build/controls/controls_demo.exe"
