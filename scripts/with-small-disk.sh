#!/usr/bin/env bash
# Runs a command with a small, nearly full disk: a tmpfs of SIZE mounted at DIR, so a
# test can watch a write fail part-way for want of space. Unmounted when the command
# ends, however it ends. Needs root (as CI has).
#   with-small-disk.sh DIR SIZE -- COMMAND...
# The command sees T6_SMALL_DISK, the folder as a Windows path with its trailing separator.
# Where no tmpfs can be mounted (no root, or a container without the right), the command
# runs without T6_SMALL_DISK and the tests that need the disk skip themselves.
set -u
dir=$1 size=$2
shift 2
[ "${1:-}" = "--" ] && shift

mkdir -p "$dir"
dir=$(realpath "$dir")
# A run that was killed may have left its disk behind.
mountpoint -q "$dir" && umount "$dir"
if ! mount -t tmpfs -o "size=$size" t6-small-disk "$dir" 2>/dev/null; then
  echo "with-small-disk: cannot mount a tmpfs at $dir; running without a small disk" >&2
  exec "$@"
fi
trap 'umount "$dir"' EXIT

export T6_SMALL_DISK="Z:$(echo "$dir" | tr / '\\')\\"
"$@"
