#!/usr/bin/env bash
# Installs what is missing, builds Velmora three times (plain, with AddressSanitizer +
# UndefinedBehaviorSanitizer, and for Windows with mingw-w64) and runs every test
# through CTest in each (the Windows one under Wine); the plain build's Debian package
# is installed and tried in a minimal Debian 12 (tools/test-package.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Each stage's wall time, printed at the end however the run ends.
stages=()
stage_started=$SECONDS
stage() {
  local now=$SECONDS
  ((${#stages[@]} == 0)) || stages[-1]+=" $((now - stage_started))"
  stage_started=$now
  stages+=("$1")
  echo "== $1"
}
print_stages() {
  local status=$1
  ((${#stages[@]} == 0)) || stages[-1]+=" $((SECONDS - stage_started))"
  echo "== stage times (seconds)"
  local line
  for line in "${stages[@]}"; do printf '%6s  %s\n' "${line##* }" "${line% *}"; done
  printf '%6s  %s\n' "$SECONDS" "in all"
  return "$status"
}

# The Windows build runs beside the others at the lowest priority, so it takes only the
# time they leave idle (configure scripts, links, waits in the tests, debootstrap's downloads).
windows_log=$root/build-windows.log
windows_build=""
finish() {
  local status=$?
  [[ -z $windows_build ]] || kill -- "-$windows_build" 2>/dev/null || true
  print_stages "$status"
}
trap finish EXIT

stage "packages: what is missing, installed"
"$root/tools/deps.sh"
"$root/tools/test-windows.sh" --packages

# In a process group of its own, which the exit trap ends if this script stops first.
setsid nice -n 19 bash -c 'SECONDS=0; "$0" --build "$1" && echo "== the Windows build took $SECONDS s in the background"' \
  "$root/tools/test-windows.sh" "$root/build-windows" >"$windows_log" 2>&1 &
windows_build=$!

# Line tables are all a failing test's backtrace needs; full debug information would
# double the objects and the links.
stage "build: plain"
"$root/tools/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
stage "tests: plain"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs" --timeout 300

stage "build: address + undefined-behaviour sanitizers"
"$root/tools/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"
stage "tests: sanitizers"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" --timeout 600
stage "package: the plain build's Debian package installed into a minimal Debian 12"
"$root/tools/test-package.sh" --build-dir "$root/build"
stage "build: Windows (mingw-w64), waiting for the rest of it"
pid=$windows_build
windows_build=""
if ! wait "$pid"; then
  cat "$windows_log"
  echo "the Windows build failed (its output above, and in $windows_log)" >&2
  exit 1
fi
tail -n 1 "$windows_log"
stage "tests: Windows (Wine)"
"$root/tools/test-windows.sh" --tests "$root/build-windows"
