#!/usr/bin/env bash
# The release packages as users get them. scripts/package.sh runs twice, into dist/ from
# build/package and again from another build folder, and both runs must give the same
# bytes. Then:
#   the zip: exactly its five files, SHA256SUMS matching, README.txt in CRLF lines, the
#     programs importing only DLLs every Windows has; unzipped alone into an empty folder
#     and started in a new Wine prefix of its own, against the simulator on that
#     prefix's COM7, it finds the device and writes settings.dat beside itself on closing;
#   the .deb: unpacked into a scratch root (the system is not touched), its dependencies
#     worked out, its t6tool --version and its t6tool probe against its own t6sim, its
#     man pages rendered without warnings, and lintian's errors when lintian is there.
# Needs the windows test build (for t6firststart.exe) and a display, or xvfb-run.
#   check-packages.sh [SCRATCH]    default build/package-check
set -u
cd "$(dirname "$0")/../.."
repo=$PWD
scratch=$(realpath -m "${1:-build/package-check}")
version=$(sed -n 's/^project(T6Programmer VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
zip_name=t6utility-$version-windows-x64.zip deb_name=t6tool_${version}_amd64.deb
first_start=$repo/build/windows/tests/package/t6firststart.exe
status=0
fail() { echo "package check: FAIL: $*" >&2; status=1; }
ok() { echo "package check: $*"; }

[ -x "$first_start" ] || { echo "package check: build the windows preset first ($first_start)" >&2; exit 1; }
# A prefix left by a run that was cut short: its wineserver goes first.
[ -d "$scratch/wine" ] && WINEPREFIX=$scratch/wine wineserver -k 2>/dev/null
rm -rf "$scratch/unzipped" "$scratch/root" "$scratch/wine" "$scratch/dist" "$scratch/port"
mkdir -p "$scratch/unzipped" "$scratch/root"

# Twice, in two build folders: paths of the build must not reach the bytes.
for run in "dist build/package" "$scratch/dist $scratch/build"; do
  # shellcheck disable=SC2086
  if ! bash scripts/package.sh $run >"$scratch/package.log" 2>&1; then
    tail -30 "$scratch/package.log"
    fail "scripts/package.sh $run failed"
    exit 1
  fi
done
for name in "$zip_name" "$deb_name"; do
  if cmp -s "dist/$name" "$scratch/dist/$name"; then
    ok "$name is the same from both builds: $(stat -c %s "dist/$name") bytes, sha256 $(sha256sum <"dist/$name" | cut -c1-64)"
  else
    fail "$name differs between two builds of the same commit (or is missing)"
  fi
done

# The zip.
unzipped=$scratch/unzipped
(cd "$unzipped" && cmake -E tar xf "$repo/dist/$zip_name") || fail "cannot unpack $zip_name"
listed=$(cd "$unzipped" && ls | tr '\n' ' ')
[ "$listed" = "README.txt SHA256SUMS t6linkcheck.exe t6tool.exe t6utility.exe " ] || fail "the zip holds: $listed"
(cd "$unzipped" && [ "$(cut -c67- SHA256SUMS | tr '\n' ' ')" = "t6linkcheck.exe t6tool.exe t6utility.exe " ] &&
  sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the programs"
grep -qv $'\r$' "$unzipped/README.txt" && fail "README.txt has lines that do not end in CR LF"
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll version.dll wininet.dll winmm.dll "
for program in "$unzipped"/*.exe; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
    [[ "$system_dlls" == *" $dll "* ]] || fail "$(basename "$program") imports $dll"
  done
done

# The unzipped program in a Wine prefix of its own, started from another folder.
prefix=$scratch/wine
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv="
bash scripts/wine-prefix.sh "$prefix" >/dev/null || fail "no Wine prefix"
dpkg-deb -x "dist/$deb_name" "$scratch/root" || fail "cannot unpack $deb_name"
# The wineserver's end is awaited while the simulator still serves (its pty's hang-up
# would make the server print its objects) and the display is still up.
run=(bash scripts/with-sim.sh "$scratch/root/usr/bin/t6sim" "$prefix" 7 "$scratch/sim-trace.txt" --
     bash -c 'wine "$@"; status=$?; wineserver -w; exit $status' run
     "$first_start" "Z:$(printf '%s' "$unzipped/t6utility.exe" | tr / '\\')")
if [ -n "${DISPLAY:-}" ]; then "${run[@]}"; else xvfb-run -a -s "-screen 0 1280x1024x24" "${run[@]}"; fi ||
  fail "the unzipped program did not find the simulated device on COM7 and close"
[ "$(stat -c %s "$unzipped/settings.dat" 2>/dev/null)" = 4432 ] || fail "no settings.dat beside the unzipped program"
rm -rf "$prefix"

# The .deb.
depends=$(dpkg-deb -f "dist/$deb_name" Depends)
[[ "$depends" == *libc6* && "$depends" == *libstdc++6* ]] || fail "the package depends on: $depends"
bin=$scratch/root/usr/bin
[ "$("$bin/t6tool" --version)" = "t6tool $version" ] || fail "t6tool --version says: $("$bin/t6tool" --version)"
"$bin/t6sim" --link "$scratch/port" >/dev/null &
sim=$!
for _ in $(seq 100); do [ -L "$scratch/port" ] && break; sleep 0.05; done
probe=$("$bin/t6tool" probe --port "$scratch/port" </dev/null)
[ "$(head -1 <<<"$probe")" = "Orrery Programmer v1.5.Z" ] || fail "t6tool probe says: $probe"
kill $sim
wait $sim 2>/dev/null
pages=0
for page in "$scratch"/root/usr/share/man/man1/*.1.gz; do
  pages=$((pages + 1))
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
[ $pages = 2 ] || fail "$pages man pages instead of t6tool(1) and t6sim(1)"
if command -v lintian >/dev/null; then
  if report=$(lintian --fail-on error "dist/$deb_name" 2>&1); then ok "lintian: no errors"; else fail "lintian reports errors"; fi
  grep -v "running with root privileges" <<<"$report"
else
  ok "lintian is not installed: skipped"
fi

[ $status = 0 ] && ok "all checks passed"
exit $status
