// Reads the fill colour of every element with an id from SVG text.
//
// A shape's colour is its CMYK fill when the exporter wrote one
// (data-cmyk-fill="c m y k"), otherwise its painted fill: the fill attribute
// or style property of the element or its nearest ancestor that sets one,
// black when none does, as in SVG. A group with an id takes the colour its
// shapes share; when they differ its colour is "mixed".

const SHAPE_ELEMENTS = new Set(['path', 'polygon', 'rect', 'circle', 'ellipse', 'polyline', 'line']);

// The basic CSS colour keywords, so that "red" and "#ff0000" compare equal.
const NAMED_COLOURS = {
  black: '#000000', silver: '#c0c0c0', gray: '#808080', grey: '#808080', white: '#ffffff',
  maroon: '#800000', red: '#ff0000', purple: '#800080', fuchsia: '#ff00ff', magenta: '#ff00ff',
  green: '#008000', lime: '#00ff00', olive: '#808000', yellow: '#ffff00', navy: '#000080',
  blue: '#0000ff', teal: '#008080', aqua: '#00ffff', cyan: '#00ffff', orange: '#ffa500',
};

const ENTITIES = { amp: '&', lt: '<', gt: '>', quot: '"', apos: "'" };

function decodeEntities(text) {
  return text.replace(/&(#x[0-9a-fA-F]+|#[0-9]+|[a-z]+);/g, (whole, name) => {
    if (name[0] === '#') {
      const code = name[1] === 'x' ? parseInt(name.slice(2), 16) : parseInt(name.slice(1), 10);
      return Number.isFinite(code) && code <= 0x10ffff ? String.fromCodePoint(code) : whole;
    }
    return ENTITIES[name] ?? whole;
  });
}

function parseAttributes(text, where) {
  const attributes = new Map();
  const pattern = /([^\s=/]+)\s*=\s*(?:"([^"]*)"|'([^']*)')/g;
  for (const match of text.matchAll(pattern)) {
    attributes.set(match[1], decodeEntities(match[2] ?? match[3]));
  }
  const rest = text.replace(pattern, '').replace(/\/\s*$/, '').trim();
  if (rest !== '') throw new Error(`malformed attributes near "${rest.slice(0, 40)}" at offset ${where}`);
  return attributes;
}

function hexByte(value) {
  return Math.max(0, Math.min(255, Math.round(value))).toString(16).padStart(2, '0');
}

