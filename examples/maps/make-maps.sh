#!/usr/bin/env bash
# Generates the example maps from public-domain TopoJSON (us-atlas,
# world-atlas) with mapshaper, all at the versions pinned by package-lock.json.
#
#   examples/maps/make-maps.sh [--check] [states] [counties] [world]   (default: all three)
#   examples/maps/make-maps.sh --tools   (only installs the pinned tools)
#
# Writes
#   examples/us-states.svg, examples/counties.svg, examples/world-countries-50m.svg
#   examples/maps/data/<map>.topo.json  the topology each SVG was drawn from, in
#                                       the SVG's own coordinates (y down), for
#                                       bench/adjacency/oracle.mjs
#   examples/maps/data/counties-lonlat.topo.json   the counties in longitude and
#                                       latitude, as us-atlas publishes them
# The maps and topologies are committed, so that the tests and map checks need
# neither mapshaper nor the network; this script is for regenerating them.
# With --check everything is written to a scratch folder instead and compared
# with the committed files; the script fails if any differs.
#
# Environment
#   ORBALIS_NPM_CACHE  where the pinned npm packages are installed (default .cache/npm)
#
# Each SVG has one top-level <g id="LAYER"> holding one <path id="ID"> per
# feature; coordinates are pixels rounded to 0.01 with y pointing down, and the
# viewBox equals width x height. Running the script twice gives the same bytes.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
npm_cache=${ORBALIS_NPM_CACHE:-$repo/.cache/npm}

# Light fill and hairline white borders, so the maps read as maps in a browser.
readonly map_style=(fill='#dcdcdc' stroke='#ffffff' stroke-width=0.5)
# The world map is drawn in the Robinson projection, fitted to this frame
# (the projection is 1.97 times as wide as it is high).
readonly world_width=1000 world_height=508

die() {
  echo "make-maps.sh: $*" >&2
  exit 1
}

check_node() {
  command -v node >/dev/null || die "node is not installed (Debian package: nodejs)"
  command -v npm >/dev/null || die "npm is not installed (Debian package: npm)"
  local major
  major=$(node -p 'process.versions.node.split(".")[0]')
  ((major >= 20)) || die "node 20 or newer is needed, found $(node --version)"
}

# Installs the packages pinned by package-lock.json into the cache, once.
install_tools() {
  mkdir -p "$npm_cache"
  if cmp -s "$here/package-lock.json" "$npm_cache/package-lock.json" &&
    [[ -x $npm_cache/node_modules/.bin/mapshaper ]]; then
    return
  fi
  echo "installing pinned map tools into $npm_cache" >&2
  cp "$here/package.json" "$here/package-lock.json" "$npm_cache/"
  (cd "$npm_cache" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >&2) ||
    die "npm ci failed in $npm_cache"
}

mapshaper() {
  "$npm_cache/node_modules/.bin/mapshaper" -quiet "$@"
}

# write_svg TOPOLOGY OBJECT WIDTH HEIGHT OUT
# TOPOLOGY is in screen coordinates (y down) inside a WIDTH x HEIGHT frame.
# mapshaper writes SVG y = top - y, so the topology is mirrored first and
# svg-scale=1 with a zero margin keeps every coordinate where it was.
write_svg() {
  local topology=$1 object=$2 width=$3 height=$4 out=$5
  local mirrored=$work/$object.y-up.json
  node "$here/flip-topology.mjs" "$topology" "$mirrored" "$height"
  mapshaper -i "$mirrored" -target "$object" -style "${map_style[@]}" \
    -o "$out.tmp" format=svg id-field=FID svg-data=name \
    svg-scale=1 svg-bbox="0,0,$width,$height" margin=0
  mv "$out.tmp" "$out"
  echo "wrote $out ($(wc -c <"$out") bytes, $(grep -c '<path ' "$out") paths)" >&2
}

make_states() {
  local source=$npm_cache/node_modules/us-atlas/states-albers-10m.json
  cp "$source" "$data_dir/us-states.topo.json"
  write_svg "$source" states 975 610 "$svg_dir/us-states.svg"
}

make_counties() {
  local source=$npm_cache/node_modules/us-atlas/counties-albers-10m.json
  cp "$source" "$data_dir/counties.topo.json"
  cp "$npm_cache/node_modules/us-atlas/counties-10m.json" "$data_dir/counties-lonlat.topo.json"
  write_svg "$source" counties 975 610 "$svg_dir/counties.svg"
}

make_world() {
  local source=$npm_cache/node_modules/world-atlas/countries-50m.json
  cp "$here/world.mjs" "$npm_cache/world.mjs"
  node "$npm_cache/world.mjs" "$source" "$data_dir/world-countries-50m.topo.json" \
    "$world_width" "$world_height"
  write_svg "$data_dir/world-countries-50m.topo.json" countries "$world_width" "$world_height" \
    "$svg_dir/world-countries-50m.svg"
}

main() {
  local check=false maps=()
  for arg in "$@"; do
    case $arg in
    --check) check=true ;;
    --tools)
      check_node
      install_tools
      return
      ;;
    states | counties | world) maps+=("$arg") ;;
    *) die "unknown argument \"$arg\" (expected --check, states, counties or world)" ;;
    esac
  done
  ((${#maps[@]})) || maps=(states counties world)

  check_node
  install_tools
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  svg_dir=$repo/examples
  data_dir=$here/data
  if $check; then
    svg_dir=$work/svg
    data_dir=$work/data
    mkdir "$svg_dir"
  fi
  mkdir -p "$data_dir"
  for map in "${maps[@]}"; do
    "make_$map"
  done
  if $check; then
    local stale=0 file committed
    for file in "$svg_dir"/*.svg "$data_dir"/*.topo.json; do
      case $file in
      "$data_dir"/*) committed=$here/data/${file##*/} ;;
      *) committed=$repo/examples/${file##*/} ;;
      esac
      if cmp -s "$file" "$committed"; then
        echo "up to date: ${committed#"$repo/"}" >&2
      else
        echo "differs: ${committed#"$repo/"}" >&2
        stale=1
      fi
    done
    return "$stale"
  fi
}

main "$@"
