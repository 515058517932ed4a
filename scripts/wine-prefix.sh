#!/usr/bin/env bash
# Creates the Wine prefix the Windows tests run in, once: prefixes created by several
# Wine starts at the same moment come out broken.
set -eu
prefix=${1:?usage: wine-prefix.sh PREFIX}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$prefix/system.reg" ] && [ -d "$prefix/dosdevices" ]; then
  exit 0
fi
mkdir -p "$prefix"
wine wineboot -i >/dev/null 2>&1 || true
wineserver -w
[ -f "$prefix/system.reg" ] || { echo "wine-prefix: wineboot did not create $prefix" >&2; exit 1; }
echo "wine-prefix: created $prefix"
