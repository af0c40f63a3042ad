#!/usr/bin/env bash
# Builds the release: Kestrune.exe twice, from two copies of the sources in two fresh folders of
# different names, stops when the two programs differ in a single byte, and then writes
# build/release/Kestrune-<version>.zip with the program, the README and a SHA256SUMS file.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/install-deps.sh"

# The version is the program's own version constant.
version=$(sed -n 's/.*KESTRUNE_VERSION = L"\([^"]*\)".*/\1/p' "$root/app/platform_values.cpp")
[ -n "$version" ] || { echo "No version constant found in app/platform_values.cpp"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One snapshot of the sources: the files git knows (committed or not, ignored ones left out), as
# they are in the work tree when the release starts.
snapshot="$work/sources.tar"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | tar -cf "$snapshot" --null --no-recursion -T -)

build_copy() {
  local src="$1"
  mkdir -p "$src"
  tar -xf "$snapshot" -C "$src"
  cmake -S "$src" -B "$src/build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_TESTS=OFF > "$src/configure.log" 2>&1 ||
    { cat "$src/configure.log"; exit 1; }
  cmake --build "$src/build" --target Kestrune -j"$(nproc)" > "$src/build.log" 2>&1 ||
    { tail -40 "$src/build.log"; exit 1; }
}

echo "Building Kestrune $version in two folders"
first="$work/a"
second="$work/second-tree/kestrune-$version"
build_copy "$first"
build_copy "$second"
if ! cmp "$first/build/Kestrune.exe" "$second/build/Kestrune.exe"; then
  echo "The two builds of Kestrune.exe differ: the build is not reproducible"
  exit 1
fi

out="$root/build/release"
stage="$work/stage"
mkdir -p "$out" "$stage"
cp "$first/build/Kestrune.exe" "$first/README.md" "$stage/"
(cd "$stage" && sha256sum Kestrune.exe README.md > SHA256SUMS)
# Entries in a fixed order with a fixed time, so that the archive is the same for the same files.
touch -d "1980-01-01 12:00:00 UTC" "$stage"/*
zip="$out/Kestrune-$version.zip"
rm -f "$zip"
(cd "$stage" && TZ=UTC zip -X -q "$zip" Kestrune.exe README.md SHA256SUMS)
cat "$stage/SHA256SUMS"
echo "Wrote $zip"
