#!/usr/bin/env node
// Checks that a coloured map gives adjacent shapes different colours.
//
//   node check-coloring.mjs OUTPUT.svg PAIRS.json
//
// PAIRS.json is the oracle's output ({"pairs": [[idA, idB], ...]}) or a bare
// array of pairs. Each shape is the element of the SVG with that id; its
// colour is its data-cmyk-fill when both shapes of a pair have one, otherwise
// its fill (see lib/svg-fills.mjs).
//
// Prints "N pairs checked, M conflicts (S shapes, C colours)" on stdout and the
// problems on stderr. Exits 0 when every pair differs, 1 on a conflict or a
// missing or unusable shape, 2 when an input cannot be read.

import { readFileSync } from 'node:fs';

import { readFills } from './lib/svg-fills.mjs';

const PROBLEMS_SHOWN = 20;

function fail(message) {
  process.stderr.write(`check-coloring.mjs: ${message}\n`);
  process.exit(2);
}

function readPairs(path) {
  let data;
  try {
    data = JSON.parse(readFileSync(path, 'utf8'));
  } catch (error) {
    fail(`cannot read ${path}: ${error.message}`);
  }
  const pairs = Array.isArray(data) ? data : data?.pairs;
  if (!Array.isArray(pairs)) fail(`${path} has no "pairs" array`);
  return pairs.map((pair, index) => {
    if (!Array.isArray(pair) || pair.length < 2) fail(`${path}: pair ${index} is not [idA, idB]`);
    return [String(pair[0]), String(pair[1])];
  });
}

function readShapes(path) {
  let text;
  try {
    text = readFileSync(path, 'utf8');
  } catch (error) {
    fail(`cannot read ${path}: ${error.message}`);
  }
  try {
    return readFills(text);
  } catch (error) {
    fail(`${path}: ${error.message}`);
  }
  return null;
}

// Why a shape cannot take part in the check, or null when it can.
function unusable(shape) {
  if (shape.fill === null) return 'holds no shape';
  if (shape.fill === 'mixed' || shape.cmyk === 'mixed') return 'has parts of different colours';
  return null;
}

function colourName(shape, useCmyk) {
  return useCmyk ? `cmyk ${shape.cmyk}` : shape.fill;
}

function main(argv) {
  if (argv.length !== 2) fail('usage: check-coloring.mjs OUTPUT.svg PAIRS.json');
  const [svgPath, pairsPath] = argv;
  const pairs = readPairs(pairsPath);
  const shapes = readShapes(svgPath);

  const problems = [];
  const reported = new Set();
  const usableShape = (id) => {
    const shape = shapes.get(id);
    const reason = shape ? unusable(shape) : 'is missing';
    if (!reason) return shape;
    if (!reported.has(id)) {
      reported.add(id);
      problems.push(`shape "${id}" ${reason}`);
    }
    return null;
  };

  let checked = 0;
  let conflicts = 0;
  const involved = new Set();
  const colours = new Set();
  for (const [a, b] of pairs) {
    const first = usableShape(a);
    const second = usableShape(b);
    if (!first || !second) continue;
    checked += 1;
    for (const [id, shape] of [[a, first], [b, second]]) {
      if (involved.has(id)) continue;
      involved.add(id);
      colours.add(shape.cmyk !== null ? `cmyk ${shape.cmyk}` : shape.fill);
    }
    const useCmyk = first.cmyk !== null && second.cmyk !== null;
    const same = useCmyk ? first.cmyk === second.cmyk : first.fill === second.fill;
    if (same) {
      conflicts += 1;
      problems.push(`conflict: "${a}" and "${b}" are both ${colourName(first, useCmyk)}`);
    }
  }

  for (const line of problems.slice(0, PROBLEMS_SHOWN)) process.stderr.write(`${line}\n`);
  if (problems.length > PROBLEMS_SHOWN) {
    process.stderr.write(`... and ${problems.length - PROBLEMS_SHOWN} more\n`);
  }
  const missing = reported.size;
  process.stdout.write(
    `${checked} pairs checked, ${conflicts} conflicts` +
    `${missing ? `, ${missing} shapes missing or unusable` : ''} ` +
    `(${involved.size} shapes, ${colours.size} colours)\n`);
  process.exit(conflicts > 0 || missing > 0 ? 1 : 0);
}

main(process.argv.slice(2));
