#!/usr/bin/env bash
# Builds the benchmarks without sanitizers and prints their figures: whole-position
# transfers against the wire limit of a modelled line, and discovery times (POSIX here;
# the Windows figure is printed by the Wine discovery test); then the program's start-up
# under Wine against the simulator at 921600 baud (on a virtual display when there is
# none).
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
bash scripts/deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs" --target transfer_bench t6sim
build/bench/tests/bench/transfer_bench

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target t6utility startup_bench wine_start_probe
prefix=$PWD/build/windows/wine
bash scripts/wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export T6_UTILITY=$PWD/build/windows/app/t6utility.exe
export T6_START_PROBE=$PWD/build/windows/tests/bench/wine_start_probe.exe
export T6_SIM=$PWD/build/bench/sim/t6sim T6_SOURCE_DIR=$PWD
export T6_E2E_SCRATCH=$PWD/build/windows/tests/bench/scratch
echo
bench=(wine build/windows/tests/bench/startup_bench.exe)
if [ -n "${DISPLAY:-}" ]; then
  "${bench[@]}"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "${bench[@]}"
fi
