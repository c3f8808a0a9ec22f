#!/usr/bin/env bash
# Times Orbalis's polygon colouring against mapshaper's non-adjacent colouring
# on the US counties map, checks both results against the adjacency oracle,
# and prints the figures as Markdown table rows.
#
#   bench/coloring-vs-mapshaper.sh
#
# Environment
#   ORBALIS_BIN        the orbalis command line; when it is unset or its run
#                      fails, only mapshaper is reported
#   BENCH_RUNS         runs per command; the median wall time is reported (default 3)
#   MAPSHAPER_COLORS   the colours mapshaper may use (default: five)
#   BENCH_OUT          where outputs go (default $ORBALIS_MAP_DATA/bench)
#   ORBALIS_NPM_CACHE, ORBALIS_MAP_DATA   as for examples/maps/make-maps.sh
#
# Both tools read the same map: mapshaper the topology examples/counties.svg
# was drawn from, Orbalis the SVG itself. Both write SVG. Wall times include
# starting the program (node for mapshaper); peak memory is the maximum
# resident set size reported by /usr/bin/time -v.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
npm_cache=${ORBALIS_NPM_CACHE:-$repo/.cache/npm}
data_dir=${ORBALIS_MAP_DATA:-$repo/.cache/maps}
out_dir=${BENCH_OUT:-$data_dir/bench}
runs=${BENCH_RUNS:-3}
mapshaper_colors=${MAPSHAPER_COLORS:-#e41a1c,#377eb8,#4daf4a,#984ea3,#ff7f00}
oracle_dir=$repo/bench/adjacency
counties_svg=$repo/examples/counties.svg
counties_topology=$data_dir/counties.topo.json
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
  if [[ ! -f $counties_topology || ! -x $npm_cache/node_modules/.bin/mapshaper ]]; then
    "$repo/examples/maps/make-maps.sh" counties
  fi
  if [[ ! -d $oracle_dir/node_modules/topojson-client ]]; then
    (cd "$oracle_dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >&2) ||
      die "npm ci failed in $oracle_dir"
  fi
}

# measure NAME COMMAND...: runs the command $runs times and sets
# measured_seconds (median wall time) and measured_kib (largest peak RSS).
measure() {
  local name=$1 i
  shift
  local seconds=() kib=0 report=$out_dir/$name.time
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
    local rss
    rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$report")
    ((rss > kib)) && kib=$rss
  done
  measured_seconds=$(printf '%s\n' "${seconds[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  measured_kib=$kib
}

# check NAME SVG: sets checked_colours and checked_conflicts from the checker.
check() {
  local name=$1 svg=$2 summary
  summary=$(node "$oracle_dir/check-coloring.mjs" "$svg" "$out_dir/counties.pairs.json" 2>"$out_dir/$name.check") || true
  [[ -n $summary ]] || die "the colouring checker could not read $svg: $(head -n 1 "$out_dir/$name.check")"
  checked_conflicts=$(sed -E 's/^[0-9]+ pairs checked, ([0-9]+) conflicts.*/\1/' <<<"$summary")
  checked_colours=$(sed -E 's/.*, ([0-9]+) colours\)$/\1/' <<<"$summary")
  if [[ $summary == *missing* ]]; then
    checked_conflicts="$checked_conflicts (+ $(sed -E 's/.*, ([0-9]+) shapes missing.*/\1/' <<<"$summary") shapes missing)"
  fi
}

row() {
  local tool=$1 colours=$2 conflicts=$3 unites=${4:--}
  printf '| %s | counties | %s | %d | %.2f | %.1f | %s | %s | %s |\n' \
    "$tool" "$path_count" "$runs" "$measured_seconds" "$(awk -v k="$measured_kib" 'BEGIN { print k / 1024 }')" \
    "$colours" "$conflicts" "$unites"
}

main() {
  command -v node >/dev/null || die "node is not installed (Debian package: nodejs)"
  ensure_time
  ensure_inputs
  mkdir -p "$out_dir"
  path_count=$(grep -c '<path ' "$counties_svg")

  node "$oracle_dir/oracle.mjs" "$counties_topology" counties --out "$out_dir/counties.pairs.json" 2>"$out_dir/oracle.log" ||
    die "the adjacency oracle failed: $(head -n 1 "$out_dir/oracle.log")"
  echo "oracle: $(cat "$out_dir/oracle.log")" >&2

  local rows=() ratio=""
  local mapshaper=$npm_cache/node_modules/.bin/mapshaper
  # mapshaper's -classify stops with an error on features without a shape (three
  # counties have none), so those are filtered out first; they draw nothing.
  local read_counties=(-quiet -i "$counties_topology" -target counties -filter remove-empty)
  local write_svg=(format=svg id-field=FID)

  measure mapshaper-io "$mapshaper" "${read_counties[@]}" -o "$out_dir/mapshaper-io.svg" "${write_svg[@]}" ||
    die "mapshaper failed"
  rows+=("$(row 'mapshaper 0.7.70, read + write only' - -)")

  measure mapshaper "$mapshaper" "${read_counties[@]}" \
    -classify non-adjacent colors="$mapshaper_colors" \
    -o "$out_dir/mapshaper-counties.svg" "${write_svg[@]}" || die "mapshaper -classify failed"
  local mapshaper_seconds=$measured_seconds
  check mapshaper "$out_dir/mapshaper-counties.svg"
  rows+=("$(row 'mapshaper 0.7.70, -classify non-adjacent' "$checked_colours" "$checked_conflicts")")

  # ---- Orbalis -------------------------------------------------------------
  if [[ -z ${ORBALIS_BIN:-} ]]; then
    echo "ORBALIS_BIN is not set: reporting mapshaper only" >&2
  elif [[ ! -x $ORBALIS_BIN ]]; then
    echo "ORBALIS_BIN ($ORBALIS_BIN) is not an executable file: reporting mapshaper only" >&2
  elif measure orbalis "$ORBALIS_BIN" run "$counties_svg" --menu ポリゴン色分け \
    --answer yes --answer no --answer no --stats --prefs "$out_dir/preferences.json" \
    --out "$out_dir/orbalis-counties.svg"; then
    # More than 1,000 shapes touch: the answers go on past both warnings.
    check orbalis "$out_dir/orbalis-counties.svg"
    local unites
    unites=$(awk '$2 == "DoUniteEffect" { print $3 }' "$out_dir/orbalis.log")
    rows+=("$(row 'Orbalis ポリゴン色分け' "$checked_colours" "$checked_conflicts" "${unites:-?}")")
    ratio=$(awk -v a="$measured_seconds" -v b="$mapshaper_seconds" 'BEGIN { printf "%.1f", a / b }')
  else
    echo "the Orbalis run failed (see $out_dir/orbalis.log): reporting mapshaper only" >&2
  fi
  # --------------------------------------------------------------------------

  echo '| tool | map | shapes | runs | wall s (median) | peak RSS MiB | colours | conflicts | unite calls |'
  echo '| --- | --- | --- | --- | --- | --- | --- | --- | --- |'
  printf '%s\n' "${rows[@]}"
  [[ -n ${ratio:-} ]] && echo && echo "Orbalis / mapshaper -classify wall time: ${ratio}x"
  return 0
}

main "$@"
