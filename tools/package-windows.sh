#!/usr/bin/env bash
# tools/package-windows.sh [DIR]: builds velmora.exe (see tools/test-windows.sh for
# the build folder DIR) and packs it with the README into DIR/velmora-<version>-windows-x64.zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(mkdir -p "${1:-$root/build-windows}" && cd "${1:-$root/build-windows}" && pwd)

"$root/tools/windows-deps.sh" "$dir/deps"
VELMORA_TARGETS=velmora "$root/tools/build.sh" "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DVELMORA_WINDOWS_DEPS="$dir/deps" -DCMAKE_BUILD_TYPE=Release
version=$(sed -n 's/^VELMORA_CONSOLE_VERSION:INTERNAL=//p' "$dir/CMakeCache.txt")
name=velmora-${version}-windows-x64
stage=$dir/package/$name
rm -rf "$dir/package"
mkdir -p "$stage"
cp "$dir/win32_window/velmora.exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/velmora.exe"
cp "$root/README.md" "$stage/README.md"
(cd "$dir/package" && cmake -E tar cf "$dir/$name.zip" --format=zip "$name")
echo "$dir/$name.zip"
