// The document as the host's SVG export draws it, with zoom and pan, and
// the selection tool: a click picks an object, shift-click adds or takes
// it away, dragging a rectangle picks what it meets. The host decides.
const PX_PER_PT = 96 / 72;

export class View {
  constructor(view, sheet, img, overlay, act) {
    Object.assign(this, { view, sheet, img, overlay, act });
    this.zoom = 1;
    this.pan = { x: 20, y: 20 };
    this.doc = null;
    this.drawingId = null;
    // The last few drawings by their ids (which follow their bytes): an undo
    // or a return to another document shows one without fetching it again.
    this.drawings = new Map();
    this.fitted = null;
    view.addEventListener('wheel', (e) => this.wheel(e), { passive: false });
    view.addEventListener('mousedown', (e) => this.down(e));
    view.querySelector('#zoom-in')?.addEventListener('click', () => this.zoomBy(1.25));
    view.querySelector('#zoom-out')?.addEventListener('click', () => this.zoomBy(0.8));
    view.querySelector('#zoom-fit')?.addEventListener('click', () => this.fit());
    addEventListener('keydown', (e) => (this.space = e.code === 'Space' ? true : this.space));
    addEventListener('keyup', (e) => (this.space = e.code === 'Space' ? false : this.space));
  }

  show(doc) {
    this.doc = doc;
    this.sheet.hidden = !doc;
    if (!doc) return;
    const [left, top, width, height] = doc.artboard;
    this.sheet.style.width = width * PX_PER_PT + 'px';
    this.sheet.style.height = height * PX_PER_PT + 'px';
    // The drawing takes in art beyond the artboard: it may reach past the
    // white sheet on any side.
    const [bl, bt, bw, bh] = doc.drawingBox || doc.artboard;
    Object.assign(this.img.style, {
      left: (bl - left) * PX_PER_PT + 'px', top: (top - bt) * PX_PER_PT + 'px',
      width: bw * PX_PER_PT + 'px', height: bh * PX_PER_PT + 'px',
    });
    if (doc.svg !== this.drawingId) {
      this.drawingId = doc.svg;
      this.load(doc.svg);
    }
    if (this.fitted !== doc.title) {
      this.fitted = doc.title;
      this.fit();
    }
    this.overlay.setAttribute('viewBox', `${left} ${-top} ${width} ${height}`);
    this.overlay.setAttribute('preserveAspectRatio', 'none');
    this.overlay.replaceChildren();
    // One outline for the whole selection, however many objects it holds.
    if (doc.selection.length) {
      const d = doc.selection.map(([l, t, r, b]) =>
        `M${Math.min(l, r)} ${-Math.max(t, b)}H${Math.max(l, r)}V${-Math.min(t, b)}H${Math.min(l, r)}Z`).join('');
      const outline = document.createElementNS('http://www.w3.org/2000/svg', 'path');
      outline.setAttribute('d', d);
      outline.setAttribute('class', 'selected');
      this.overlay.append(outline);
    }
  }

  async load(id) {
    let url = this.drawings.get(id);
    if (!url) {
      const response = await fetch('api/document.svg?v=' + encodeURIComponent(id));
      const blob = await response.blob();
      // The server sends the drawing it has now, which may be newer.
      const got = response.headers.get('X-Drawing') || id;
      url = URL.createObjectURL(blob);
      this.drawings.set(got, url);
      for (const [old, oldUrl] of this.drawings) {
        if (this.drawings.size <= 4) break;
        if (old === this.drawingId || old === got) continue;
        URL.revokeObjectURL(oldUrl);
        this.drawings.delete(old);
      }
      if (got !== id) return;
    }
    if (this.drawingId !== id) return;
    this.img.src = url;
    try {
      await this.img.decode();
    } catch {
      // A drawing the browser cannot show leaves the sheet blank.
    }
    // Shown: what the tests and the benchmark wait for.
    if (this.drawingId === id) document.body.dataset.drawing = id;
  }

