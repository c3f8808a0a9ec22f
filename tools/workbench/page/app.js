// The workbench page: the host's window in the browser.
import { send, upload, follow } from './api.js';
import { drawWindow, fitTexts } from './windows.js';
import { fileChooser } from './files.js';
import { View } from './view.js';

const $ = (id) => document.getElementById(id);
let state = null;
let pageModal = null;  // the page's own open or save chooser
// Where the user put each panel, kept for the tab's life so that a reload
// leaves the panels where they were.
const panelPlaces = (() => {
  try {
    return new Map(JSON.parse(sessionStorage.getItem('panelPlaces') || '[]'));
  } catch {
    return new Map();
  }
})();

// Inputs go one after the other, in the order the user made them.
let chain = Promise.resolve();
export function act(input) {
  chain = chain.then(() => send(input)).then(
    () => showError(''),
    (e) => showError(e.message),
  );
  return chain;
}

function showError(text) {
  $('error').textContent = text;
}

const view = new View($('view'), $('sheet'), $('drawing'), $('overlay'), act);

// ---------------------------------------------------------------- menus

function closeMenus() {
  for (const m of document.querySelectorAll('.menu.open')) m.classList.remove('open');
}
document.addEventListener('click', (e) => {
  if (!e.target.closest('.menu')) closeMenus();
});

function menuList(items) {
  const list = document.createElement('ul');
  list.className = 'items';
  for (const item of items) {
    const li = document.createElement('li');
    if (item.separator) {
      li.className = 'separator';
      list.append(li);
      continue;
    }
    li.className = 'item';
    li.textContent = item.text;
    li.dataset.id = item.id;
    if (!item.enabled) li.classList.add('disabled');
    if (item.checked) li.classList.add('checked');
    if (item.submenu) {
      li.classList.add('sub');
      li.append(menuList(item.submenu));
    } else {
      li.addEventListener('click', (e) => {
        e.stopPropagation();
        if (!item.enabled) return;
        closeMenus();
        act({ do: 'menu', id: item.id, text: item.text });
      });
    }
    list.append(li);
  }
  return list;
}

function drawMenus(menus) {
  const openName = document.querySelector('.menu.open')?.dataset.menu;
  const nav = $('menus');
  nav.replaceChildren();
  for (const menu of menus) {
    const entry = document.createElement('div');
    entry.className = 'menu';
    entry.dataset.menu = menu.menu;
    const button = document.createElement('button');
    button.textContent = menu.menu;
    button.addEventListener('click', () => {
      const open = entry.classList.contains('open');
      closeMenus();
      if (!open) entry.classList.add('open');
    });
    entry.append(button, menuList(menu.items));
    if (menu.menu === openName) entry.classList.add('open');
    nav.append(entry);
  }
}

// ---------------------------------------------------------------- side

// The layer list's eye and padlock, drawn (no font has to have them).
const EYE = 'M1 8 C4 3 12 3 15 8 C12 13 4 13 1 8 Z M8 5.5 A2.5 2.5 0 1 0 8 10.5 A2.5 2.5 0 1 0 8 5.5 Z';
const LOCK = 'M4 7 V5 A4 4 0 0 1 12 5 V7 H10.5 V5 A2.5 2.5 0 0 0 5.5 5 V7 Z M3 7 H13 V14 H3 Z';
function icon(path) {
  const svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
  svg.setAttribute('viewBox', '0 0 16 16');
  svg.setAttribute('width', '14');
  svg.setAttribute('height', '14');
  svg.setAttribute('aria-hidden', 'true');
  const p = document.createElementNS('http://www.w3.org/2000/svg', 'path');
  p.setAttribute('d', path);
  p.setAttribute('fill-rule', 'evenodd');
  svg.append(p);
  return svg;
}

