#!/usr/bin/env node
// Checks what `orbalis` wrote to GIS files, independently of it:
//
//   node check-gis.mjs colours COLOURS.csv PAIRS.json
//       every pair of neighbours the adjacency oracle found has two different
//       fill_cmyk values (COLOURS.csv: the columns id and fill_cmyk, as
//       ogr2ogr -f CSV writes them);
//   node check-gis.mjs geometry BEFORE.geojson AFTER.geojson MAX_METRES
//       the features (matched by their id) have the same rings and points,
//       none further than MAX_METRES apart on the ground (longitude and
//       latitude on the WGS 84 sphere);
//   node check-gis.mjs attributes BEFORE.geojson AFTER.geojson
//       every feature keeps every property with its value and type.
//
// Prints one line of figures; exits 1 with the first problems on a failure.
import { readFileSync } from 'node:fs';

const [mode, ...args] = process.argv.slice(2);
const problems = [];
const problem = (text) => { if (problems.push(text) <= 10) process.stderr.write(`check-gis.mjs: ${text}\n`); };
const readJson = (path) => JSON.parse(readFileSync(path, 'utf8'));
const byId = (path) => {
  const map = new Map();
  for (const f of readJson(path).features) map.set(String(f.properties.id ?? f.id), f);
  return map;
};

function colours(csvPath, pairsPath) {
  const lines = readFileSync(csvPath, 'utf8').trim().split(/\r?\n/);
  const header = lines.shift().split(',');
  const idColumn = header.indexOf('id');
  const cmykColumn = header.indexOf('fill_cmyk');
  if (idColumn < 0 || cmykColumn < 0) throw new Error(`${csvPath} has no id and fill_cmyk columns`);
  const fill = new Map();
  // The CMYK value holds commas, so CSV quotes it.
  for (const line of lines) {
    const cells = [...line.matchAll(/("([^"]*)"|[^,]*)(,|$)/g)].map((m) => m[2] ?? m[1]);
    fill.set(cells[idColumn], cells[cmykColumn]);
  }
  const pairs = readJson(pairsPath).pairs;
  let conflicts = 0;
  for (const [a, b] of pairs) {
    if (!fill.get(a) || !fill.get(b)) problem(`no colour for ${fill.get(a) ? b : a}`);
    else if (fill.get(a) === fill.get(b)) { conflicts++; problem(`${a} and ${b} are both ${fill.get(a)}`); }
  }
  const used = new Set(fill.values());
  console.log(`${pairs.length} pairs checked, ${conflicts} conflicts (${fill.size} features, ${used.size} colours)`);
}

function coordinates(geometry) {
  if (!geometry) return [];
  const out = [];
  const walk = (c) => (typeof c[0] === 'number' ? out.push(c) : c.forEach(walk));
  walk(geometry.type === 'GeometryCollection' ? geometry.geometries.map((g) => g.coordinates) : geometry.coordinates);
  return out;
}

function geometry(beforePath, afterPath, maxMetres) {
  const before = byId(beforePath), after = byId(afterPath);
  const metresPerDegree = 6371008.8 * Math.PI / 180;
  let worst = 0, points = 0;
  for (const [id, f] of before) {
    const g = after.get(id);
    if (!g) { problem(`feature ${id} is missing`); continue; }
    const a = coordinates(f.geometry), b = coordinates(g.geometry);
    if (a.length !== b.length) { problem(`feature ${id}: ${a.length} points became ${b.length}`); continue; }
    for (let i = 0; i < a.length; i++) {
      const dx = (a[i][0] - b[i][0]) * Math.cos(a[i][1] * Math.PI / 180), dy = a[i][1] - b[i][1];
      worst = Math.max(worst, Math.hypot(dx, dy) * metresPerDegree);
    }
    points += a.length;
  }
  if (after.size !== before.size) problem(`${before.size} features became ${after.size}`);
  if (worst > maxMetres) problem(`points moved up to ${worst} m, more than ${maxMetres} m`);
  console.log(`${before.size} features, ${points} points, at most ${worst.toExponential(2)} m apart`);
}

function attributes(beforePath, afterPath) {
  const before = readJson(beforePath).features, after = readJson(afterPath).features;
  if (before.length !== after.length) problem(`${before.length} features became ${after.length}`);
  let values = 0;
  before.forEach((f, i) => {
    const kept = after[i]?.properties ?? {};
    for (const [name, value] of Object.entries(f.properties)) {
      values++;
      if (!(name in kept)) problem(`feature ${i}: ${name} is missing`);
      else if (kept[name] !== value) problem(`feature ${i}: ${name} was ${JSON.stringify(value)}, is ${JSON.stringify(kept[name])}`);
    }
  });
  console.log(`${before.length} features, ${values} values kept`);
}

try {
  if (mode === 'colours') colours(args[0], args[1]);
  else if (mode === 'geometry') geometry(args[0], args[1], Number(args[2]));
  else if (mode === 'attributes') attributes(args[0], args[1]);
  else throw new Error('usage: check-gis.mjs colours|geometry|attributes ...');
} catch (error) {
  process.stderr.write(`check-gis.mjs: ${error.message}\n`);
  process.exit(2);
}
process.exit(problems.length ? 1 : 0);
