#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and is
# not there yet. With everything present it only checks and returns.
set -euo pipefail

PACKAGES=(
  wine wine32:i386 wine64
  g++-mingw-w64-i686-posix mingw-w64-tools
  xvfb xdotool x11-apps x11-utils imagemagick xauth
  fonts-wqy-zenhei
  iproute2 nftables procps python3 zip
  cmake g++ clang libclang-rt-14-dev
  libgtest-dev libbenchmark-dev
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
