#!/usr/bin/env node
// Projects world-atlas's countries into a pixel frame and rebuilds their
// topology, ready to be drawn by make-maps.sh.
//
//   node world.mjs COUNTRIES.json OUT.topo.json WIDTH HEIGHT
//
// world-atlas keeps its polygons on the sphere: rings that cross the
// antimeridian are stitched together and Antarctica runs round the pole. A
// planar projection would draw those as bands across the whole map, so the
// countries go through d3's spherical clipping (Robinson projection, fitted
// to the frame, no resampling) and topojson-server then rebuilds the shared
// arcs from the projected coordinates, which are identical wherever two
// countries share a border. The output is in screen coordinates (y down).
//
// Every country gets an id of its own: the ISO 3166 numeric code, or, when a
// country has none or an earlier one already carries it, an id made from its
// name ("N. Cyprus" -> "N-Cyprus").
//
// Bare imports resolve from the directory this file is run from, so
// make-maps.sh runs a copy placed beside the pinned node_modules.

import { readFileSync, writeFileSync } from 'node:fs';

import { geoProject, geoRobinson } from 'd3-geo-projection';
import { feature } from 'topojson-client';
import { topology } from 'topojson-server';

function fail(message) {
  process.stderr.write(`world.mjs: ${message}\n`);
  process.exit(2);
}

function idFromName(name) {
  const slug = String(name ?? '').replace(/[^A-Za-z0-9]+/g, '-').replace(/^-+|-+$/g, '');
  return slug || 'unnamed';
}

function assignUniqueIds(features) {
  const taken = new Set();
  for (const country of features) {
    let id = country.id === undefined || country.id === null ? '' : String(country.id);
    if (id === '' || taken.has(id)) {
      const base = idFromName(country.properties?.name);
      id = base;
      for (let n = 2; taken.has(id); n += 1) id = `${base}-${n}`;
      process.stderr.write(`country "${country.properties?.name}" (${country.id ?? 'no code'}) gets id ${id}\n`);
    }
    country.id = id;
    taken.add(id);
  }
}

function main(argv) {
  const [input, output, widthText, heightText, ...rest] = argv;
  const width = Number(widthText);
  const height = Number(heightText);
  if (!input || !output || rest.length || !(width > 0) || !(height > 0)) {
    fail('usage: world.mjs COUNTRIES.json OUT.topo.json WIDTH HEIGHT');
  }
  let world;
  try {
    world = JSON.parse(readFileSync(input, 'utf8'));
  } catch (error) {
    fail(`cannot read ${input}: ${error.message}`);
  }
  if (!world?.objects?.countries) fail(`${input} has no "countries" collection`);

  const countries = feature(world, world.objects.countries);
  assignUniqueIds(countries.features);
  const projection = geoRobinson()
    .precision(0)
    .fitExtent([[0, 0], [width, height]], { type: 'Sphere' });
  const projected = geoProject(countries, projection);
  // A country that clipping leaves empty would have no shape to draw.
  projected.features = projected.features.filter((country) => {
    if (!country.geometry) process.stderr.write(`country ${country.id} vanishes when projected; left out\n`);
    return Boolean(country.geometry);
  });
  writeFileSync(output, JSON.stringify(topology({ countries: projected })));
}

main(process.argv.slice(2));
