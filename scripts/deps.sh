#!/usr/bin/env bash
# Installs what building and testing Netbeacon needs on Debian 12, if it is missing.
# Usage: deps.sh [more packages]
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in cmake ninja-build g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
           googletest wine wine64 fonts-wine xvfb xauth imagemagick openbox clang libclang-rt-dev \
           python3 python3-aiosmtpd python3-cryptography swaks libnet-ssleay-perl libio-socket-ssl-perl bc iproute2 "$@"; do
  have "$pkg" || need+=("$pkg")
done
if ((${#need[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${need[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