  rect(l, t, r, b, className) {
    const e = document.createElementNS('http://www.w3.org/2000/svg', 'rect');
    e.setAttribute('x', Math.min(l, r));
    e.setAttribute('y', -Math.max(t, b));
    e.setAttribute('width', Math.abs(r - l));
    e.setAttribute('height', Math.abs(t - b));
    e.setAttribute('class', className);
    this.overlay.append(e);
    return e;
  }

  place() {
    this.sheet.style.transform = `translate(${this.pan.x}px, ${this.pan.y}px) scale(${this.zoom})`;
  }

  fit() {
    if (!this.doc) return;
    const [, , width, height] = this.doc.artboard;
    const box = this.view.getBoundingClientRect();
    this.zoom = Math.min((box.width - 40) / (width * PX_PER_PT), (box.height - 40) / (height * PX_PER_PT)) || 1;
    this.pan = { x: (box.width - width * PX_PER_PT * this.zoom) / 2, y: (box.height - height * PX_PER_PT * this.zoom) / 2 };
    this.place();
  }

  zoomBy(factor, at) {
    const box = this.view.getBoundingClientRect();
    const p = at || { x: box.width / 2, y: box.height / 2 };
    const next = Math.max(0.05, Math.min(64, this.zoom * factor));
    this.pan.x = p.x - ((p.x - this.pan.x) * next) / this.zoom;
    this.pan.y = p.y - ((p.y - this.pan.y) * next) / this.zoom;
    this.zoom = next;
    this.place();
  }

  wheel(e) {
    e.preventDefault();
    const box = this.view.getBoundingClientRect();
    this.zoomBy(e.deltaY < 0 ? 1.15 : 1 / 1.15, { x: e.clientX - box.left, y: e.clientY - box.top });
  }

  // The page point (y up) at the middle of what the view shows.
  centre() {
    if (!this.doc) return null;
    const box = this.view.getBoundingClientRect();
    return this.toPage(box.left + box.width / 2, box.top + box.height / 2);
  }

  // Page points (y up) under a point of the window.
  toPage(clientX, clientY) {
    const box = this.view.getBoundingClientRect();
    const [left, top] = this.doc.artboard;
    const x = (clientX - box.left - this.pan.x) / this.zoom / PX_PER_PT;
    const y = (clientY - box.top - this.pan.y) / this.zoom / PX_PER_PT;
    return { x: left + x, y: top - y };
  }

  down(e) {
    if (!this.doc || e.target.closest('#zoom')) return;
    e.preventDefault();
    this.view.focus();
    const start = { x: e.clientX, y: e.clientY };
    if (e.button === 1 || this.space || e.altKey) {
      const pan0 = { ...this.pan };
      const move = (m) => {
        this.pan = { x: pan0.x + m.clientX - start.x, y: pan0.y + m.clientY - start.y };
        this.place();
      };
      const up = () => {
        removeEventListener('mousemove', move);
        removeEventListener('mouseup', up);
      };
      addEventListener('mousemove', move);
      addEventListener('mouseup', up);
      return;
    }
    if (e.button !== 0) return;
    const from = this.toPage(e.clientX, e.clientY);
    let band = null;
    const move = (m) => {
      if (!band && Math.hypot(m.clientX - start.x, m.clientY - start.y) < 4) return;
      const to = this.toPage(m.clientX, m.clientY);
      band?.remove();
      band = this.rect(from.x, from.y, to.x, to.y, 'band');
    };
    const up = (u) => {
      removeEventListener('mousemove', move);
      removeEventListener('mouseup', up);
      const extend = u.shiftKey;
      if (band) {
        band.remove();
        const to = this.toPage(u.clientX, u.clientY);
        this.act({ do: 'drag', left: Math.min(from.x, to.x), right: Math.max(from.x, to.x),
                   top: Math.max(from.y, to.y), bottom: Math.min(from.y, to.y), extend });
      } else {
        const tolerance = 3 / (this.zoom * PX_PER_PT);
        this.act({ do: 'select', x: from.x, y: from.y, tolerance, extend });
      }
    };
    addEventListener('mousemove', move);
    addEventListener('mouseup', up);
  }
}
