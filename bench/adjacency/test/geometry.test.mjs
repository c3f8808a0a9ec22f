import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { distinctVertices, removeSpikes, segmentContact, selfContacts } from '../lib/geometry.mjs';

describe('segment contacts', () => {
  test('crossing, touching, overlapping and separate segments', () => {
    assert.deepEqual(segmentContact([0, 0], [10, 10], [0, 10], [10, 0]), [5, 5]);
    // An end resting on the other segment's interior.
    assert.deepEqual(segmentContact([0, 0], [10, 0], [4, 0], [4, 5]), [4, 0]);
    // Collinear segments that overlap, and collinear ones with a gap.
    assert.notEqual(segmentContact([0, 0], [10, 0], [5, 0], [15, 0]), null);
    assert.equal(segmentContact([0, 0], [10, 0], [11, 0], [15, 0]), null);
    assert.equal(segmentContact([0, 0], [10, 0], [0, 1], [10, 1]), null);
  });
});

describe('ring clean-up', () => {
  test('repeated points and the closing point are dropped', () => {
    assert.deepEqual(distinctVertices([[0, 0], [1, 0], [1, 0], [1, 1], [0, 0]]), [[0, 0], [1, 0], [1, 1]]);
  });

  test('spikes are removed, including one that wraps past the start', () => {
    const square = [[0, 0], [10, 0], [10, 10], [0, 10]];
    // Out to (15, 0) and back along the bottom edge.
    assert.deepEqual(removeSpikes([[0, 0], [10, 0], [15, 0], [10, 0], [10, 10], [0, 10]]),
      { vertices: square, spikes: 1 });
    // A spike whose tip is the first vertex of the list.
    const wrapped = removeSpikes([[0, 15], [0, 10], [0, 0], [10, 0], [10, 10], [0, 10]]);
    assert.equal(wrapped.spikes, 1);
    assert.equal(wrapped.vertices.length, 4);
    // Up the right side to (10, 10), back down to (10, 5), then on up: the
    // part doubled back over is a spike, the rest a straight edge.
    assert.deepEqual(removeSpikes([[0, 0], [10, 0], [10, 10], [10, 5], [10, 20], [0, 20]]),
      { vertices: [[0, 0], [10, 0], [10, 5], [10, 20], [0, 20]], spikes: 1 });
  });

  test('a ring that is all spike collapses', () => {
    assert.ok(removeSpikes([[0, 0], [5, 5], [10, 10], [5, 5]]).vertices.length < 3);
  });
});

describe('self-intersection', () => {
  test('a bow tie crosses itself once', () => {
    const result = selfContacts([[0, 0], [10, 10], [10, 0], [0, 10]]);
    assert.equal(result.count, 1);
    assert.deepEqual(result.at, [5, 5]);
  });

  test('a ring pinched at a repeated vertex touches itself', () => {
    // Two squares joined at (10, 10), drawn as one ring.
    const result = selfContacts([[0, 0], [10, 0], [10, 10], [20, 10], [20, 20], [10, 20], [10, 10], [0, 10]]);
    assert.ok(result.count > 0);
    assert.deepEqual(result.at, [10, 10]);
  });

  test('simple rings have no contacts', () => {
    assert.equal(selfContacts([[0, 0], [10, 0], [10, 10], [0, 10]]).count, 0);
    // A concave ring whose edges come close without touching.
    assert.equal(selfContacts([[0, 0], [10, 0], [10, 10], [6, 10], [6, 1], [4, 1], [4, 10], [0, 10]]).count, 0);
  });
});
