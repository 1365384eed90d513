#!/usr/bin/env bash
# tools/bench.sh [NAME...]: builds in Release and runs the benchmarks in bench/
# (all of them, or bench_NAME for each NAME given), printing `name: value unit` lines,
# then each figure that has a target beside that target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
# The reference programs the benchmarks measure against.
"$root/tools/deps.sh" feh
"$root/tools/build.sh" "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF
export QT_QPA_PLATFORM=offscreen

names=("$@")
if ((${#names[@]} == 0)); then
  for program in "$root"/build-release/bench/bench_*; do
    [[ -x "$program" ]] && names+=("$(basename "$program" | sed 's/^bench_//')")
  done
fi
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for name in "${names[@]}"; do
  program="$root/build-release/bench/bench_$name"
  [[ -x "$program" ]] || { echo "no benchmark named $name" >&2; exit 2; }
  echo "== $name"
  "$program" | tee -a "$output"
done

# Targets: figure, comparison, limit (ratios are against floors measured in the same run).
echo "== targets"
awk '
  BEGIN {
    target["next_cold_ratio"] = 0.35; target["next_warm_ms"] = 16; target["next_gray_ratio"] = 1.2
    target["first_picture_ratio"] = 1.0; target["walk_peak_mb"] = 40; target["create_ratio"] = 1.10
    target["walk_peak_mb_dpr2"] = 55; target["held_key_p90_ratio"] = 1.0; target["launch_ratio"] = 1.1
    target["add_bmp_ratio"] = 1.20; target["open_ratio"] = 2; target["filter_ratio"] = 2; target["rss_100k_mb"] = 20
    target["long_tail_peak_ratio"] = 5; target["long_tail_ratio"] = 2; target["duplicate_look_kept_ratio"] = 0.05
    target["wallpaper_change_ratio"] = 1.2
    target["thumbs_first_screen_cold_ratio"] = 1.2; target["thumbs_first_screen_cold_ms"] = 600
    target["thumbs_first_screen_kept_ms"] = 30; target["thumbs_open_100k_ratio"] = 1.5
    target["thumbs_scroll_frame_p99_ms"] = 16; target["thumbs_scroll_frame_p99_ms_dpr2"] = 16
    target["thumbs_peak_mb_above_main"] = 60; target["thumbs_peak_mb_above_main_dpr2"] = 60
    target["server_add_ratio_socket"] = 1.3; target["server_add_ratio_tcp"] = 1.3; target["copy_collection_ratio"] = 1.5
    target["server_open_100k_ratio_socket"] = 1.5; target["server_open_100k_ratio_tcp"] = 1.5
    target["server_next_cold_ratio_socket"] = 1.3; target["server_next_cold_ratio_tcp"] = 1.3
    target["server_next_warm_ms_socket"] = 16; target["server_next_warm_ms_tcp"] = 16
    # Limits that are another figure of the same run, printed before them.
    versus["wallpaper_change_peak_mb"] = "feh_peak_mb"
  }
  {
    name = $1; sub(/:$/, "", name)
    value[name] = $2
    if (name in versus && versus[name] in value) limit = value[versus[name]] + 0
    else if (name in target) limit = target[name]
    else next
    printf "%s: %s %s (target <= %s: %s)\n", name, $2, $3, limit, ($2 + 0 <= limit ? "met" : "missed")
  }' "$output"
