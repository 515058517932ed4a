#!/usr/bin/env bash
# Builds the benchmarks without sanitizers and prints their figures: whole-position
# transfers against the wire limit of a modelled line, and discovery times (POSIX here;
# the Windows figure is printed by the Wine discovery test); the native t6tool's 256 KB
# write behind an adapter that holds each reply back 4 or 16 ms; then, under Wine against
# the simulator (on a virtual display when there is none), the program's start-up at
# 921600 baud, and Write Selection and Verify Selection through the window next to
# t6tool.exe and the native t6tool at 921600 and 115200 baud.
#   bench.sh [native|adapters|wine]   one part only; all three without an argument
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
part=${1:-all}
case "$part" in
  all | native | adapters | wine) ;;
  *) echo "usage: bash scripts/bench.sh [native|adapters|wine]" >&2 && exit 2 ;;
esac
bash scripts/deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs" --target transfer_bench t6sim t6tool
[ "$part" = all ] || [ "$part" = native ] && build/bench/tests/bench/transfer_bench

# The 256 KB write as `t6tool write` runs it, from its erase's end to its write's end,
# against the wire limit: every frame's bytes at 10 bits a byte plus one turnaround. The
# simulator's turnaround stands for a USB-serial bridge's latency timer.
adapter_rows() {
  local dir=$PWD/build/bench/adapters
  rm -rf "$dir" && mkdir -p "$dir/run"
  # No blank block: all 1024 frames go out.
  /usr/bin/python3 -c 'import sys; sys.stdout.buffer.write(bytes((i * 7 + (i >> 8) + 1) & 255 for i in range(262144)))' \
    >"$dir/image.bin"
  echo
  echo "Native t6tool, 256 KB write behind an adapter that holds each reply back (one run each):"
  for baud in 921600 115200; do
    for us in 4000 16000; do
      index=7
      [ "$baud" = 921600 ] && index=0
      rm -f "$dir/port" "$dir/trace"
      build/bench/sim/t6sim --link "$dir/port" --trace "$dir/trace" --line-rate "$baud" --turnaround-us "$us" \
        --usb-baud-index "$index" >/dev/null &
      local sim=$!
      for _ in $(seq 100); do [ -e "$dir/port" ] && break; sleep 0.05; done
      bash scripts/timed-lines.sh "$dir/run" build/bench/cli/t6tool write 1 "$dir/image.bin" --port "$dir/port" --yes
      kill "$sim" && wait "$sim" || true
      frames=$(grep -c '^> 38 57' "$dir/trace" || true)
      awk -v baud="$baud" -v us="$us" -v frames="$frames" '
        / Erasing position 1\.\.\. OK$/ { start = $1 }
        / Writing data to position 1\.\.\. OK$/ { end = $1 }
        END {
          limit = frames * (264 * 10 / baud + us / 1e6)
          if (start == "" || end == "") { printf "  %6d baud, %2d ms turnaround: failed\n", baud, us / 1000; exit }
          s = (end - start) / 1000
          printf "  %6d baud, %2d ms turnaround, %d frames   %7.3f s   wire limit %7.3f s   ratio %.3f\n",
                 baud, us / 1000, frames, s, limit, limit / s
        }' "$dir/run/output"
    done
  done
}
[ "$part" = all ] || [ "$part" = adapters ] && adapter_rows
[ "$part" = all ] || [ "$part" = wine ] || exit 0

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