// A canonical spelling of a CSS colour, so equal colours compare equal.
export function normaliseColour(value) {
  const text = value.trim().toLowerCase();
  if (/^#[0-9a-f]{3}$/.test(text)) return `#${[...text.slice(1)].map((c) => c + c).join('')}`;
  if (/^#[0-9a-f]{6}$/.test(text)) return text;
  const rgb = /^rgb\(\s*([^,\s]+)\s*,\s*([^,\s]+)\s*,\s*([^,\s)]+)\s*\)$/.exec(text);
  if (rgb) {
    const channel = (part) => (part.endsWith('%') ? (parseFloat(part) * 255) / 100 : parseFloat(part));
    const channels = rgb.slice(1, 4).map(channel);
    if (channels.every(Number.isFinite)) return `#${channels.map(hexByte).join('')}`;
  }
  return NAMED_COLOURS[text] ?? text;
}

function parseCmyk(value, id) {
  const parts = value.trim().split(/[\s,]+/).map(Number);
  if (parts.length !== 4 || !parts.every(Number.isFinite)) {
    throw new Error(`shape "${id}" has a malformed data-cmyk-fill "${value}"`);
  }
  // Written values are rounded, so compare to a millionth of the scale.
  return parts.map((v) => String(Math.round(v * 1e6) / 1e6)).join(' ');
}

function fillOf(attributes) {
  const style = attributes.get('style');
  if (style) {
    const declaration = /(?:^|;)\s*fill\s*:\s*([^;]+)/i.exec(style);
    if (declaration) return declaration[1].trim();
  }
  return attributes.get('fill');
}

function* tags(text) {
  let position = 0;
  while (position < text.length) {
    const open = text.indexOf('<', position);
    if (open < 0) return;
    if (text.startsWith('<!--', open)) {
      const end = text.indexOf('-->', open + 4);
      if (end < 0) throw new Error(`unterminated comment at offset ${open}`);
      position = end + 3;
    } else if (text.startsWith('<![CDATA[', open)) {
      const end = text.indexOf(']]>', open + 9);
      if (end < 0) throw new Error(`unterminated CDATA section at offset ${open}`);
      position = end + 3;
    } else if (text.startsWith('<?', open)) {
      const end = text.indexOf('?>', open + 2);
      if (end < 0) throw new Error(`unterminated processing instruction at offset ${open}`);
      position = end + 2;
    } else if (text.startsWith('<!', open)) {
      // A document type declaration, possibly with an internal subset.
      const subset = text.indexOf('[', open);
      const close = text.indexOf('>', open);
      if (close < 0) throw new Error(`unterminated declaration at offset ${open}`);
      const end = subset >= 0 && subset < close ? text.indexOf(']>', subset) + 1 : close;
      if (end <= 0) throw new Error(`unterminated declaration at offset ${open}`);
      position = end + 1;
    } else {
      // Attribute values may contain '>', so find the end of the tag by quotes.
      let end = open + 1;
      let quote = null;
      for (; end < text.length; end += 1) {
        const c = text[end];
        if (quote) {
          if (c === quote) quote = null;
        } else if (c === '"' || c === "'") {
          quote = c;
        } else if (c === '>') {
          break;
        }
      }
      if (end >= text.length) throw new Error(`unterminated tag at offset ${open}`);
      const body = text.slice(open + 1, end);
      position = end + 1;
      if (body.startsWith('/')) {
        yield { kind: 'close', name: body.slice(1).trim(), offset: open };
      } else {
        const name = /^[^\s/>]+/.exec(body)?.[0];
        if (!name) throw new Error(`malformed tag at offset ${open}`);
        yield {
          kind: 'open',
          name,
          attributes: parseAttributes(body.slice(name.length), open),
          selfClosing: body.trimEnd().endsWith('/'),
          offset: open,
        };
      }
    }
  }
}

// Returns a Map from id to { element, cmyk, fill } where cmyk is a canonical
// "c m y k" string or null and fill a canonical colour (or "mixed" for a group
// whose shapes differ). Throws on malformed markup or duplicate ids.
export function readFills(text) {
  const shapes = new Map();
  const stack = [];            // { name, fill, group } of the open elements
  const openGroups = [];       // groups with ids whose shapes are being collected

  const localName = (name) => name.slice(name.indexOf(':') + 1);
  for (const tag of tags(text)) {
    if (tag.kind === 'close') {
      const top = stack.pop();
      if (!top || top.name !== tag.name) {
        throw new Error(`unexpected </${tag.name}> at offset ${tag.offset}`);
      }
      if (top.group) openGroups.pop();
      continue;
    }
    const { attributes } = tag;
    const element = localName(tag.name);
    const inherited = stack.length ? stack[stack.length - 1].fill : 'black';
    const fill = fillOf(attributes) ?? inherited;
    const id = attributes.get('id');
    let group = null;
    if (id !== undefined) {
      if (shapes.has(id)) throw new Error(`id "${id}" appears more than once`);
      if (element === 'g') {
        group = { element, cmyk: null, fill: null, cmykSet: new Set(), fillSet: new Set(), shapeCount: 0 };
        shapes.set(id, group);
      } else {
        const cmykText = attributes.get('data-cmyk-fill');
        shapes.set(id, { element, cmyk: cmykText ? parseCmyk(cmykText, id) : null, fill: normaliseColour(fill) });
      }
    }
    if (SHAPE_ELEMENTS.has(element)) {
      const cmykText = attributes.get('data-cmyk-fill');
      const cmyk = cmykText ? parseCmyk(cmykText, id ?? element) : null;
      for (const owner of openGroups) {
        owner.shapeCount += 1;
        owner.cmykSet.add(cmyk);
        owner.fillSet.add(normaliseColour(fill));
      }
    }
    if (group) openGroups.push(group);
    if (!tag.selfClosing) stack.push({ name: tag.name, fill, group: Boolean(group) });
    else if (group) openGroups.pop();
  }
  if (stack.length) throw new Error(`<${stack[stack.length - 1].name}> is never closed`);

  for (const shape of shapes.values()) {
    if (!shape.fillSet) continue;
    const [cmyk] = shape.cmykSet;
    shape.cmyk = shape.cmykSet.size === 1 && cmyk !== null ? cmyk : shape.cmykSet.size > 1 ? 'mixed' : null;
    const [fill] = shape.fillSet;
    shape.fill = shape.fillSet.size === 1 ? fill : shape.fillSet.size > 1 ? 'mixed' : null;
    delete shape.cmykSet;
    delete shape.fillSet;
  }
  return shapes;
}
