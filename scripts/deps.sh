#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any is missing. lintian,
# which checks the Debian package, is wanted but not needed: the check skips it where it
# cannot be installed.
set -eu
packages=(
  build-essential cmake
  googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64-posix
  wine xvfb xauth
  python3-pyftpdlib
  dpkg-dev man-db
)
wanted=(lintian)
missing() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t needed < <(missing "${packages[@]}")
mapfile -t optional < <(missing "${wanted[@]}")
[ ${#needed[@]} -gt 0 ] || [ ${#optional[@]} -gt 0 ] || exit 0

sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
if [ ${#needed[@]} -gt 0 ]; then
  echo "deps: installing ${needed[*]}"
  $sudo apt-get install -y -qq --no-install-recommends "${needed[@]}" </dev/null
fi
if [ ${#optional[@]} -gt 0 ]; then
  echo "deps: installing ${optional[*]}"
  $sudo apt-get install -y -qq --no-install-recommends "${optional[@]}" </dev/null ||
    echo "deps: ${optional[*]} could not be installed; the checks that use it are skipped"
fi
