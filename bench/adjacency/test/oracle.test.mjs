import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import topojson from 'topojson-client';

import { computeAdjacency } from '../lib/adjacency.mjs';

// A hand-built topology in screen coordinates:
//   A B      a 2 x 2 grid of 10 px squares: A-B, A-C, B-D, C-D share edges,
//   C D      A-D and B-C meet only at the centre (10, 10);
//   E, F     share only an arc 0.0028 px long, which the 0.01 grid collapses;
//   G        a bow tie crossing itself at (65, 5);
//   H        a square with a zero-width spike;
//   I        a ring that rounds to a single point;
//   J, K     J has a hole that K fills exactly.
function sampleTopology() {
  const arcs = [
    [[10, 0], [10, 10]], // 0: A|B
    [[0, 10], [10, 10]], // 1: A|C
    [[10, 10], [20, 10]], // 2: B|D
    [[10, 10], [10, 20]], // 3: C|D
    [[10, 0], [0, 0], [0, 10]], // 4: A outside
    [[20, 10], [20, 0], [10, 0]], // 5: B outside
    [[0, 10], [0, 20], [10, 20]], // 6: C outside
    [[10, 20], [20, 20], [20, 10]], // 7: D outside
    [[40, 10], [40.002, 10.002]], // 8: E|F
    [[40.002, 10.002], [30, 10], [30, 0], [40, 0], [40, 10]], // 9: E outside
    [[40, 10], [50, 10], [50, 20], [40, 20], [40.002, 10.002]], // 10: F outside
    [[60, 0], [70, 10], [70, 0], [60, 10], [60, 0]], // 11: G
    [[80, 0], [90, 0], [95, 0], [90, 0], [90, 10], [80, 10], [80, 0]], // 12: H
    [[100, 0], [100.001, 0], [100, 0.001], [100, 0]], // 13: I
    [[0, 30], [30, 30], [30, 60], [0, 60], [0, 30]], // 14: J outside
    [[10, 40], [10, 50], [20, 50], [20, 40], [10, 40]], // 15: J's hole, K's outside
  ];
  const polygon = (id, ...rings) => ({ type: 'Polygon', id, arcs: rings });
  return {
    type: 'Topology',
    arcs,
    objects: {
      shapes: {
        type: 'GeometryCollection',
        geometries: [
          polygon('A', [0, ~1, ~4]),
          polygon('B', [~5, ~2, ~0]),
          polygon('C', [1, 3, ~6]),
          polygon('D', [2, ~7, ~3]),
          polygon('E', [9, 8]),
          polygon('F', [10, ~8]),
          polygon('G', [11]),
          polygon('H', [12]),
          polygon('I', [13]),
          polygon('J', [14], [15]),
          { type: 'MultiPolygon', id: 'K', arcs: [[[~15]]] },
        ],
      },
    },
  };
}