function drawSide(s) {
  const docs = $('documents');
  docs.replaceChildren();
  s.documents.forEach((d, i) => {
    const li = document.createElement('li');
    li.textContent = d.title;
    if (d.current) li.className = 'current';
    li.addEventListener('click', () => act({ do: 'switch', index: i }));
    docs.append(li);
  });
  const layers = $('layers');
  layers.replaceChildren();
  (s.document?.layers || []).forEach((layer, index) => {
    const li = document.createElement('li');
    li.className = 'layer' + (layer.current ? ' current' : '');
    li.style.paddingLeft = 2 + layer.depth * 14 + 'px';
    const eye = document.createElement('button');
    eye.className = 'visible';
    if (layer.visible) eye.append(icon(EYE));
    eye.title = layer.visible ? '隠す' : '表示';
    eye.addEventListener('click', () => act({ do: 'layer', index, visible: !layer.visible }));
    const lock = document.createElement('button');
    lock.className = 'lock';
    if (layer.locked) lock.append(icon(LOCK));
    lock.title = layer.locked ? 'ロック解除' : 'ロック';
    lock.addEventListener('click', () => act({ do: 'layer', index, locked: !layer.locked }));
    const title = document.createElement('span');
    title.className = 'title';
    title.textContent = layer.title;
    title.addEventListener('click', () => act({ do: 'layer', index, current: true }));
    li.append(eye, lock, title);
    layers.append(li);
  });
  const panelList = $('panel-list');
  panelList.replaceChildren();
  for (const panel of s.panels) {
    const li = document.createElement('li');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.checked = panel.shown;
    box.addEventListener('change', () => act({ do: 'panel', panel: panel.title, show: box.checked }));
    const label = document.createElement('label');
    label.append(box, ' ', panel.title);
    li.append(label);
    panelList.append(li);
  }
}

// ---------------------------------------------------------------- panels

function drawPanels(s) {
  const layer = $('panels');
  layer.replaceChildren();
  // New panels are stacked down the right edge of the window, each wholly
  // inside it.
  let nextTop = 70;
  s.panels.forEach((panel) => {
    if (!panel.shown) return;
    const frame = drawWindow(panel, (m) => act({ do: 'dialog', ...m }), {
      title: panel.title,
      onClose: () => act({ do: 'panel', panel: panel.title, show: false }),
    });
    frame.classList.add('floating', 'panel');
    frame.dataset.panel = panel.title;
    frame.style.visibility = 'hidden';
    layer.append(frame);
    fitTexts(frame);
    const width = frame.offsetWidth, height = frame.offsetHeight;
    const place = panelPlaces.get(panel.title) || { x: window.innerWidth - width - 12, y: nextTop };
    nextTop = Math.max(nextTop, place.y + height + 10);
    frame.style.left = Math.max(0, Math.min(place.x, window.innerWidth - width)) + 'px';
    frame.style.top = Math.max(0, Math.min(place.y, window.innerHeight - 30)) + 'px';
    frame.style.visibility = '';
    dragByCaption(frame, panel.title);
    if (panel.resizable) resizeByGrip(frame, panel);
  });
}

// The panel's frame as drawn now: a drag outlives the frame it began on
// when the host's state changes meanwhile.
function panelFrame(title) {
  return $('panels').querySelector(`.window.panel[data-panel="${CSS.escape(title)}"]`);
}

// A resizable panel has a grip at its lower right corner. The host gets the
// size when the drag ends; it keeps the panel's minimum and the panel lays
// its controls out anew.
function resizeByGrip(frame, panel) {
  const grip = document.createElement('div');
  grip.className = 'grip';
  frame.append(grip);
  grip.addEventListener('mousedown', (e) => {
    e.preventDefault();
    const start = { x: e.clientX, y: e.clientY };
    let size = { width: panel.width, height: panel.height };
    const move = (m) => {
      size = {
        width: Math.max(1, Math.round(panel.width + m.clientX - start.x)),
        height: Math.max(1, Math.round(panel.height + m.clientY - start.y)),
      };
      const client = panelFrame(panel.title)?.querySelector('.client');
      if (!client) return;
      client.style.width = size.width + 'px';
      client.style.height = size.height + 'px';
    };
    followMouse(move, () => {
      if (size.width !== panel.width || size.height !== panel.height)
        act({ do: 'panel', panel: panel.title, width: size.width, height: size.height });
    });
  });
}

function dragByCaption(frame, title) {
  const caption = frame.querySelector('.caption');
  caption.addEventListener('mousedown', (e) => {
    if (e.target.tagName === 'BUTTON') return;
    const start = { x: e.clientX - frame.offsetLeft, y: e.clientY - frame.offsetTop };
    const move = (m) => {
      const place = { x: m.clientX - start.x, y: m.clientY - start.y };
      panelPlaces.set(title, place);
      const now = panelFrame(title);
      if (!now) return;
      now.style.left = place.x + 'px';
      now.style.top = place.y + 'px';
    };
    followMouse(move, () => sessionStorage.setItem('panelPlaces', JSON.stringify([...panelPlaces])));
  });
}

// Follows the mouse from a press until the button is let go.
function followMouse(move, done) {
  const up = () => {
    removeEventListener('mousemove', move);
    removeEventListener('mouseup', up);
    done();
  };
  addEventListener('mousemove', move);
  addEventListener('mouseup', up);
}

