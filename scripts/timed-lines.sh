#!/bin/sh
# Runs a program for a benchmark under Wine, which can start a Linux program but can
# neither wait for it nor read its output: each line the program prints goes to DIR/output
# behind the time it arrived (milliseconds of the system clock), and DIR/done then holds
# its exit status.
#   timed-lines.sh DIR PROGRAM [ARGUMENTS...]
dir=$1
shift
rm -f "$dir/done" "$dir/status"
{
  "$@" </dev/null 2>"$dir/errors"
  echo $? >"$dir/status"
} | while IFS= read -r line; do
  printf '%s %s\n' "$(date +%s%3N)" "$line"
done >"$dir/output"
mv "$dir/status" "$dir/done"
