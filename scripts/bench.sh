#!/usr/bin/env bash
# Builds the benchmarks without sanitizers and prints their figures: whole-position
# transfers against the wire limit of a modelled line, and discovery times (POSIX here;
# the Windows figure is printed by the Wine discovery test); then, under Wine against the
# simulator (on a virtual display when there is none), the program's start-up at 921600
# baud, and Write Selection and Verify Selection through the window next to t6tool.exe
# and the native t6tool at 921600 and 115200 baud.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
bash scripts/deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs" --target transfer_bench t6sim t6tool
build/bench/tests/bench/transfer_bench

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target t6utility t6tool startup_bench wine_start_probe job_bench
prefix=$PWD/build/windows/wine
bash scripts/wine-prefix.sh "$prefix"
# No sound driver: the program's job sounds would only print ALSA's complaints here.
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv="
export T6_UTILITY=$PWD/build/windows/app/t6utility.exe
export T6_START_PROBE=$PWD/build/windows/tests/bench/wine_start_probe.exe
export T6_SIM=$PWD/build/bench/sim/t6sim T6_SOURCE_DIR=$PWD
export T6_E2E_SCRATCH=$PWD/build/windows/tests/bench/scratch
export T6_TOOL=$PWD/build/windows/cli/t6tool.exe T6_TOOL_NATIVE=$PWD/build/bench/cli/t6tool
# Both, then the wineserver's end awaited while the display is still up: Wine processes
# cut off by its end print their handle tables.
bench=(sh -c 'wine build/windows/tests/bench/startup_bench.exe && echo &&
              wine build/windows/tests/bench/job_bench.exe; status=$?; wineserver -w; exit $status')
echo
if [ -n "${DISPLAY:-}" ]; then
  "${bench[@]}"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "${bench[@]}"
fi
