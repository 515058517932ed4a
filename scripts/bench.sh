#!/usr/bin/env bash
# Builds the benchmarks without sanitizers and prints their figures: whole-position
# transfers against the wire limit of a modelled line, and discovery times (POSIX here;
# the Windows figure is printed by the Wine discovery test).
set -eu
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc 2>/dev/null || echo 2)" --target transfer_bench
build/bench/tests/bench/transfer_bench
