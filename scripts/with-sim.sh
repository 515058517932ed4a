#!/usr/bin/env bash
# Runs a command while the device simulator serves a COM port of a Wine prefix.
#   with-sim.sh SIM PREFIX COM TRACE [SIM OPTIONS...] -- COMMAND...
# The command sees T6_SIM_PORT (\\.\COMn) and T6_SIM_TRACE (the trace file as a Windows path).
set -u
sim=$1 prefix=$2 com=$3 trace=$4
shift 4
sim_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
[ $# -gt 0 ] && shift
if [ ! -x "$sim" ]; then
  echo "with-sim: no simulator at $sim (build the native preset first)" >&2
  exit 1
fi

link="$prefix/dosdevices/com$com"
mkdir -p "$prefix/dosdevices"
rm -f "$trace"
"$sim" --link "$link" --trace "$trace" "${sim_args[@]}" &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null' EXIT
for _ in $(seq 100); do
  [ -L "$link" ] && [ -f "$trace" ] && break
  kill -0 $sim_pid 2>/dev/null || { echo "with-sim: simulator did not start" >&2; exit 1; }
  sleep 0.05
done

export T6_SIM_PORT="\\\\.\\COM$com"
export T6_SIM_TRACE="Z:$(realpath "$trace" | tr / '\\')"
"$@"
