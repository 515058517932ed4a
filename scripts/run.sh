#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program under Wine with a demo: the
# simulated device on COM7 of the build tree's Wine prefix holds sample tunes in a few
# positions, and the program's settings.dat restores a layout of sample tune files.
#
# The demo lives in build/demo, made afresh on every run: a copy of t6utility.exe with its
# own settings.dat and demo.t6layout, the tune files in tunes/, and the device's memory in
# device.bin. A settings.dat anywhere else is never touched.
#
# Without a display (CI, a plain shell) it runs on a virtual one for RUN_SECONDS (default
# 10), saves a picture of the main window after the query in build/main-window.bmp, and
# stops by itself.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target t6sim t6demo
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target t6utility t6shot

prefix=$PWD/build/windows/wine
bash scripts/wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

demo=$PWD/build/demo
rm -rf "$demo"
mkdir -p "$demo"
build/native/sim/demo/t6demo "$demo"
cp build/windows/app/t6utility.exe "$demo/"

trace=$PWD/build/sim-trace.txt
build/native/sim/t6sim --link "$prefix/dosdevices/com7" --trace "$trace" --memory "$demo/device.bin" &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null || true' EXIT
sleep 0.5

if [ -n "${DISPLAY:-}" ]; then
  (cd "$demo" && wine t6utility.exe)
else
  seconds=${RUN_SECONDS:-10}
  # No sound driver here: looking for a sound card, Wine's would print a screen of ALSA
  # errors. A desktop session above keeps its sound.
  export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv="
  shot=$PWD/build/main-window.bmp
  rm -f "$shot"
  echo "run: no display; running on a virtual one for $seconds s"
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    seconds=$1 shot=$2 demo=$3
    (cd "$demo" && exec wine t6utility.exe) &
    start=$SECONDS
    wine build/windows/tests/e2e/t6shot.exe "Z:$(echo "$shot" | tr / "\\\\")" $((seconds * 1000)) || true
    left=$((seconds - (SECONDS - start)))
    if [ "$left" -gt 0 ]; then sleep "$left"; fi
    wineserver -k
    wait' run "$seconds" "$shot" "$demo" || true
  if [ -f "$shot" ] && command -v convert >/dev/null; then
    convert "$shot" "${shot%.bmp}.png" && echo "run: the main window as PNG in ${shot%.bmp}.png"
  fi
fi
echo "run: the demo is in $demo; the simulator's trace is in $trace"
