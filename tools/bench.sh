#!/usr/bin/env bash
# tools/bench.sh [NAME...]: builds in Release and runs the benchmarks in bench/
# (all of them, or bench_NAME for each NAME given), printing `name: value unit` lines.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
"$root/tools/build.sh" "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF
export QT_QPA_PLATFORM=offscreen

names=("$@")
if ((${#names[@]} == 0)); then
  for program in "$root"/build-release/bench/bench_*; do
    [[ -x "$program" ]] && names+=("$(basename "$program" | sed 's/^bench_//')")
  done
fi
for name in "${names[@]}"; do
  program="$root/build-release/bench/bench_$name"
  [[ -x "$program" ]] || { echo "no benchmark named $name" >&2; exit 2; }
  echo "== $name"
  "$program"
done
