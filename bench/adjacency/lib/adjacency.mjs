// Adjacency of the polygons of one TopoJSON geometry collection, measured in
// the topology's own coordinates (for the map files: the SVG's pixels).
//
// Coordinates are first snapped to a grid of `precision`, the rounding the SVG
// writer applies, and zero-width spikes are removed as the SVG writer does, so
// every length below is the length of what is actually drawn. On the grid,
// points are integers, which keeps the touching tests exact.
//
// Candidate pairs are the features that share an arc (topojson's neighbours).
// A pair is adjacent when the boundary edges both features draw add up to
// more than `epsilon`; otherwise it is a point contact: a shared arc that
// rounding collapsed, or features that meet only at a vertex (four corners).

import topojson from 'topojson-client';

import { distinctVertices, removeSpikes, selfContacts } from './geometry.mjs';

export const DEFAULT_PRECISION = 0.01;
// Half a grid step: a shared boundary that survives rounding is at least one
// grid step long, so any threshold strictly between 0 and one step gives the
// same answer, and half a step stays clear of floating-point noise either way.
export const DEFAULT_EPSILON = 0.005;

function decodeArcs(topology, gridScale) {
  const decode = topojson.transform(topology.transform);
  const snap = gridScale > 0 ? (v) => Math.round(v * gridScale) : (v) => v;
  return topology.arcs.map((arc) =>
    arc.map((position, index) => {
      const [x, y] = decode(position, index);
      return [snap(x), snap(y)];
    }));
}

// The rings of a Polygon or MultiPolygon as arrays of arc references.
function polygonsOf(geometry) {
  if (geometry.type === 'Polygon') return [geometry.arcs];
  if (geometry.type === 'MultiPolygon') return geometry.arcs;
  return [];
}

function ringPoints(ringArcs, arcs) {
  const points = [];
  for (const reference of ringArcs) {
    const arc = reference < 0 ? arcs[~reference].slice().reverse() : arcs[reference];
    // Consecutive arcs share their joining point; keep it once.
    points.push(...(points.length ? arc.slice(1) : arc));
  }
  return points;
}

function pointKey(point) {
  return `${point[0]},${point[1]}`;
}

function edgeKey(a, b) {
  const p = pointKey(a);
  const q = pointKey(b);
  return p < q ? `${p} ${q}` : `${q} ${p}`;
}

function indexPairKey(a, b) {
  return a < b ? a * 0x100000 + b : b * 0x100000 + a;
}

function compareIds(a, b) {
  return a < b ? -1 : a > b ? 1 : 0;
}

function comparePairs(p, q) {
  return compareIds(p[0], q[0]) || compareIds(p[1], q[1]);
}

function readIds(geometries, objectName) {
  const seen = new Set();
  return geometries.map((geometry, index) => {
    if (geometry.id === undefined || geometry.id === null || geometry.id === '') {
      throw new Error(`geometry ${index} of "${objectName}" has no id`);
    }
    const id = String(geometry.id);
    if (seen.has(id)) throw new Error(`id "${id}" is used by more than one geometry of "${objectName}"`);
    seen.add(id);
    return id;
  });
}

