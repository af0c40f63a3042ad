#!/usr/bin/env bash
# Installs what building and testing Kestrune needs on Debian: the mingw-w64 cross compiler, Wine
# (64-bit with its 32-bit part), Xvfb, CMake and GoogleTest's sources. Installs only what is missing.
set -euo pipefail

packages=(cmake make python3 g++-mingw-w64-i686 wine wine64 wine32:i386 xvfb googletest imagemagick x11-utils)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
