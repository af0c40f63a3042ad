#!/usr/bin/env bash
# Configures and builds Kestrune and its tests into build/ (cross-compiled for 32-bit Windows).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mkdir -p "$root/build"
cmake -S "$root" -B "$root/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release > "$root/build/configure.log" 2>&1 || { cat "$root/build/configure.log"; exit 1; }
cmake --build "$root/build" -j"$(nproc)" "$@"
