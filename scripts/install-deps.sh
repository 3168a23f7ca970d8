#!/usr/bin/env bash
# Installs what building and testing need, from Debian's archive. Safe to run again: it does
# nothing when everything is present.
set -euo pipefail

PACKAGES=(
  wine wine32:i386 wine64 fonts-wine xvfb xdotool imagemagick
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  cmake make g++ googletest python3 clang-format
  nsis clang-14 libclang-rt-14-dev
)

installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

missing=()
for pkg in "${PACKAGES[@]}"; do
  installed "$pkg" || missing+=("$pkg")
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_i386=1
else
  need_i386=0
fi
if [ "${#missing[@]}" -eq 0 ] && [ "$need_i386" -eq 0 ]; then
  echo "[veilswitcher] all packages present" >&2
  exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "[veilswitcher] need root (or sudo) to install: ${missing[*]}" >&2
    exit 1
  fi
  SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
echo "[veilswitcher] installing: ${missing[*]}" >&2
if [ "$need_i386" -eq 1 ]; then
  "${SUDO[@]}" dpkg --add-architecture i386
fi
"${SUDO[@]}" apt-get update -q </dev/null
"${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
