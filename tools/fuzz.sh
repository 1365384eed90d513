#!/usr/bin/env bash
# tools/fuzz.sh NAME SECONDS [libFuzzer options...]
# Builds the libFuzzer target fuzz/fuzz_NAME.cpp with clang (the product's libraries
# instrumented for coverage, AddressSanitizer and UndefinedBehaviorSanitizer) into
# build-fuzz-NAME/, and runs it for SECONDS on one core, starting from the kept inputs in
# fuzz/corpus/NAME, with the dictionary fuzz/NAME.dict when there is one. New inputs
# collect in build-fuzz-NAME/corpus-NAME; what it finds
# (crash-*, leak-*, timeout-*, slow-unit-*) lands in build-fuzz-NAME/findings-NAME.
# Every target runs under a memory limit, so an input that makes it allocate without
# bound is a finding too.
# With VELMORA_FUZZ_KEEP=1 the run's corpus is merged, minimised, into fuzz/corpus/NAME
# afterwards (commit the new files; the tests replay them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if (($# < 2)); then
  echo "usage: tools/fuzz.sh NAME SECONDS [libFuzzer options...]" >&2
  exit 2
fi
name=$1
seconds=$2
shift 2
[[ -f "$root/fuzz/fuzz_$name.cpp" ]] || { echo "no fuzz target fuzz/fuzz_$name.cpp" >&2; exit 2; }

# clang and its runtime (libFuzzer) come from Debian; only this script needs them.
"$root/tools/deps.sh"
need=()
for package in clang libclang-rt-dev; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || need+=("$package")
done
if ((${#need[@]})); then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

build="$root/build-fuzz-$name"
CC=clang CXX=clang++ VELMORA_TARGETS="fuzz_$name" "$root/tools/build.sh" "$build" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF -DVELMORA_GUI=OFF

corpus="$build/corpus-$name"
findings="$build/findings-$name"
mkdir -p "$corpus" "$findings"
kept="$root/fuzz/corpus/$name"
mkdir -p "$kept"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
dictionary=()
[[ -f "$root/fuzz/$name.dict" ]] && dictionary=(-dict="$root/fuzz/$name.dict")
"$build/fuzz/fuzz_$name" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" "${dictionary[@]}" "$@" "$corpus" "$kept"

if [[ "${VELMORA_FUZZ_KEEP:-0}" == 1 ]]; then
  "$build/fuzz/fuzz_$name" -merge=1 -max_len=65536 "$kept" "$corpus"
fi
