#!/usr/bin/env bash
# Runs a command while two anonymous, read-only FTP servers on port 21 serve ROOT (made
# empty first): pyftpdlib as it comes on 127.0.0.1, and scripts/slow-ftp.py, whose greeting
# comes 5 s late, on 127.0.0.2. Both are stopped when the command ends, however it ends.
#   with-ftp.sh ROOT -- COMMAND...
# The command sees T6_UPDATE_HOST (127.0.0.1), T6_SLOW_UPDATE_HOST (127.0.0.2), and, as
# Windows paths, T6_UPDATE_ROOT (the served folder) and T6_SLOW_FTP_LOG (the slow server's
# commands, one a line). The servers' own output goes to ROOT.log.
set -u
# Port 21 is the machine's: a second run (another build tree's tests) waits for the first.
exec 9>"${TMPDIR:-/tmp}/t6-with-ftp.lock"
flock 9
root=$1
shift
[ "${1:-}" = "--" ] && shift
python=/usr/bin/python3  # Debian's, which has pyftpdlib
if ! "$python" -c 'import pyftpdlib' 2>/dev/null; then
  echo "with-ftp: no pyftpdlib for $python (scripts/deps.sh installs python3-pyftpdlib)" >&2
  exit 1
fi

rm -rf "$root"
mkdir -p "$root"
root=$(realpath "$root")
slow_log=$root.slow-commands
rm -f "$slow_log" "$root.log"

pids=()
stop_servers() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
}
trap stop_servers EXIT
"$python" -m pyftpdlib -i 127.0.0.1 -p 21 -d "$root" >>"$root.log" 2>&1 &
pids+=($!)
"$python" "$(dirname "$0")/slow-ftp.py" 127.0.0.2 "$root" 5 "$slow_log" >>"$root.log" 2>&1 &
pids+=($!)

# pyftpdlib listens once it takes a connection; the slow server, which would note one,
# says so by creating its log.
for _ in $(seq 100); do
  (exec 3<>/dev/tcp/127.0.0.1/21) 2>/dev/null && [ -f "$slow_log" ] && break
  for pid in "${pids[@]}"; do
    kill -0 "$pid" 2>/dev/null || { echo "with-ftp: a server did not start:" >&2; cat "$root.log" >&2; exit 1; }
  done
  sleep 0.05
done
if ! (exec 3<>/dev/tcp/127.0.0.1/21) 2>/dev/null || [ ! -f "$slow_log" ]; then
  echo "with-ftp: the servers do not listen on port 21" >&2
  exit 1
fi

windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }
export T6_UPDATE_HOST=127.0.0.1 T6_SLOW_UPDATE_HOST=127.0.0.2
export T6_UPDATE_ROOT=$(windows_path "$root") T6_SLOW_FTP_LOG=$(windows_path "$slow_log")
"$@"
