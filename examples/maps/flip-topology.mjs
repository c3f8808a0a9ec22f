#!/usr/bin/env node
// Mirrors a TopoJSON topology vertically: y -> HEIGHT - y.
//
//   node flip-topology.mjs IN OUT HEIGHT
//
// The map sources are in screen coordinates (y down) while mapshaper writes
// SVG as if y pointed up, so each source is mirrored once before it is
// written. The same input always gives the same bytes.

import { readFileSync, writeFileSync } from 'node:fs';

function fail(message) {
  process.stderr.write(`flip-topology.mjs: ${message}\n`);
  process.exit(2);
}

function flipGeometryPositions(geometry, height) {
  const flip = (position) => [position[0], height - position[1], ...position.slice(2)];
  switch (geometry.type) {
    case 'GeometryCollection':
      geometry.geometries.forEach((child) => flipGeometryPositions(child, height));
      break;
    case 'Point':
      geometry.coordinates = flip(geometry.coordinates);
      break;
    case 'MultiPoint':
      geometry.coordinates = geometry.coordinates.map(flip);
      break;
    default:
      break;
  }
}

function flipY(topology, height) {
  if (topology.transform) {
    // Quantised (and delta-encoded) positions: mirroring the transform mirrors
    // every decoded position without touching the integer arcs.
    const { scale, translate } = topology.transform;
    scale[1] = -scale[1];
    translate[1] = height - translate[1];
  } else {
    for (const arc of topology.arcs) {
      for (const position of arc) position[1] = height - position[1];
    }
    for (const object of Object.values(topology.objects)) flipGeometryPositions(object, height);
  }
  delete topology.bbox;
  return topology;
}

function main(argv) {
  const [input, output, heightText, ...rest] = argv;
  if (!input || !output || heightText === undefined || rest.length) {
    fail('usage: flip-topology.mjs IN OUT HEIGHT');
  }
  const height = Number(heightText);
  if (!Number.isFinite(height)) fail(`HEIGHT must be a number, got "${heightText}"`);
  let topology;
  try {
    topology = JSON.parse(readFileSync(input, 'utf8'));
  } catch (error) {
    fail(`cannot read ${input}: ${error.message}`);
  }
  if (!topology || topology.type !== 'Topology' || !Array.isArray(topology.arcs)) {
    fail(`${input} is not a TopoJSON topology`);
  }
  writeFileSync(output, JSON.stringify(flipY(topology, height)));
}

main(process.argv.slice(2));
