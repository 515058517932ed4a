#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program under Wine against the device
# simulator, which serves COM7 of a Wine prefix in the build tree and keeps a trace.
#
# The main window is not built yet; until it is, this starts t6linkcheck, which shows the
# device log while it identifies the simulated device on COM7.
#
# Without a display (CI, a plain shell) it runs on a virtual one for RUN_SECONDS (default
# 10) and stops by itself.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target t6sim
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target t6linkcheck

prefix=$PWD/build/windows/wine
bash scripts/wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

trace=$PWD/build/sim-trace.txt
# The simulated device keeps its memory between runs, as the real one does.
build/native/sim/t6sim --link "$prefix/dosdevices/com7" --trace "$trace" --memory "$PWD/build/sim-device.bin" &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null || true' EXIT
sleep 0.5

program=(wine build/windows/device/t6linkcheck.exe 7)
if [ -n "${DISPLAY:-}" ]; then
  "${program[@]}"
else
  echo "run: no display; running on a virtual one for ${RUN_SECONDS:-10} s"
  xvfb-run -a bash -c '"$@" & sleep "$0"; wineserver -k; wait' "${RUN_SECONDS:-10}" "${program[@]}" || true
fi
echo "run: the simulator's trace is in $trace"
