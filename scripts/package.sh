#!/usr/bin/env bash
# Builds the two release packages into dist/:
#   t6utility-<version>-windows-x64.zip  the Windows programs, README.txt and SHA256SUMS
#   t6tool_<version>_amd64.deb           t6tool and t6sim for Debian and Ubuntu
# each from a release build (optimised, stripped, no sanitizers, no tests) in
# build/package/. Two runs from the same commit give the same bytes, in any build folder:
# every time inside comes from SOURCE_DATE_EPOCH, by default the commit's time.
#   package.sh [DIST [BUILD]]    other folders for the packages and the release builds
set -eu
dist=$(realpath -m "${1:-$(dirname "$0")/../dist}")
build=$(realpath -m "${2:-$(dirname "$0")/../build/package}")
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/deps.sh
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if ! SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null); then
    echo "package: not a git checkout: set SOURCE_DATE_EPOCH to the time the packages should carry" >&2
    exit 1
  fi
fi
export SOURCE_DATE_EPOCH

mkdir -p "$dist"
for platform in windows linux; do
  tree=$build/$platform
  cmake --preset "package-$platform" -B "$tree" >/dev/null
  cmake --build "$tree" -j "$jobs"
  rm -f "$tree"/*.zip "$tree"/*.deb
  (cd "$tree" && cpack >/dev/null)
  for made in "$tree"/*.zip "$tree"/*.deb; do
    [ -e "$made" ] || continue
    cp "$made" "$dist/"
    echo "package: $dist/$(basename "$made"), $(stat -c %s "$made") bytes"
  done
done
