#!/usr/bin/env bash
# Runs a command with a small, nearly full disk: a tmpfs of SIZE mounted at DIR, so a
# test can watch a write fail part-way for want of space. Unmounted when the command
# ends, however it ends. Needs root (as CI has).
#   with-small-disk.sh DIR SIZE -- COMMAND...
# The command sees T6_SMALL_DISK, the folder as a Windows path with its trailing separator.
set -u
dir=$1 size=$2
shift 2
[ "${1:-}" = "--" ] && shift

mkdir -p "$dir"
dir=$(realpath "$dir")
# A run that was killed may have left its disk behind.
mountpoint -q "$dir" && umount "$dir"
if ! mount -t tmpfs -o "size=$size" t6-small-disk "$dir"; then
  echo "with-small-disk: cannot mount a tmpfs at $dir (this needs root)" >&2
  exit 1
fi
trap 'umount "$dir"' EXIT

export T6_SMALL_DISK="Z:$(echo "$dir" | tr / '\\')\\"
"$@"
