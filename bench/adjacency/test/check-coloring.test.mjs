import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';

const checker = fileURLToPath(new URL('../check-coloring.mjs', import.meta.url));
const scratch = mkdtempSync(join(tmpdir(), 'check-coloring-'));
after(() => rmSync(scratch, { recursive: true, force: true }));

let fileCount = 0;
function file(name, content) {
  fileCount += 1;
  const path = join(scratch, `${fileCount}-${name}`);
  writeFileSync(path, typeof content === 'string' ? content : JSON.stringify(content));
  return path;
}

function svg(body) {
  return `<?xml version="1.0"?>\n<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 40 20">\n` +
    `<g id="layer">\n${body}\n</g>\n</svg>\n`;
}

function check(svgText, pairs) {
  const result = spawnSync(process.execPath, [checker, file('map.svg', svgText), file('pairs.json', pairs)], {
    encoding: 'utf8',
  });
  return { status: result.status, stdout: result.stdout, stderr: result.stderr };
}

// Four squares in a row; a compound shape stands for the second one.
const row = [['a', 'b'], ['b', 'c'], ['c', 'd']];

describe('check-coloring on fill colours', () => {
  test('a proper colouring passes with a one-line summary', () => {
    const result = check(svg([
      '<path id="a" d="M0 0H10V10H0Z" fill="#ff0000"/>',
      '<path id="b" d="M10 0H20V10H10Z M10 10H20V20H10Z" fill="#00ff00"/>',
      '<path id="c" d="M20 0H30V10H20Z" fill="#ff0000"/>',
      '<path id="d" d="M30 0H40V10H30Z" fill="#0000ff"/>',
    ].join('\n')), { pairs: row });
    assert.equal(result.status, 0, result.stderr);
    assert.equal(result.stdout, '3 pairs checked, 0 conflicts (4 shapes, 3 colours)\n');
  });

  test('neighbours of the same colour are conflicts, named on stderr', () => {
    const result = check(svg([
      '<path id="a" d="M0 0H10V10H0Z" fill="#f00"/>',
      '<path id="b" d="M10 0H20V10H10Z" fill="rgb(255, 0, 0)"/>',
      '<path id="c" d="M20 0H30V10H20Z" fill="blue"/>',
      '<path id="d" d="M30 0H40V10H30Z" style="stroke:black; fill: #0000FF"/>',
    ].join('\n')), row);
    assert.equal(result.status, 1);
    assert.match(result.stdout, /^3 pairs checked, 2 conflicts /);
    assert.match(result.stderr, /conflict: "a" and "b" are both #ff0000/);
    assert.match(result.stderr, /conflict: "c" and "d" are both #0000ff/);
  });

  test('fills are inherited from groups and default to black', () => {
    const result = check(svg([
      '<g fill="#123456"><path id="a" d="M0 0H10V10H0Z"/></g>',
      '<path id="b" d="M10 0H20V10H10Z" fill="#123456"/>',
      '<path id="c" d="M20 0H30V10H20Z"/>',
      '<path id="d" d="M30 0H40V10H30Z" fill="black"/>',
    ].join('\n')), row);
    assert.equal(result.status, 1);
    assert.match(result.stdout, /^3 pairs checked, 2 conflicts /);
    assert.match(result.stderr, /"a" and "b" are both #123456/);
    assert.match(result.stderr, /"c" and "d" are both #000000/);
  });
});

describe('check-coloring on CMYK fills', () => {
  test('equal CMYK values conflict even when the RGB fills differ', () => {
    const result = check(svg([
      '<path id="a" d="M0 0H10V10H0Z" fill="#ff0000" data-cmyk-fill="0 1 1 0"/>',
      '<path id="b" d="M10 0H20V10H10Z" fill="#fe0000" data-cmyk-fill="0 1.0000001 1 0"/>',
    ].join('\n')), [['a', 'b']]);
    assert.equal(result.status, 1);
    assert.match(result.stderr, /"a" and "b" are both cmyk 0 1 1 0/);
  });

  test('different CMYK values pass even when the RGB fills are equal', () => {
    const result = check(svg([
      '<path id="a" d="M0 0H10V10H0Z" fill="#000000" data-cmyk-fill="0 0 0 1"/>',
      '<path id="b" d="M10 0H20V10H10Z" fill="#000000" data-cmyk-fill="0.75 0.68 0.67 0.9"/>',
    ].join('\n')), [['a', 'b']]);
    assert.equal(result.status, 0, result.stderr);
  });

  test('a pair where only one shape has CMYK is compared by fill', () => {
    const result = check(svg([
      '<path id="a" d="M0 0H10V10H0Z" fill="#00ff00" data-cmyk-fill="1 0 1 0"/>',
      '<path id="b" d="M10 0H20V10H10Z" fill="#00ff00"/>',
    ].join('\n')), [['a', 'b']]);
    assert.equal(result.status, 1);
    assert.match(result.stderr, /"a" and "b" are both #00ff00/);
  });

  test('a malformed CMYK value is an input error', () => {
    const result = check(svg('<path id="a" d="M0 0H10V10H0Z" data-cmyk-fill="0 1 1"/>'), [['a', 'a']]);
    assert.equal(result.status, 2);
    assert.match(result.stderr, /malformed data-cmyk-fill/);
  });
});

describe('check-coloring on missing and grouped shapes', () => {
  test('a shape named by a pair but absent from the map fails the check', () => {
    const result = check(svg([
      '<path id="a" d="M0 0H10V10H0Z" fill="#ff0000"/>',
      '<path id="b" d="M10 0H20V10H10Z" fill="#00ff00"/>',
    ].join('\n')), [['a', 'b'], ['b', 'zz'], ['zz', 'a']]);
    assert.equal(result.status, 1);
    assert.equal(result.stdout, '1 pairs checked, 0 conflicts, 1 shapes missing or unusable (2 shapes, 2 colours)\n');
    assert.match(result.stderr, /shape "zz" is missing/);
  });

  test('a group with an id is one shape when its parts share a colour', () => {
    const result = check(svg([
      '<g id="a" fill="#ff0000"><path d="M0 0H10V10H0Z"/><path d="M0 10H10V20H0Z"/></g>',
      '<g id="b"><path d="M10 0H20V10H10Z" fill="#ff0000"/><path d="M10 10H20V20H10Z" fill="#00ff00"/></g>',
      '<path id="c" d="M20 0H30V10H20Z" fill="#ff0000"/>',
    ].join('\n')), [['a', 'c'], ['b', 'c']]);
    assert.equal(result.status, 1);
    assert.match(result.stderr, /"a" and "c" are both #ff0000/);
    assert.match(result.stderr, /shape "b" has parts of different colours/);
  });

  test('unreadable input is reported as such, not as a result', () => {
    const brokenMap = check('<svg><g id="a"><path id="b"/></svg>', [['a', 'b']]);
    assert.equal(brokenMap.status, 2);
    assert.match(brokenMap.stderr, /unexpected <\/svg>/);
    const duplicate = check(svg('<path id="a"/><path id="a"/>'), [['a', 'a']]);
    assert.equal(duplicate.status, 2);
    assert.match(duplicate.stderr, /id "a" appears more than once/);
    const noPairs = check(svg('<path id="a"/>'), { pairs: 'none' });
    assert.equal(noPairs.status, 2);
    assert.match(noPairs.stderr, /no "pairs" array/);
  });
});