// Returns { features, pairs, pairLengths, excludedPointContacts,
// selfIntersecting, ringsWithSpikes, collapsedRings, featuresWithoutArea,
// adjacentWithoutSharedArc }; lengths and points in the topology's units.
export function computeAdjacency(topology, objectName, options = {}) {
  const precision = options.precision ?? DEFAULT_PRECISION;
  const epsilon = options.epsilon ?? DEFAULT_EPSILON;
  if (!topology || topology.type !== 'Topology' || !Array.isArray(topology.arcs)) {
    throw new Error('the input is not a TopoJSON topology');
  }
  const collection = topology.objects?.[objectName];
  if (!collection || !Array.isArray(collection.geometries)) {
    const names = Object.keys(topology.objects ?? {}).join(', ');
    throw new Error(`the topology has no geometry collection "${objectName}" (it has: ${names})`);
  }
  if (collection.geometries.length >= 0x100000) throw new Error(`"${objectName}" has too many geometries`);
  const geometries = collection.geometries;
  const ids = readIds(geometries, objectName);

  const gridScale = precision > 0 ? 1 / precision : 0;
  const unit = precision > 0 ? precision : 1;
  const toOutput = (point) => point.map((v) => Number((v * unit).toFixed(6)));
  const arcs = decodeArcs(topology, gridScale);

  const edgeOwners = new Map();   // edge key -> { length, owners: Set of feature indexes }
  const vertexOwners = new Map(); // point key -> Set of feature indexes
  const selfIntersecting = [];
  const ringsWithSpikes = [];
  const collapsedRings = [];
  const featuresWithoutArea = [];

  geometries.forEach((geometry, feature) => {
    let hasArea = false;
    polygonsOf(geometry).forEach((polygon, polygonIndex) => {
      polygon.forEach((ringArcs, ringIndex) => {
        const where = { id: ids[feature], polygon: polygonIndex, ring: ringIndex };
        const { vertices, spikes } = removeSpikes(distinctVertices(ringPoints(ringArcs, arcs)));
        if (spikes > 0) ringsWithSpikes.push({ ...where, spikes });
        // Spike removal leaves fewer than three vertices of any ring that
        // encloses no area (all its vertices on one line).
        if (vertices.length < 3) {
          collapsedRings.push(where);
          return;
        }
        hasArea = true;
        const contacts = selfContacts(vertices);
        if (contacts.count > 0) {
          selfIntersecting.push({ ...where, contacts: contacts.count, at: toOutput(contacts.at) });
        }
        vertices.forEach((point, i) => {
          const next = vertices[(i + 1) % vertices.length];
          const key = edgeKey(point, next);
          let edge = edgeOwners.get(key);
          if (!edge) {
            const length = Math.hypot(next[0] - point[0], next[1] - point[1]) * unit;
            edgeOwners.set(key, (edge = { length, owners: new Set() }));
          }
          edge.owners.add(feature);
          const vertex = pointKey(point);
          let owners = vertexOwners.get(vertex);
          if (!owners) vertexOwners.set(vertex, (owners = new Set()));
          owners.add(feature);
        });
      });
    });
    if (!hasArea) featuresWithoutArea.push(ids[feature]);
  });

  // Length of the boundary each pair of features both draw.
  const sharedLength = new Map();
  for (const { length, owners } of edgeOwners.values()) {
    if (owners.size < 2) continue;
    const list = [...owners];
    for (let i = 0; i < list.length; i += 1) {
      for (let j = i + 1; j < list.length; j += 1) {
        const key = indexPairKey(list[i], list[j]);
        sharedLength.set(key, (sharedLength.get(key) ?? 0) + length);
      }
    }
  }

  const neighbourPairs = new Set();
  topojson.neighbors(geometries).forEach((neighbours, a) => {
    // A feature whose ring runs along one arc twice lists itself.
    for (const b of neighbours) if (b !== a) neighbourPairs.add(indexPairKey(a, b));
  });
  const splitKey = (key) => [Math.floor(key / 0x100000), key % 0x100000];
  const idPair = (key) => splitKey(key).map((index) => ids[index]).sort(compareIds);

  const pairs = [];
  const pairLengths = new Map();
  const excludedPointContacts = [];
  let adjacentWithoutSharedArc = 0;
  for (const [key, length] of sharedLength) {
    if (length <= epsilon) continue;
    const pair = idPair(key);
    pairs.push(pair);
    pairLengths.set(pair.join(' '), length);
    if (!neighbourPairs.has(key)) adjacentWithoutSharedArc += 1;
  }
  const listed = new Set([...sharedLength.keys(), ...neighbourPairs]);
  for (const key of listed) {
    const length = sharedLength.get(key) ?? 0;
    if (length > epsilon) continue;
    const kind = neighbourPairs.has(key) ? 'collapsed-arc' : 'short-boundary';
    excludedPointContacts.push({ ids: idPair(key), sharedLength: Number(length.toFixed(6)), kind });
  }
  for (const owners of vertexOwners.values()) {
    if (owners.size < 2) continue;
    const list = [...owners];
    for (let i = 0; i < list.length; i += 1) {
      for (let j = i + 1; j < list.length; j += 1) {
        const key = indexPairKey(list[i], list[j]);
        if (listed.has(key)) continue;
        listed.add(key);
        excludedPointContacts.push({ ids: idPair(key), sharedLength: 0, kind: 'vertex' });
      }
    }
  }

  pairs.sort(comparePairs);
  excludedPointContacts.sort((p, q) => comparePairs(p.ids, q.ids));
  const lengths = [...pairLengths.values()];
  return {
    features: geometries.length,
    pairs,
    pairLengths,
    excludedPointContacts,
    selfIntersecting,
    ringsWithSpikes,
    collapsedRings,
    featuresWithoutArea,
    adjacentWithoutSharedArc,
    shortestSharedLength: lengths.length ? lengths.reduce((a, b) => Math.min(a, b)) : null,
  };
}
