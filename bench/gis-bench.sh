#!/usr/bin/env bash
# Times GIS files through Orbalis and prints the figures as Markdown table
# rows:
#   - the US counties (examples/maps/data/counties-lonlat.topo.json, 3,231
#     features) as a GeoPackage, read and written back by `orbalis convert`
#     (read, project, place, draw, then transform back and write), against
#     GDAL's own copy of the same file, `ogr2ogr -f GPKG`;
#   - a Voronoi map of 200,000 cells (tools/voronoi-map, seed 1) as a
#     GeoPackage, opened, coloured by the plug-in and written back by
#     `orbalis run`; every cell written back with a colour.
#
#   bench/gis-bench.sh
#
# Environment
#   ORBALIS_BIN   the orbalis command line (default build/release/tools/orbalis)
#   VORONOI_BIN   the Voronoi map generator (default: MakeVoronoiMap beside it)
#   BENCH_RUNS    runs per command; the median wall time is reported (default 3)
#   BENCH_CELLS   cells of the Voronoi map (default 200000)
#   BENCH_OUT     where outputs go (default .cache/bench-gis)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
orbalis=${ORBALIS_BIN:-$repo/build/release/tools/orbalis}
voronoi=${VORONOI_BIN:-$(dirname "$orbalis")/MakeVoronoiMap}
runs=${BENCH_RUNS:-3}
cells=${BENCH_CELLS:-200000}
out=${BENCH_OUT:-$repo/.cache/bench-gis}
time_bin=/usr/bin/time

die() {
  echo "gis-bench.sh: $*" >&2
  exit 1
}
[[ -x $orbalis ]] || die "$orbalis is not built"
[[ -x $voronoi ]] || die "$voronoi is not built (configure with -DORBALIS_BENCH=ON)"
[[ -x $time_bin ]] || die "$time_bin is missing; install the Debian package \"time\""
command -v ogr2ogr >/dev/null || die "ogr2ogr is missing (scripts/setup installs gdal-bin)"
mkdir -p "$out"

# Runs a command BENCH_RUNS times; prints "wall-median cpu-median peak-MiB".
measure() {
  local walls=() cpus=() peak=0
  for ((i = 0; i < runs; i++)); do
    "$time_bin" -f '%e %U %S %M' -o "$out/time.txt" "$@" >/dev/null 2>"$out/stderr.txt" ||
      { cat "$out/stderr.txt" >&2; die "failed: $*"; }
    read -r wall user sys rss <"$out/time.txt"
    walls+=("$wall")
    cpus+=("$(echo "$user + $sys" | bc)")
    ((rss > peak)) && peak=$rss
  done
  local median=$((runs / 2))
  printf '%s %s %.1f\n' "$(printf '%s\n' "${walls[@]}" | sort -n | sed -n "$((median + 1))p")" \
    "$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n "$((median + 1))p")" "$(echo "$peak / 1024" | bc -l)"
}

row() {  # tool map features figures
  read -r wall cpu rss <<<"$4"
  echo "| $1 | $2 | $3 | $runs | $wall | $cpu | $rss |"
}

echo "| tool | map | features | runs | wall s (median) | CPU s (median) | peak RSS MiB |"
echo "| --- | --- | --- | --- | --- | --- | --- |"

ogr2ogr -f GPKG -a_srs EPSG:4326 "$out/counties.gpkg" "$repo/examples/maps/data/counties-lonlat.topo.json" counties
copy=$(measure ogr2ogr -f GPKG -overwrite "$out/copy.gpkg" "$out/counties.gpkg")
row "ogr2ogr -f GPKG (GDAL's copy)" counties 3231 "$copy"
round=$(measure "$orbalis" convert "$out/counties.gpkg" "$out/round-trip.gpkg" --scale 10000000)
row "orbalis convert (read, place, write back)" counties 3231 "$round"
read -r copy_wall _ <<<"$copy"
read -r round_wall _ <<<"$round"
echo
echo "counties: orbalis / ogr2ogr = $(echo "scale=2; $round_wall / $copy_wall" | bc)"
echo

"$voronoi" "$cells" 1 "$out/voronoi.svg" "$out/voronoi.geojson" >/dev/null
# The cells' ids are in a property called FID, which must not become the
# GeoPackage's own feature id column.
ogr2ogr -f GPKG -overwrite -a_srs EPSG:3857 -lco FID=gpkg_fid "$out/voronoi.gpkg" "$out/voronoi.geojson"
# At 1:3,779.5 a metre is 0.75 pt, a CSS pixel: the cells come out the size
# they have in the SVG map the other benchmarks colour (about 15 pt across).
coloured=$(measure "$orbalis" run "$out/voronoi.gpkg" --scale 3779.5275590551 --name-field FID --menu ポリゴン色分け \
  --answer yes --answer no --answer no --prefs "$out/preferences.json" --out "$out/voronoi-coloured.gpkg")
row "orbalis run ポリゴン色分け, GeoPackage in and out" "voronoi-$cells" "$cells" "$coloured"
# Every feature written back, each with a colour.
ogrinfo -q -sql "SELECT COUNT(*) AS n, COUNT(fill_cmyk) AS coloured, COUNT(DISTINCT fill_cmyk) AS colours FROM voronoi" \
  "$out/voronoi-coloured.gpkg" | grep -E '^ +(n|coloured|colours) '
