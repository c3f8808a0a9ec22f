#!/usr/bin/env node
// Which shapes of a map share a boundary of positive length, computed from the
// TopoJSON the map was drawn from rather than from the drawing itself.
//
//   node oracle.mjs TOPOLOGY.json OBJECT [--epsilon PX] [--precision PX] [--out FILE]
//
// TOPOLOGY must be in the map's own coordinates (the *.topo.json files that
// examples/maps/make-maps.sh writes beside each SVG). Writes JSON
//   { "object", "features", "precision", "epsilon",
//     "pairs": [[idA, idB], ...],                      idA < idB, sorted
//     "excludedPointContacts": [{ "ids", "sharedLength", "kind" }, ...],
//     "selfIntersecting": [{ "id", "polygon", "ring", "contacts", "at" }, ...],
//     "ringsWithSpikes": [{ "id", "polygon", "ring", "spikes" }, ...],
//     "collapsedRings": [{ "id", "polygon", "ring" }, ...],
//     "featuresWithoutArea": [id, ...] }
// and a one-line summary on stderr. Lengths and points are in map units.
//
// kind is "collapsed-arc" (a shared arc that rounding shrank to at most
// epsilon), "vertex" (no shared arc, only a shared point) or "short-boundary"
// (a common boundary of at most epsilon between features sharing no arc).
// A self-intersecting ring crosses or touches itself ("contacts" counts the
// pairs of edges that meet); spikes of zero width are removed first and only
// counted, as the SVG writer removes them too. Collapsed rings enclose no area
// and are left out; a feature made only of such rings is drawn as nothing.

import { readFileSync, writeFileSync } from 'node:fs';
import { parseArgs } from 'node:util';

import { computeAdjacency, DEFAULT_EPSILON, DEFAULT_PRECISION } from './lib/adjacency.mjs';

const usage = 'usage: oracle.mjs TOPOLOGY.json OBJECT [--epsilon PX] [--precision PX] [--out FILE]';

function fail(message) {
  process.stderr.write(`oracle.mjs: ${message}\n`);
  process.exit(2);
}

function parseNumber(text, name) {
  const value = Number(text);
  if (text === undefined) return undefined;
  if (!Number.isFinite(value) || value < 0) fail(`--${name} must be a number >= 0, got "${text}"`);
  return value;
}

function main() {
  let parsed;
  try {
    parsed = parseArgs({
      allowPositionals: true,
      options: {
        epsilon: { type: 'string' },
        precision: { type: 'string' },
        out: { type: 'string' },
      },
    });
  } catch (error) {
    fail(`${error.message}\n${usage}`);
  }
  const [topologyPath, objectName, ...rest] = parsed.positionals;
  if (!topologyPath || !objectName || rest.length) fail(usage);
  const epsilon = parseNumber(parsed.values.epsilon, 'epsilon') ?? DEFAULT_EPSILON;
  const precision = parseNumber(parsed.values.precision, 'precision') ?? DEFAULT_PRECISION;

  let topology;
  try {
    topology = JSON.parse(readFileSync(topologyPath, 'utf8'));
  } catch (error) {
    fail(`cannot read ${topologyPath}: ${error.message}`);
  }
  let result;
  try {
    result = computeAdjacency(topology, objectName, { epsilon, precision });
  } catch (error) {
    fail(`${topologyPath}: ${error.message}`);
  }

  const output = {
    object: objectName,
    features: result.features,
    precision,
    epsilon,
    pairs: result.pairs,
    excludedPointContacts: result.excludedPointContacts,
    selfIntersecting: result.selfIntersecting,
    ringsWithSpikes: result.ringsWithSpikes,
    collapsedRings: result.collapsedRings,
    featuresWithoutArea: result.featuresWithoutArea,
  };
  const text = `${JSON.stringify(output, null, 1)}\n`;
  if (parsed.values.out) writeFileSync(parsed.values.out, text);
  else process.stdout.write(text);

  const byKind = (kind) => result.excludedPointContacts.filter((entry) => entry.kind === kind).length;
  const shortest = result.shortestSharedLength === null ? 'none' : result.shortestSharedLength.toFixed(3);
  process.stderr.write(
    `${objectName}: ${result.features} features, ${result.pairs.length} pairs ` +
    `(shortest shared boundary ${shortest}), ` +
    `${result.excludedPointContacts.length} point contacts excluded ` +
    `(${byKind('collapsed-arc')} collapsed arcs, ${byKind('vertex')} vertex only), ` +
    `${result.selfIntersecting.length} self-intersecting rings, ` +
    `${result.ringsWithSpikes.length} rings with spikes, ` +
    `${result.collapsedRings.length} collapsed rings, ` +
    `${result.featuresWithoutArea.length} features without area` +
    (result.adjacentWithoutSharedArc ? `, ${result.adjacentWithoutSharedArc} adjacent pairs share no arc` : '') +
    '\n');
}

main();
