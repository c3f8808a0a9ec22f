#!/usr/bin/env bash
# Times Orbalis's polygon colouring against mapshaper's non-adjacent colouring
# on the US counties map and on generated Voronoi maps, checks every result
# against the adjacency oracle, and prints the figures as Markdown table rows.
#
#   bench/coloring-vs-mapshaper.sh
#
# Environment
#   ORBALIS_BIN        the orbalis command line; when it is unset or its run
#                      fails, only mapshaper is reported
#   VORONOI_BIN        the Voronoi map generator (default: MakeVoronoiMap beside
#                      ORBALIS_BIN)
#   BENCH_MAPS         the maps (default: counties voronoi-3000 voronoi-12000
#                      voronoi-50000; voronoi-N is N cells)
#   BENCH_RUNS         runs per command; the median wall time is reported (default 3)
#   MAPSHAPER_COLORS   the colours mapshaper may use (default: five)
#   BENCH_OUT          where outputs go (default .cache/bench)
#   ORBALIS_NPM_CACHE  as for examples/maps/make-maps.sh
#
# Both tools read the same map. Counties: mapshaper the topology
# examples/counties.svg was drawn from, Orbalis the SVG itself. Voronoi maps:
# the generator writes the same cells as GeoJSON for mapshaper and as SVG for
# Orbalis. Both write SVG. Wall times include starting the program (node for
# mapshaper); peak memory is the maximum resident set size reported by
# /usr/bin/time -v.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
npm_cache=${ORBALIS_NPM_CACHE:-$repo/.cache/npm}
out_dir=${BENCH_OUT:-$repo/.cache/bench}
runs=${BENCH_RUNS:-3}
maps=${BENCH_MAPS:-counties voronoi-3000 voronoi-12000 voronoi-50000}
mapshaper_colors=${MAPSHAPER_COLORS:-#e41a1c,#377eb8,#4daf4a,#984ea3,#ff7f00}
oracle_dir=$repo/bench/adjacency
counties_svg=$repo/examples/counties.svg
counties_topology=$repo/examples/maps/data/counties.topo.json
time_bin=/usr/bin/time

die() {
  echo "coloring-vs-mapshaper.sh: $*" >&2
  exit 1
}

[[ $runs =~ ^[1-9][0-9]*$ ]] || die "BENCH_RUNS must be a positive whole number, got \"$runs\""

ensure_time() {
  [[ -x $time_bin ]] && return
  if [[ $(id -u) == 0 ]] && command -v apt-get >/dev/null; then
    echo "installing GNU time" >&2
    apt-get install -y -q time >&2 || die "could not install the Debian package \"time\""
  else
    die "$time_bin is missing; install the Debian package \"time\""
  fi
}

ensure_inputs() {
  if [[ ! -x $npm_cache/node_modules/.bin/mapshaper ]]; then
    "$repo/examples/maps/make-maps.sh" --tools || die "mapshaper could not be installed"
  fi
  if [[ ! -d $oracle_dir/node_modules/topojson-client ]]; then
    (cd "$oracle_dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >&2) ||
      die "npm ci failed in $oracle_dir"
  fi
}

# median: the middle one of the numbers on standard input.
median() {
  sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# measure NAME COMMAND...: runs the command $runs times and sets
# measured_seconds (median wall time), measured_cpu (median user + system
# time) and measured_kib (largest peak RSS).
measure() {
  local name=$1 i
  shift
  local seconds=() cpu=() kib=0 report=$out_dir/$name.time
  for ((i = 0; i < runs; i++)); do
    if ! "$time_bin" -v -o "$report" "$@" >"$out_dir/$name.log" 2>&1; then
      echo "$name failed; its output:" >&2
      tail -n 5 "$out_dir/$name.log" >&2
      return 1
    fi
    seconds+=("$(awk -F': ' '/Elapsed \(wall clock\)/ {
      n = split($2, part, ":"); s = 0
      for (j = 1; j <= n; j++) s = s * 60 + part[j]
      print s }' "$report")")
    cpu+=("$(awk -F': ' '/User time|System time/ { s += $2 } END { print s }' "$report")")
    local rss
    rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$report")
    ((rss > kib)) && kib=$rss
  done
  measured_seconds=$(printf '%s\n' "${seconds[@]}" | median)
  measured_cpu=$(printf '%s\n' "${cpu[@]}" | median)
  measured_kib=$kib
}

# check NAME SVG PAIRS: sets checked_colours and checked_conflicts from the checker.
check() {
  local name=$1 svg=$2 pairs=$3 summary
  summary=$(node "$oracle_dir/check-coloring.mjs" "$svg" "$pairs" 2>"$out_dir/$name.check") || true
  [[ -n $summary ]] || die "the colouring checker could not read $svg: $(head -n 1 "$out_dir/$name.check")"
  checked_conflicts=$(sed -E 's/^[0-9]+ pairs checked, ([0-9]+) conflicts.*/\1/' <<<"$summary")
  checked_colours=$(sed -E 's/.*, ([0-9]+) colours\)$/\1/' <<<"$summary")
  if [[ $summary == *missing* ]]; then
    checked_conflicts="$checked_conflicts (+ $(sed -E 's/.*, ([0-9]+) shapes missing.*/\1/' <<<"$summary") shapes missing)"
  fi
}

row() {
  local tool=$1 colours=$2 conflicts=$3 unites=${4:--}
  printf '| %s | %s | %s | %d | %.2f | %.2f | %.1f | %s | %s | %s |\n' \
    "$tool" "$map" "$path_count" "$runs" "$measured_seconds" "$measured_cpu" "$(awk -v k="$measured_kib" 'BEGIN { print k / 1024 }')" \
    "$colours" "$conflicts" "$unites"
}

# prepare_map MAP: sets svg (Orbalis's input), read_input (mapshaper's input
# options), pairs (the oracle's pairs) and path_count.
prepare_map() {
  local cells
  case $map in
  counties)
    svg=$counties_svg
    # mapshaper's -classify stops with an error on features without a shape
    # (three counties have none), so those are filtered out first; they draw nothing.
    read_input=(-i "$counties_topology" -target counties -filter remove-empty)
    pairs=$out_dir/counties.pairs.json
    node "$oracle_dir/oracle.mjs" "$counties_topology" counties --out "$pairs" 2>"$out_dir/oracle.log" ||
      die "the adjacency oracle failed: $(head -n 1 "$out_dir/oracle.log")"
    ;;
  voronoi-*)
    cells=${map#voronoi-}
    [[ $cells =~ ^[1-9][0-9]*$ ]] || die "unknown map \"$map\""
    [[ -x $voronoi_bin ]] || die "the Voronoi generator ($voronoi_bin) is not built; set VORONOI_BIN"
    svg=$out_dir/$map.svg
    "$voronoi_bin" "$cells" 1 "$svg" "$out_dir/$map.geojson" 2>"$out_dir/$map.make.log" ||
      die "the Voronoi generator failed: $(cat "$out_dir/$map.make.log")"
    read_input=(-i "$out_dir/$map.geojson" -rename-layers cells)
    "$mapshaper" -quiet "${read_input[@]}" -o "$out_dir/$map.topo.json" format=topojson ||
      die "mapshaper could not convert $map to TopoJSON"
    pairs=$out_dir/$map.pairs.json
    node "$oracle_dir/oracle.mjs" "$out_dir/$map.topo.json" cells --out "$pairs" 2>"$out_dir/oracle.log" ||
      die "the adjacency oracle failed: $(head -n 1 "$out_dir/oracle.log")"
    ;;
  *) die "unknown map \"$map\"" ;;
  esac
  echo "$map oracle: $(cat "$out_dir/oracle.log")" >&2
  path_count=$(grep -c '<path ' "$svg")
}

# bench_map MAP: adds the map's rows and its time ratio.
bench_map() {
  local svg pairs read_input=()
  prepare_map
  local write_svg=(format=svg id-field=FID)

  measure "$map-mapshaper-io" "$mapshaper" -quiet "${read_input[@]}" -o "$out_dir/$map-mapshaper-io.svg" "${write_svg[@]}" ||
    die "mapshaper failed"
  rows+=("$(row 'mapshaper 0.7.70, read + write only' - -)")

  measure "$map-mapshaper" "$mapshaper" -quiet "${read_input[@]}" \
    -classify non-adjacent colors="$mapshaper_colors" \
    -o "$out_dir/$map-mapshaper.svg" "${write_svg[@]}" || die "mapshaper -classify failed"
  local mapshaper_seconds=$measured_seconds mapshaper_cpu=$measured_cpu
  check "$map-mapshaper" "$out_dir/$map-mapshaper.svg" "$pairs"
  rows+=("$(row 'mapshaper 0.7.70, -classify non-adjacent' "$checked_colours" "$checked_conflicts")")

  if [[ -z ${ORBALIS_BIN:-} ]]; then
    echo "ORBALIS_BIN is not set: reporting mapshaper only" >&2
  elif [[ ! -x $ORBALIS_BIN ]]; then
    echo "ORBALIS_BIN ($ORBALIS_BIN) is not an executable file: reporting mapshaper only" >&2
  elif measure "$map-orbalis" "$ORBALIS_BIN" run "$svg" --menu ポリゴン色分け \
    --answer yes --answer no --answer no --stats --prefs "$out_dir/preferences.json" \
    --out "$out_dir/$map-orbalis.svg"; then
    # More than 1,000 shapes touch: the answers go on past both warnings.
    check "$map-orbalis" "$out_dir/$map-orbalis.svg" "$pairs"
    local unites
    unites=$(awk '$2 == "DoUniteEffect" { print $3 }' "$out_dir/$map-orbalis.log")
    rows+=("$(row 'Orbalis ポリゴン色分け' "$checked_colours" "$checked_conflicts" "${unites:-?}")")
    ratios+=("$map: $(awk -v a="$measured_seconds" -v b="$mapshaper_seconds" 'BEGIN { printf "%.2f", a / b }')x")
    cpu_ratios+=("$map: $(awk -v a="$measured_cpu" -v b="$mapshaper_cpu" 'BEGIN { printf "%.2f", a / b }')x")
  else
    echo "the Orbalis run failed (see $out_dir/$map-orbalis.log): reporting mapshaper only" >&2
  fi
}

main() {
  command -v node >/dev/null || die "node is not installed (Debian package: nodejs)"
  ensure_time
  ensure_inputs
  mkdir -p "$out_dir"
  mapshaper=$npm_cache/node_modules/.bin/mapshaper
  voronoi_bin=${VORONOI_BIN:-$(dirname "${ORBALIS_BIN:-.}")/MakeVoronoiMap}

  local rows=() ratios=() cpu_ratios=()
  for map in $maps; do bench_map; done

  echo '| tool | map | shapes | runs | wall s (median) | CPU s (median) | peak RSS MiB | colours | conflicts | unite calls |'
  echo '| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |'
  printf '%s\n' "${rows[@]}"
  if ((${#ratios[@]})); then
    echo
    echo "Orbalis / mapshaper -classify wall time: ${ratios[*]}"
    echo
    echo "Orbalis / mapshaper -classify CPU time: ${cpu_ratios[*]}"
  fi
  return 0
}

main "$@"
