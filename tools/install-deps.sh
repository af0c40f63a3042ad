#!/usr/bin/env bash
# Installs what building and testing Kestrune needs on Debian: the mingw-w64 cross compiler, Wine
# (64-bit with its 32-bit part), Xvfb, CMake and GoogleTest's sources. Installs only what is missing.
# Where the kernel runs 64-bit user code only, it also makes 32-bit Linux executables (the 32-bit
# half of Wine) run under qemu's user-mode emulator.
set -euo pipefail

packages=(cmake make python3 g++-mingw-w64-i686 wine wine64 wine32:i386 fonts-wine xvfb googletest imagemagick
          x11-utils zip)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

# Package mirrors are sometimes out of step (an index whose size does not match its release file
# while the mirror syncs). A failed update is tried once more; after that the indexes that could be
# read are used, and apt says which were not.
update_index() {
  $SUDO apt-get update -q && return 0
  echo "apt-get update failed; trying once more"
  $SUDO apt-get update -q && return 0
  echo "Some package indexes could not be read; going on with those that were read"
}

# Installs the packages named after the options. When that fails (the 32-bit libraries of a suite
# the mirror has not finished syncing lag behind the 64-bit ones, say), it tries again with the
# release's own versions preferred, or, when a release was named, once more after a fresh update.
install_packages() {
  local options=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
  shift
  $SUDO apt-get install -y -q --no-install-recommends "${options[@]}" "$@" && return 0
  if [ ${#options[@]} -eq 0 ] && [ -n "$codename" ]; then
    echo "Installing failed; trying again with the versions of $codename itself preferred (-t $codename)"
    $SUDO apt-get install -y -q --no-install-recommends -t "$codename" "$@"
  else
    echo "Installing failed; updating the package indexes and trying once more"
    update_index
    $SUDO apt-get install -y -q --no-install-recommends "${options[@]}" "$@"
  fi
}

missing=()
for pkg in "${packages[@]}"; do
  installed "$pkg" || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  update_index
  install_packages -- "${missing[@]}"
fi

# --- 32-bit executables -------------------------------------------------------------------------
# Kestrune is a 32-bit program, so Wine runs it with its 32-bit loader, a 32-bit Linux executable.
# Some virtual machines have no IA-32 emulation in their kernel ("Exec format error"); there the
# 32-bit loader runs under qemu-i386, registered with the kernel's binfmt_misc for i386 ELF files.
# qemu 8 or later is needed: older versions track guest memory page by page and take about a minute
# to start each Wine process.
runs_i386() {
  /lib/ld-linux.so.2 --version > /dev/null 2>&1
}
runs_i386 && exit 0

qemu=/usr/bin/qemu-i386-static
qemu_major() {
  [ -x "$qemu" ] || { echo 0; return; }
  "$qemu" --version | sed -n 's/.*version \([0-9]*\)\..*/\1/p' | head -n 1
}
if [ "$(qemu_major)" -lt 8 ]; then
  release=()
  if [ "$codename" = bookworm ]; then
    list=/etc/apt/sources.list.d/bookworm-backports.sources
    if [ ! -f "$list" ]; then
      printf '%s\n' "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: bookworm-backports" \
        "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" | $SUDO tee "$list" > /dev/null
    fi
    release=(-t bookworm-backports)
  fi
  echo "Installing qemu-user-static ${release[*]} (this kernel runs no 32-bit code itself)"
  update_index
  install_packages "${release[@]}" -- qemu-user-static
fi

binfmt=/proc/sys/fs/binfmt_misc
[ -e "$binfmt/register" ] || $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
# A registration made for another qemu binary (an older one, say) is replaced. With the F flag the
# kernel keeps the interpreter open, so the registration holds for every mount namespace.
[ -e "$binfmt/kestrune-i386" ] && echo -1 | $SUDO tee "$binfmt/kestrune-i386" > /dev/null
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":kestrune-i386:M::$magic:$mask:$qemu:F" | $SUDO tee "$binfmt/register" > /dev/null
runs_i386 || { echo "32-bit executables still do not run under $qemu"; exit 1; }
echo "32-bit executables run under $("$qemu" --version | head -n 1)"
