#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and is
# not there yet. With everything present it only checks and returns.
set -euo pipefail

PACKAGES=(
  wine wine32:i386 wine64
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  xvfb xdotool x11-apps x11-utils imagemagick xauth
  fonts-wqy-zenhei
  iproute2 nftables procps python3 zip
  locales
  cmake g++ clang clang-format libclang-rt-14-dev
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
# A mirror caught mid-sync can fail one index (seen: the security suite's
# i386 list); the others still serve.
$SUDO apt-get update -qq || echo "setup: apt-get update reported errors; going on with the lists it has" >&2
install() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >&2
}
# Without one architecture's list of an update suite, amd64 and i386 copies
# of one library can have no version in common; the release's own versions
# always match.
install || install -t "$(. /etc/os-release && echo "$VERSION_CODENAME")"
