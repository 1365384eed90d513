#!/usr/bin/env bash
# Installs what is missing, builds Velmora three times (plain, with AddressSanitizer +
# UndefinedBehaviorSanitizer, and for Windows with mingw-w64) and runs every test
# through CTest in each (the Windows one under Wine); the plain build's Debian package
# is installed and tried in a minimal Debian 12 (tools/test-package.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== build: plain"
"$root/tools/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== tests: plain"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs" --timeout 300

echo "== build: address + undefined-behaviour sanitizers"
"$root/tools/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
echo "== tests: sanitizers"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" --timeout 600
echo "== package: the plain build's Debian package installed into a minimal Debian 12"
"$root/tools/test-package.sh" --build-dir "$root/build"
echo "== build and tests: Windows (mingw-w64, Wine)"
"$root/tools/test-windows.sh"
