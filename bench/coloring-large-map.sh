#!/usr/bin/env bash
# Colours a large generated Voronoi map with `orbalis run` and converts the
# same map with `orbalis convert`, in one run, and prints the median times,
# the ratio of the two and the peak memory of each as Markdown table rows.
#
#   ORBALIS_BIN=build/release/tools/orbalis bench/coloring-large-map.sh
#
# Environment
#   ORBALIS_BIN   the orbalis command line (required; a release build)
#   VORONOI_BIN   the map generator (default: MakeVoronoiMap in the bench
#                 folder of ORBALIS_BIN's build)
#   BENCH_CELLS   cells of the map (default 200000)
#   BENCH_SEED    the generator's seed (default 7)
#   BENCH_OUT     where the map and the outputs go (default .cache/bench)
#   BENCH_RUNS    rounds of one convert and one colouring each (default 3)
#
# Both commands read the SVG and write SVG; wall and CPU times (user plus
# system) and the largest resident set come from /usr/bin/time -v. The
# convert and the colouring take turns, so that both meet the same load;
# the times are the medians of the rounds, the memory the largest. The load
# average is printed beside them: on a shared machine the CPU times are the
# steadier figures.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
cells=${BENCH_CELLS:-200000}
seed=${BENCH_SEED:-7}
out_dir=${BENCH_OUT:-$repo/.cache/bench}
time_bin=/usr/bin/time

die() {
  echo "coloring-large-map.sh: $*" >&2
  exit 1
}

[[ -n ${ORBALIS_BIN:-} && -x ${ORBALIS_BIN:-} ]] || die "set ORBALIS_BIN to the orbalis program of a release build"
voronoi_bin=${VORONOI_BIN:-$(dirname "$(dirname "$ORBALIS_BIN")")/tools/MakeVoronoiMap}
[[ -x $voronoi_bin ]] || die "the Voronoi generator ($voronoi_bin) is not built; set VORONOI_BIN"
[[ -x $time_bin ]] || die "$time_bin is missing; install the Debian package \"time\""
[[ $cells =~ ^[1-9][0-9]*$ ]] || die "BENCH_CELLS must be a positive whole number, got \"$cells\""
runs=${BENCH_RUNS:-3}
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "BENCH_RUNS must be a positive whole number, got \"$runs\""
mkdir -p "$out_dir"

map=$out_dir/voronoi-$cells-$seed.svg
[[ -s $map ]] || "$voronoi_bin" "$cells" "$seed" "$map" "$out_dir/voronoi-$cells-$seed.geojson" >&2 ||
  die "the Voronoi generator failed"

# measure NAME COMMAND...: sets wall, cpu (seconds) and mib (peak RSS).
measure() {
  local name=$1 report=$out_dir/$1.time
  shift
  "$time_bin" -v -o "$report" "$@" >"$out_dir/$name.log" 2>&1 ||
    die "$name failed: $(tail -n 3 "$out_dir/$name.log")"
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0
    for (j = 1; j <= n; j++) s = s * 60 + p[j]; print s }' "$report")
  cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { print s }' "$report")
  mib=$(awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$report")
}

# median VALUES...: the middle value (the lower of the two middle ones).
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# largest VALUES...
largest() { printf '%s\n' "$@" | sort -g | tail -n 1; }

load=$(cut -d' ' -f1-3 /proc/loadavg)
convert_walls=() convert_cpus=() convert_mibs=() walls=() cpus=() mibs=()
for ((round = 1; round <= runs; round++)); do
  measure convert "$ORBALIS_BIN" convert "$map" "$out_dir/converted.svg"
  convert_walls+=("$wall") convert_cpus+=("$cpu") convert_mibs+=("$mib")
  measure coloring "$ORBALIS_BIN" run "$map" --menu ポリゴン色分け --answer yes --answer no --answer no \
    --stats --prefs "$out_dir/preferences.json" --out "$out_dir/coloured.svg"
  grep -q '^alert: 終了' "$out_dir/coloring.log" || die "the colouring did not finish: $(tail -n 3 "$out_dir/coloring.log")"
  walls+=("$wall") cpus+=("$cpu") mibs+=("$mib")
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
convert_wall=$(median "${convert_walls[@]}") convert_cpu=$(median "${convert_cpus[@]}")
convert_mib=$(largest "${convert_mibs[@]}")
wall=$(median "${walls[@]}") cpu=$(median "${cpus[@]}") mib=$(largest "${mibs[@]}")

echo "load average before the runs: $load; after: $load_after"
echo "CPU s of each round: convert ${convert_cpus[*]}; colouring ${cpus[*]}"
echo "| command | cells | runs | wall s (median) | CPU s (median) | peak RSS MiB |"
echo "| --- | --- | --- | --- | --- | --- |"
echo "| orbalis convert | $cells | $runs | $convert_wall | $convert_cpu | $convert_mib |"
echo "| orbalis run ポリゴン色分け | $cells | $runs | $wall | $cpu | $mib |"
awk -v w="$wall" -v cw="$convert_wall" -v c="$cpu" -v cc="$convert_cpu" \
  'BEGIN { printf "colouring / convert: %.2fx wall, %.2fx CPU\n", w / cw, c / cc }'
