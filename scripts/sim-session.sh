#!/bin/sh
# Runs the device simulator for a Windows test program under Wine, which can start a
# Linux program but can neither signal it, wait for it nor share a pipe with it: all goes
# through files in a session folder. The simulator's output goes to DIR/output; creating
# DIR/stop stops it (it saves its memory on the way out); DIR/stopped then holds its exit
# status. Creating DIR/save makes it save its memory while it goes on serving (it prints
# "t6sim: memory saved" once done). A session nobody stops ends by itself after
# MAX_SECONDS (default 600).
#   sim-session.sh DIR SIM [SIM OPTIONS...]
dir=$1
shift
rm -f "$dir/stop" "$dir/stopped" "$dir/save"
"$@" >"$dir/output" 2>&1 </dev/null &
pid=$!
ticks=$(( ${MAX_SECONDS:-600} * 20 ))
while [ ! -e "$dir/stop" ] && [ "$ticks" -gt 0 ] && kill -0 "$pid" 2>/dev/null; do
  if [ -e "$dir/save" ]; then
    rm -f "$dir/save"
    kill -USR1 "$pid" 2>/dev/null
  fi
  sleep 0.05
  ticks=$((ticks - 1))
done
kill -TERM "$pid" 2>/dev/null
wait "$pid"
echo $? >"$dir/stopped"