describe('adjacency on a hand-built map', () => {
  const result = computeAdjacency(sampleTopology(), 'shapes');

  test('pairs are the shapes sharing a boundary of positive length', () => {
    assert.deepEqual(result.pairs, [['A', 'B'], ['A', 'C'], ['B', 'D'], ['C', 'D'], ['J', 'K']]);
    assert.equal(result.pairLengths.get('A B'), 10);
    assert.equal(result.pairLengths.get('J K'), 40);
  });

  test('corner contacts and collapsed arcs are excluded, and say why', () => {
    assert.deepEqual(result.excludedPointContacts, [
      { ids: ['A', 'D'], sharedLength: 0, kind: 'vertex' },
      { ids: ['B', 'C'], sharedLength: 0, kind: 'vertex' },
      { ids: ['E', 'F'], sharedLength: 0, kind: 'collapsed-arc' },
    ]);
  });

  test('faulty rings are reported', () => {
    assert.deepEqual(result.selfIntersecting, [{ id: 'G', polygon: 0, ring: 0, contacts: 1, at: [65, 5] }]);
    assert.deepEqual(result.ringsWithSpikes, [{ id: 'H', polygon: 0, ring: 0, spikes: 1 }]);
    assert.deepEqual(result.collapsedRings, [{ id: 'I', polygon: 0, ring: 0 }]);
    assert.deepEqual(result.featuresWithoutArea, ['I']);
  });

  test('without rounding, a short arc longer than epsilon makes a pair', () => {
    const exact = computeAdjacency(sampleTopology(), 'shapes', { precision: 0, epsilon: 0.001 });
    assert.ok(exact.pairs.some(([a, b]) => a === 'E' && b === 'F'));
    assert.ok(Math.abs(exact.pairLengths.get('E F') - Math.hypot(0.002, 0.002)) < 1e-9);
    const strict = computeAdjacency(sampleTopology(), 'shapes', { precision: 0, epsilon: 0.01 });
    assert.ok(!strict.pairs.some(([a, b]) => a === 'E' && b === 'F'));
  });

  test('quantised, delta-encoded arcs decode to the same answer', () => {
    const grid = sampleTopology();
    grid.arcs = grid.arcs.slice(0, 8);
    grid.objects.shapes.geometries = grid.objects.shapes.geometries.slice(0, 4);
    // 21 steps over the 0..20 extent: one unit per step, so nothing moves.
    const quantised = topojson.quantize(grid, 21);
    assert.ok(quantised.transform);
    assert.notDeepEqual(quantised.arcs, grid.arcs);
    const decoded = computeAdjacency(quantised, 'shapes');
    assert.deepEqual(decoded.pairs, [['A', 'B'], ['A', 'C'], ['B', 'D'], ['C', 'D']]);
    assert.equal(decoded.pairLengths.get('C D'), 10);
  });

  test('shapes that overlap without sharing an arc are still found', () => {
    const topology = sampleTopology();
    // Give B its own copy of the A|B edge instead of the shared arc.
    topology.arcs.push([[10, 10], [10, 0]]);
    topology.objects.shapes.geometries[1].arcs = [[~5, ~2, 16]];
    const separate = computeAdjacency(topology, 'shapes');
    assert.ok(separate.pairs.some(([a, b]) => a === 'A' && b === 'B'));
    assert.equal(separate.adjacentWithoutSharedArc, 1);
  });

  test('bad input is refused with a reason', () => {
    assert.throws(() => computeAdjacency(sampleTopology(), 'roads'), /no geometry collection "roads" \(it has: shapes\)/);
    const noId = sampleTopology();
    delete noId.objects.shapes.geometries[2].id;
    assert.throws(() => computeAdjacency(noId, 'shapes'), /geometry 2 of "shapes" has no id/);
    const twice = sampleTopology();
    twice.objects.shapes.geometries[3].id = 'A';
    assert.throws(() => computeAdjacency(twice, 'shapes'), /id "A" is used by more than one geometry/);
    assert.throws(() => computeAdjacency({ type: 'FeatureCollection' }, 'shapes'), /not a TopoJSON topology/);
  });
});

describe('oracle command line', () => {
  const oracle = fileURLToPath(new URL('../oracle.mjs', import.meta.url));
  const scratch = mkdtempSync(join(tmpdir(), 'oracle-'));
  after(() => rmSync(scratch, { recursive: true, force: true }));

  test('writes the pairs as JSON and a summary on stderr', () => {
    const input = join(scratch, 'map.topo.json');
    writeFileSync(input, JSON.stringify(sampleTopology()));
    const run = spawnSync(process.execPath, [oracle, input, 'shapes'], { encoding: 'utf8' });
    assert.equal(run.status, 0, run.stderr);
    const output = JSON.parse(run.stdout);
    assert.equal(output.features, 11);
    assert.equal(output.pairs.length, 5);
    assert.equal(output.excludedPointContacts.length, 3);
    assert.match(run.stderr, /^shapes: 11 features, 5 pairs .* 1 self-intersecting rings/);
  });

  test('refuses a bad option value or a missing file', () => {
    const badEpsilon = spawnSync(process.execPath, [oracle, 'x.json', 'shapes', '--epsilon', 'lots'], { encoding: 'utf8' });
    assert.equal(badEpsilon.status, 2);
    assert.match(badEpsilon.stderr, /--epsilon must be a number/);
    const missing = spawnSync(process.execPath, [oracle, join(scratch, 'absent.json'), 'shapes'], { encoding: 'utf8' });
    assert.equal(missing.status, 2);
    assert.match(missing.stderr, /cannot read .*absent\.json/);
  });
});
