#!/usr/bin/env bash
# Creates the Wine prefix the Windows tests run in, once: prefixes created by several
# Wine starts at the same moment come out broken.
#   wine-prefix.sh PREFIX [PROGRAM.exe...]
# The programs named get windows that no window manager handles: under Xvfb none runs,
# and Wine waits 2 s for one whenever a managed window closes. The program itself stays
# managed, since scripts/run.sh shows it from the same prefix on a real desktop.
set -eu
prefix=${1:?usage: wine-prefix.sh PREFIX [PROGRAM.exe...]}
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if ! [ -f "$prefix/system.reg" ] || ! [ -d "$prefix/dosdevices" ]; then
  mkdir -p "$prefix"
  wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$prefix/system.reg" ] || { echo "wine-prefix: wineboot did not create $prefix" >&2; exit 1; }
  echo "wine-prefix: created $prefix"
fi

[ $# -gt 0 ] || exit 0
marker=$prefix/t6-unmanaged
[ "$(cat "$marker" 2>/dev/null)" != "$*" ] || exit 0
reg=$prefix/t6-unmanaged.reg
{
  echo REGEDIT4
  for program in "$@"; do
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s\\X11 Driver]\n"Managed"="N"\n' "$program"
  done
} >"$reg"
wine regedit /S "Z:$(printf '%s' "$reg" | tr / '\\')"
wineserver -w
echo "$*" >"$marker"
