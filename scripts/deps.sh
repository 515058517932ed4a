#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any is missing.
set -eu
packages=(
  build-essential cmake
  googletest libgtest-dev libgmock-dev
  g++-mingw-w64-x86-64-posix
  wine xvfb xauth
  python3-pyftpdlib
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi
