// Planar geometry on rings of points [x, y]: clean-up of repeated points and
// zero-width spikes, and detection of rings that cross or touch themselves.

// Drops repeated consecutive points and the closing copy of the first point,
// leaving each vertex of the ring once.
export function distinctVertices(ring) {
  const out = [];
  for (const point of ring) {
    const last = out[out.length - 1];
    if (!last || last[0] !== point[0] || last[1] !== point[1]) out.push(point);
  }
  while (out.length > 1 && out[0][0] === out[out.length - 1][0] && out[0][1] === out[out.length - 1][1]) {
    out.pop();
  }
  return out;
}

function orientation(a, b, c) {
  const value = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
  return value > 0 ? 1 : value < 0 ? -1 : 0;
}

// True when c, known to be collinear with segment ab, lies within its box.
function onSegment(a, b, c) {
  return Math.min(a[0], b[0]) <= c[0] && c[0] <= Math.max(a[0], b[0]) &&
    Math.min(a[1], b[1]) <= c[1] && c[1] <= Math.max(a[1], b[1]);
}

// Where segments ab and cd meet, or null when they do not. For segments that
// overlap along a line, one of the shared points is returned.
export function segmentContact(a, b, c, d) {
  const o1 = orientation(a, b, c);
  const o2 = orientation(a, b, d);
  const o3 = orientation(c, d, a);
  const o4 = orientation(c, d, b);
  if (o1 !== o2 && o3 !== o4) {
    if (o1 === 0) return c;
    if (o2 === 0) return d;
    if (o3 === 0) return a;
    if (o4 === 0) return b;
    const denominator = (b[0] - a[0]) * (d[1] - c[1]) - (b[1] - a[1]) * (d[0] - c[0]);
    const t = ((c[0] - a[0]) * (d[1] - c[1]) - (c[1] - a[1]) * (d[0] - c[0])) / denominator;
    return [a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])];
  }
  if (o1 === 0 && onSegment(a, b, c)) return c;
  if (o2 === 0 && onSegment(a, b, d)) return d;
  if (o3 === 0 && onSegment(c, d, a)) return a;
  if (o4 === 0 && onSegment(c, d, b)) return b;
  return null;
}

// True when the path a -> b -> c turns back on itself at b, so that b is
// the tip of a spike of zero width.
function doublesBack(a, b, c) {
  if (orientation(a, b, c) !== 0) return false;
  return (b[0] - a[0]) * (c[0] - b[0]) + (b[1] - a[1]) * (c[1] - b[1]) < 0;
}

function samePoint(a, b) {
  return a[0] === b[0] && a[1] === b[1];
}

// Removes the tips of zero-width spikes from a ring of distinct consecutive
// vertices (see distinctVertices) until none is left; a spike encloses no
// area, so the filled shape stays the same. Returns the remaining vertices
// and the number of tips removed.
export function removeSpikes(vertices) {
  const points = vertices.slice();
  let spikes = 0;
  let index = 0;
  let unchanged = 0;
  while (points.length >= 3 && unchanged < points.length) {
    const n = points.length;
    const at = index % n;
    if (doublesBack(points[(at + n - 1) % n], points[at], points[(at + 1) % n])) {
      points.splice(at, 1);
      spikes += 1;
      // The spike's base may now appear twice in a row.
      const m = points.length;
      if (m > 1 && samePoint(points[(at + m - 1) % m], points[at % m])) points.splice(at % m, 1);
      index = Math.max(at - 1, 0);
      unchanged = 0;
    } else {
      index = at + 1;
      unchanged += 1;
    }
  }
  return { vertices: points, spikes };
}

// Finds the places where a ring of distinct vertices without spikes crosses
// or touches itself: two edges that do not follow each other but share a
// point. Returns the number of such edge pairs and the first contact found.
//
// Edges are swept in order of their left end, so only edges whose x ranges
// overlap are compared. Exact for integer coordinates below 2^26.
export function selfContacts(vertices) {
  const n = vertices.length;
  const result = { count: 0, at: null };
  if (n < 4) return result;
  const note = (point) => {
    result.count += 1;
    if (!result.at) result.at = [point[0], point[1]];
  };

  const edges = [];
  for (let i = 0; i < n; i += 1) {
    const a = vertices[i];
    const b = vertices[(i + 1) % n];
    edges.push({
      index: i, a, b,
      minX: Math.min(a[0], b[0]), maxX: Math.max(a[0], b[0]),
      minY: Math.min(a[1], b[1]), maxY: Math.max(a[1], b[1]),
    });
  }
  edges.sort((e, f) => e.minX - f.minX || e.index - f.index);

  let active = [];
  for (const edge of edges) {
    active = active.filter((other) => other.maxX >= edge.minX);
    for (const other of active) {
      const gap = Math.abs(edge.index - other.index);
      if (gap === 1 || gap === n - 1) continue;
      if (other.maxY < edge.minY || other.minY > edge.maxY) continue;
      const contact = segmentContact(edge.a, edge.b, other.a, other.b);
      if (contact) note(contact);
    }
    active.push(edge);
  }
  return result;
}