// ---------------------------------------------------------------- modal

function button(text, onClick, className) {
  const b = document.createElement('button');
  b.textContent = text;
  if (className) b.className = className;
  b.addEventListener('click', onClick);
  return b;
}

function boxWindow(title, body, buttons, className) {
  const frame = document.createElement('div');
  frame.className = 'window ' + className;
  const caption = document.createElement('div');
  caption.className = 'caption';
  caption.textContent = title;
  const row = document.createElement('div');
  row.className = 'buttons';
  row.append(...buttons);
  frame.append(caption, ...body, row);
  return frame;
}

function drawModal(s) {
  const modal = $('modal');
  const stack = document.createElement('div');
  stack.className = 'stack';
  let focusLater = null;
  if (s.box) {
    const text = document.createElement('div');
    text.className = 'text';
    text.textContent = s.box.text;
    const buttons = s.box.kind === 'question'
      ? [button('はい', () => act({ do: 'answer', yes: true }), 'yes'), button('いいえ', () => act({ do: 'answer', yes: false }), 'no')]
      : [button('OK', () => act({ do: 'answer' }), 'ok')];
    stack.append(boxWindow('Orbalis', [text], buttons, 'box ' + s.box.kind));
    focusLater = () => buttons[0].focus();
  } else if (s.dialogs.length) {
    for (const dialog of s.dialogs) {
      const frame = drawWindow(dialog, (m) => act({ do: 'dialog', ...m }), {
        onChooseFile: (path) => act({ do: 'file', path }),
      });
      frame.classList.add('dialog');
      stack.append(frame);
      focusLater = frame.focusLater || focusLater;
    }
  } else if (s.progress) {
    const text = document.createElement('div');
    text.className = 'text';
    text.textContent = s.progress.text || s.running;
    const track = document.createElement('div');
    track.className = 'track';
    const fill = document.createElement('div');
    fill.className = 'fill';
    const max = s.progress.maximum;
    fill.style.width = max > 0 ? Math.min(100, (100 * s.progress.value) / max) + '%' : '0';
    track.append(fill);
    const cancel = button(s.progress.cancelling ? 'キャンセル中...' : 'キャンセル', () => act({ do: 'cancel' }), 'cancel');
    cancel.disabled = s.progress.cancelling;
    stack.append(boxWindow(s.running, [text, track], [cancel], 'progress'));
  } else if (pageModal) {
    stack.append(pageModal);
  }
  modal.hidden = stack.children.length === 0;
  modal.replaceChildren(stack);
  for (const frame of stack.children) fitTexts(frame);
  if (focusLater) focusLater();
}

function openChooser(save) {
  const suggested = save ? (state?.document?.title || 'map.svg').replace(/^.*\//, '') : '';
  const chooser = fileChooser({
    save,
    suggested,
    onChoose: (path) => {
      pageModal = null;
      act({ do: save ? 'save' : 'open', path }).then(() => drawModal(state));
    },
  });
  pageModal = boxWindow(save ? '別名で保存' : '開く', [chooser], [button('キャンセル', () => {
    pageModal = null;
    drawModal(state);
  })], 'chooser');
  drawModal(state);
}

// ---------------------------------------------------------------- state

function show(s) {
  state = s;
  document.body.classList.toggle('dark', s.dark);
  $('dark').checked = s.dark;
  drawMenus(s.menus);
  drawSide(s);
  drawPanels(s);
  drawModal(s);
  view.show(s.document);
  const undo = $('undo');
  undo.disabled = !s.undo || !!s.running;
  undo.title = s.undo ? '取り消す: ' + s.undo : '';
  $('notice').textContent = s.running ? s.running + ' を実行中' : s.notice;
  document.body.dataset.version = s.version;
  document.body.dataset.busy = s.running ? 'yes' : '';
}

$('undo').addEventListener('click', () => act({ do: 'undo' }));
$('open').addEventListener('click', () => openChooser(false));
$('save').addEventListener('click', () => openChooser(true));
$('upload').addEventListener('change', async (e) => {
  const file = e.target.files[0];
  e.target.value = '';
  if (!file) return;
  try {
    await upload(file);
    showError('');
  } catch (err) {
    showError(err.message);
  }
});
$('download-svg').href = 'api/download?format=svg';
$('download-json').href = 'api/download?format=json';
$('dark').addEventListener('change', (e) => act({ do: 'theme', dark: e.target.checked }));

follow(show);
