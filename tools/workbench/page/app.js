// The workbench page: the host's window in the browser.
import { send, upload, follow } from './api.js';
import { drawWindow, fitTexts, dialogKey, holdFields, restoreFields, keepFileDialogs, Frames, setChildren } from './windows.js';
import { fileChooser } from './files.js';
import { View } from './view.js';
import { words, wordPage } from './words.js';

wordPage();

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

// Inputs go one after the other, in the order the user made them. A
// refusal is shown as what could not be done, in the page's language, with
// the host's reason after it.
let chain = Promise.resolve();
export function act(input) {
  ++unanswered;
  chain = chain.then(() => send(input)).then(
    (reply) => {
      answered(reply.version);
      showError(null);
    },
    (e) => {
      answered(e.version);
      showError(e, input.do);
    },
  );
  return chain;
}

// The inputs sent and not yet answered, and the first state that shows
// every answered one: a state before it is behind what the page shows.
let unanswered = 0;
let answeredAt = 0;
let drawnBehind = false;
const behind = (s) => unanswered > 0 || (s?.version ?? 0) < answeredAt;

function answered(version) {
  --unanswered;
  answeredAt = Math.max(answeredAt, version || 0);
  // The state shown may have come before the answer, when the windows kept
  // the page's text and focus: now it is known to show every input, it is
  // drawn again with the window tree's.
  if (!unanswered && drawnBehind && state && !behind(state)) {
    drawnBehind = false;
    drawPanels(state);
    drawModal(state);
  }
}

// A refusal in the user's words, the server's own line under the pointer;
// a reason the page does not know is shown as the server says it.
function showError(refusal, what) {
  const error = $('error');
  error.title = refusal ? refusal.message : '';
  if (!refusal) return (error.textContent = '');
  $('notice').textContent = '';
  const reason = words.reasons[refusal.reason];
  error.textContent = `${words.failures[what] || words.failures.other}: ${reason ? reason(refusal.detail) : refusal.message}`;
}

const view = new View($('view'), $('sheet'), $('drawing'), $('overlay'), act);

// ---------------------------------------------------------------- menus

function closeMenus() {
  for (const m of document.querySelectorAll('.menu.open, .item.open')) m.classList.remove('open');
  for (const a of document.querySelectorAll('.item.active')) a.classList.remove('active');
}

// The keyboard in the menus, as in a desktop program: Up and Down go along
// the open list, Right opens a submenu (or the next menu), Left closes it
// (or goes to the previous menu), Enter chooses, Escape closes one level.
function menuKey(e) {
  const open = document.querySelector('.menu.open');
  if (!open) return false;
  const lists = [open.querySelector(':scope > .items'), ...open.querySelectorAll('.item.sub.open > .items')];
  const list = lists[lists.length - 1];
  const items = [...list.querySelectorAll(':scope > .item')];
  const active = list.querySelector(':scope > .item.active');
  const activate = (item) => {
    for (const a of list.querySelectorAll(':scope > .item.active')) a.classList.remove('active');
    item?.classList.add('active');
    item?.scrollIntoView({ block: 'nearest' });
  };
  const step = (by) => {
    if (!items.length) return;
    let at = items.indexOf(active);
    for (let k = 0; k < items.length; ++k) {
      at = (at + by + items.length) % items.length;
      if (!items[at].classList.contains('disabled')) return activate(items[at]);
    }
  };
  const otherMenu = (by) => {
    const menus = [...document.querySelectorAll('.menu')];
    const next = menus[(menus.indexOf(open) + by + menus.length) % menus.length];
    closeMenus();
    next.classList.add('open');
    next.querySelector('button').focus();
    const first = next.querySelector(':scope > .items > .item:not(.disabled)');
    first?.classList.add('active');
  };
  switch (e.key) {
    case 'ArrowDown': step(1); break;
    case 'ArrowUp': step(-1); break;
    case 'ArrowRight':
      if (active?.classList.contains('sub') && !active.classList.contains('disabled')) {
        active.classList.add('open');
        active.querySelector(':scope > .items > .item:not(.disabled)')?.classList.add('active');
      } else otherMenu(1);
      break;
    case 'ArrowLeft':
      if (lists.length > 1) {
        const parent = list.parentElement;
        parent.classList.remove('open');
        for (const a of list.querySelectorAll('.item.active')) a.classList.remove('active');
      } else otherMenu(-1);
      break;
    case 'Enter':
    case ' ':
      if (active?.classList.contains('sub')) {
        active.classList.add('open');
        active.querySelector(':scope > .items > .item:not(.disabled)')?.classList.add('active');
      } else active?.click();
      break;
    case 'Escape':
      if (lists.length > 1) {
        list.parentElement.classList.remove('open');
        for (const a of list.querySelectorAll('.item.active')) a.classList.remove('active');
      } else {
        closeMenus();
        open.querySelector('button').focus();
      }
      break;
    default:
      return false;
  }
  e.preventDefault();
  return true;
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
        act({ do: 'menu', id: item.id, text: item.text, ...(view.centre() && { view: view.centre() }) });
      });
    }
    list.append(li);
  }
  return list;
}

function drawMenus(menus) {
  // Drawn anew with every state: what is open and highlighted stays so.
  const openName = document.querySelector('.menu.open')?.dataset.menu;
  const openItems = [...document.querySelectorAll('.item.sub.open')].map((i) => i.dataset.id);
  const activeItems = [...document.querySelectorAll('.item.active')].map((i) => i.dataset.id);
  const hadFocus = document.activeElement?.closest('.menu')?.dataset.menu;
  const nav = $('menus');
  nav.replaceChildren();
  for (const menu of menus) {
    const entry = document.createElement('div');
    entry.className = 'menu';
    entry.dataset.menu = menu.menu;
    const button = document.createElement('button');
    button.textContent = words.menus[menu.menu] || menu.menu;
    button.setAttribute('aria-haspopup', 'menu');
    button.addEventListener('click', () => {
      const open = entry.classList.contains('open');
      closeMenus();
      if (!open) entry.classList.add('open');
    });
    // Down (or Enter) on a menu's name opens it at its first item.
    button.addEventListener('keydown', (e) => {
      if (entry.classList.contains('open') || (e.key !== 'ArrowDown' && e.key !== 'Enter' && e.key !== ' ')) return;
      e.preventDefault();
      e.stopPropagation();
      closeMenus();
      entry.classList.add('open');
      entry.querySelector(':scope > .items > .item:not(.disabled)')?.classList.add('active');
    });
    entry.append(button, menuList(menu.items));
    if (menu.menu === openName) entry.classList.add('open');
    nav.append(entry);
    if (menu.menu === hadFocus) button.focus();
  }
  for (const id of openItems) nav.querySelector(`.item.sub[data-id="${id}"]`)?.classList.add('open');
  for (const id of activeItems) nav.querySelector(`.item[data-id="${id}"]`)?.classList.add('active');
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

const CROSS = 'M4 4 L12 12 M12 4 L4 12';

let sideShown = '';

function drawSide(s) {
  // Drawn anew only when what it shows has changed: a state that changes
  // nothing here must not replace a control under the user's pointer.
  const shown = JSON.stringify([s.documents, s.document?.layers, s.panels.map((p) => [p.title, p.shown])]);
  if (shown === sideShown) return;
  sideShown = shown;
  const docs = $('documents');
  docs.replaceChildren();
  s.documents.forEach((d, i) => {
    const li = document.createElement('li');
    li.textContent = d.title;
    li.classList.toggle('current', d.current);
    // Unsaved changes are marked beside the title (drawn, not text).
    li.classList.toggle('modified', !!d.modified);
    if (d.modified) li.title = words.unsaved;
    li.addEventListener('click', () => act({ do: 'switch', index: i }));
    const close = document.createElement('button');
    close.className = 'close';
    close.setAttribute('aria-label', words.closeDocument(d.title));
    close.title = words.closeDocument(d.title);
    const cross = icon(CROSS);
    cross.querySelector('path').setAttribute('stroke', 'currentColor');
    cross.querySelector('path').setAttribute('stroke-width', '2');
    close.append(cross);
    close.addEventListener('click', async (e) => {
      e.stopPropagation();
      if (d.modified && !(await ask(words.closeUnsaved(d.title)))) return;
      act({ do: 'close', index: i, discard: !!d.modified });
    });
    li.append(close);
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
    eye.title = layer.visible ? words.hide : words.show;
    eye.setAttribute('aria-label', eye.title);
    eye.addEventListener('click', () => act({ do: 'layer', index, visible: !layer.visible }));
    const lock = document.createElement('button');
    lock.className = 'lock';
    if (layer.locked) lock.append(icon(LOCK));
    lock.title = layer.locked ? words.unlock : words.lock;
    lock.setAttribute('aria-label', lock.title);
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

const panelFrames = new Frames();

function drawPanels(s) {
  const layer = $('panels');
  const held = holdFields(layer);
  // Panels the user has not moved stand in a column of their own at the
  // right of the map, one below the other, so that none covers the map or
  // another; a moved panel stays where it was put.
  const frames = [];
  s.panels.forEach((panel) => {
    if (!panel.shown) return;
    const { frame, fresh } = panelFrames.frame(panel, () => drawWindow(panel, (m) => act({ do: 'dialog', ...m }), {
      title: panel.title,
      onClose: () => act({ do: 'panel', panel: panel.title, show: false }),
      // The text origin panel's six buttons show icons only.
      buttonNames: panel.title === 'テキスト原点' ? words.origins : null,
    }), behind(s));
    frame.classList.add('floating', 'panel');
    frame.dataset.panel = panel.title;
    frames.push({ frame, panel, fresh });
  });
  panelFrames.done();
  setChildren(layer, frames.map(({ frame }) => frame));
  for (const { frame, fresh } of frames) if (fresh) fitTexts(frame);
  const docked = frames.filter(({ panel }) => !panelPlaces.has(panel.title));
  const dock = docked.length ? Math.max(...docked.map(({ frame }) => frame.offsetWidth)) + 16 : 0;
  document.body.style.setProperty('--dock', dock + 'px');
  let nextTop = $('view').getBoundingClientRect().top + 8;
  for (const { frame, panel, fresh } of frames) {
    const width = frame.offsetWidth, height = frame.offsetHeight;
    let place = panelPlaces.get(panel.title);
    if (!place) {
      place = { x: window.innerWidth - dock + 8, y: nextTop };
      nextTop += height + 8;
    }
    frame.style.left = Math.max(0, Math.min(place.x, window.innerWidth - width)) + 'px';
    frame.style.top = Math.max(0, Math.min(place.y, window.innerHeight - 30)) + 'px';
    if (!fresh) continue;
    dragByCaption(frame, panel.title);
    if (panel.resizable) resizeByGrip(frame, panel);
    explainPanel(frame, panel);
  }
  // A state that came while the user was at a panel leaves the focus there.
  restoreFields(layer, held, behind(s));
}

// What the plug-in's panels do that a user might not expect, said where it
// happens: a greyed layer tree belongs to another document until the list
// is rebuilt, and moved objects go to the bottom of their new layer.
function explainPanel(frame, panel) {
  const tree = panel.controls.find((c) => c.kind === 'tree');
  if (!tree) return;
  const element = frame.querySelector('.control.tree');
  if (!element) return;
  const why = tree.items.length ? words.staleTree : words.emptyTree;
  element.title = tree.enabled ? words.movedToBottom : why;
  if (!tree.enabled) {
    const note = document.createElement('div');
    note.className = 'stale-note';
    note.textContent = why;
    frame.append(note);
  }
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

const dialogFrames = new Frames();
let drawnBox = null;
let progressBox = null;

// An alert or a question of the host's, and what takes the focus in it.
function boxFor(s) {
  const text = document.createElement('div');
  text.className = 'text';
  text.textContent = s.box.text;
  const buttons = s.box.kind === 'question'
    ? [button(words.yes, () => act({ do: 'answer', yes: true }), 'yes'), button(words.no, () => act({ do: 'answer', yes: false }), 'no')]
    : [button(words.ok, () => act({ do: 'answer' }), 'ok')];
  const frame = boxWindow('Orbalis', [text], buttons, 'box ' + s.box.kind);
  frame.addEventListener('keydown', (e) => {
    if (e.key !== 'Escape') return;
    e.preventDefault();
    act({ do: 'answer', yes: false });
  });
  if (s.dialogs.length) frame.classList.add('over');
  return { frame, focusLater: () => buttons[0].focus() };
}

// The progress of a running command: one window for the command, its bar,
// lines and cancel button brought up to date with each state.
function progressFor(running) {
  const text = document.createElement('div');
  text.className = 'text';
  const track = document.createElement('div');
  track.className = 'track';
  const fill = document.createElement('div');
  fill.className = 'fill';
  track.append(fill);
  track.setAttribute('role', 'progressbar');
  const line = document.createElement('div');
  line.className = 'share';
  const cancel = button(words.cancel, () => act({ do: 'cancel' }), 'cancel');
  const frame = boxWindow(running, [text, track, line], [cancel], 'progress');
  const show = (s) => {
    text.textContent = s.progress.text || words.running(s.running);
    const max = s.progress.maximum;
    const share = max > 0 ? Math.min(100, (100 * s.progress.value) / max) : 0;
    fill.style.width = share + '%';
    track.setAttribute('aria-valuenow', String(Math.round(share)));
    // A plug-in may hold its bar at one share through a long step (the
    // colouring's scan stays at 10 %): while it goes on checking, the bar
    // moves on its own and says the work goes on.
    const stillWorking = share < 100 && (s.progress.steady >= 1000 || s.progress.steadyChecks >= 50);
    track.classList.toggle('working', stillWorking);
    track.setAttribute('aria-busy', String(stillWorking));
    line.textContent = words.progressLine(Math.floor(share), Math.floor((s.progress.elapsed || 0) / 1000), stillWorking);
    cancel.textContent = s.progress.cancelling ? words.cancelling : words.cancel;
    cancel.disabled = s.progress.cancelling;
  };
  return { running, frame, show };
}

// The host's modal windows, innermost on top: the dialogs that are open,
// then an alert or question over the dialog it belongs to, or the progress
// of a running command; the page's own choosers and questions otherwise.
function drawModal(s) {
  const modal = $('modal');
  const held = holdFields(modal);
  const stack = [];
  let focusLater = null;
  // The window that takes the keyboard: the innermost dialog, a box over
  // it, or the page's own chooser or question.
  let front = null;
  for (const dialog of s.dialogs) {
    const { frame } = dialogFrames.frame(dialog, () => drawWindow(dialog, (m) => act({ do: 'dialog', ...m }), {
      onChooseFile: (path) => act({ do: 'file', path }),
    }), behind(s));
    frame.classList.add('dialog');
    frame.classList.toggle('behind', !!s.box);
    stack.push(frame);
    focusLater = frame.focusLater || focusLater;
    front = frame;
  }
  if (s.box) {
    // The same box while the state shows the same one: a press on it must
    // not be lost to a redraw.
    const key = JSON.stringify([s.box, s.dialogs.length > 0]);
    if (drawnBox?.key !== key) drawnBox = { key, ...boxFor(s) };
    stack.push(drawnBox.frame);
    focusLater = drawnBox.focusLater;
    front = drawnBox.frame;
  } else {
    drawnBox = null;
  }
  if (s.shell && s.dialogs.length) {
    // The system would open this in the browser; the page offers the link.
    const note = document.createElement('div');
    note.className = 'shell-note';
    const link = document.createElement('a');
    link.href = /^https?:\/\//.test(s.shell) ? s.shell : '#';
    link.target = '_blank';
    link.rel = 'noopener noreferrer';
    link.textContent = s.shell;
    note.append(words.aboutLink(' '), link);
    stack.push(note);
  }
  if (!s.box && !s.dialogs.length && s.progress) {
    if (progressBox?.running !== s.running) progressBox = progressFor(s.running);
    progressBox.show(s);
    stack.push(progressBox.frame);
  } else if (!s.box && !s.dialogs.length && pageModal) {
    stack.push(pageModal);
    focusLater = pageModal.focusLater || null;
    front = pageModal;
  }
  if (!s.progress) progressBox = null;
  dialogFrames.done();
  modal.hidden = stack.length === 0;
  let holder = modal.querySelector(':scope > .stack');
  if (!holder) {
    holder = document.createElement('div');
    holder.className = 'stack';
    modal.replaceChildren(holder);
  }
  setChildren(holder, stack);
  for (const frame of stack) fitTexts(frame);
  keepFileDialogs(s.dialogs.map((d) => d.window));
  // A new state leaves the focus, the caret and the text being typed where
  // they were; a window that has just come takes the focus the window tree
  // gives it.
  if (front && restoreFields(front, held, behind(s))) return;
  if (focusLater) focusLater();
}

// The page's own question (closing unsaved work, replacing a file): yes or no.
function ask(text) {
  return new Promise((resolve) => {
    const answer = (yes) => {
      pageModal = null;
      drawModal(state);
      resolve(yes);
    };
    const body = document.createElement('div');
    body.className = 'text';
    body.textContent = text;
    const buttons = [button(words.yes, () => answer(true), 'yes'), button(words.no, () => answer(false), 'no')];
    pageModal = boxWindow('Orbalis', [body], buttons, 'box question page-question');
    pageModal.addEventListener('keydown', (e) => e.key === 'Escape' && answer(false));
    pageModal.focusLater = () => buttons[1].focus();
    drawModal(state);
  });
}

// Saves the document, asking first when the name is taken.
async function saveAs(path) {
  try {
    await send({ do: 'save', path });
    showError(null);
  } catch (e) {
    if (e.reason !== 'exists') return showError(e, 'save');
    if (!(await ask(words.replace(path)))) return;
    act({ do: 'save', path, replace: true });
  }
}

function openChooser(save) {
  const suggested = save ? (state?.document?.title || 'map.svg').replace(/^.*\//, '') : '';
  const chooser = fileChooser({
    save,
    suggested,
    onChoose: (path) => {
      pageModal = null;
      drawModal(state);
      if (save) chain = chain.then(() => saveAs(path));
      else act({ do: 'open', path });
    },
  });
  pageModal = boxWindow(save ? words.saveAs.replace(/\.+$/, '') : words.open.replace(/\.+$/, ''), [chooser], [button(words.cancel, () => {
    pageModal = null;
    drawModal(state);
  })], 'chooser');
  pageModal.addEventListener('keydown', (e) => {
    if (e.key !== 'Escape') return;
    pageModal = null;
    drawModal(state);
  });
  pageModal.focusLater = () => chooser.querySelector('.file-name').focus();
  drawModal(state);
}

// ---------------------------------------------------------------- state

function noticeText(s) {
  if (s.running) return words.running(s.running);
  const say = words.notices[s.notice];
  return say ? say(s.noticeDetails || {}) : '';
}

function show(s) {
  state = s;
  drawnBehind = behind(s);
  document.body.classList.toggle('dark', s.dark);
  $('dark').checked = s.dark;
  drawMenus(s.menus);
  drawSide(s);
  drawPanels(s);
  drawModal(s);
  view.show(s.document);
  const undo = $('undo');
  undo.disabled = !s.undo || !!s.running;
  undo.title = s.undo ? words.undoWhat(s.undo) : words.nothingToUndo;
  $('notice').textContent = noticeText(s);
  document.body.dataset.version = s.version;
  document.body.dataset.busy = s.running ? 'yes' : '';
}

function undoLast() {
  if (!$('undo').disabled) act({ do: 'undo' });
}

// ---------------------------------------------------------------- pointer

// A press on a control that a new state then drew anew ends on the control's
// new element: the browser clicks neither the element pressed (gone) nor the
// one released on, so the click is given to the new one. (A tree, a list or
// a text field takes no click this way.)
let pressed = null;
addEventListener('mousedown', (e) => {
  const control = e.target.closest?.('[data-control]');
  pressed = control && !control.matches('ul, select, input[type="text"]') ? control : null;
}, true);
addEventListener('mouseup', (e) => {
  const before = pressed;
  pressed = null;
  if (!before || before.isConnected || e.button !== 0) return;
  const now = e.target.closest?.('[data-control]');
  if (now && now !== before && now.dataset.control === before.dataset.control) now.click();
}, true);

// ---------------------------------------------------------------- keyboard

function modalOpen() {
  return !$('modal').hidden;
}

addEventListener('keydown', (e) => {
  if (e.defaultPrevented || e.isComposing) return;
  if (menuKey(e)) return;
  // A key outside the open dialog is the innermost dialog's.
  const dialogs = document.querySelectorAll('#modal .window.dialog');
  if (dialogs.length && !document.querySelector('#modal .window.box') && !e.target.closest?.('#modal')) {
    const inner = dialogs[dialogs.length - 1];
    const win = state?.dialogs.find((d) => String(d.window) === inner.dataset.window);
    if (win) dialogKey(e, win, (m) => act({ do: 'dialog', ...m }));
    return;
  }
  if (modalOpen() || e.target.closest?.('input, select, textarea, .panel')) return;
  if ((e.ctrlKey || e.metaKey) && !e.shiftKey && e.key.toLowerCase() === 'z') {
    e.preventDefault();
    undoLast();
  } else if (e.key === 'Escape' && state?.document?.selection.length) {
    e.preventDefault();
    act({ do: 'deselect' });
  }
});

$('undo').addEventListener('click', undoLast);
$('open').addEventListener('click', () => openChooser(false));
$('save').addEventListener('click', () => openChooser(true));
document.querySelector('label.upload').addEventListener('keydown', (e) => {
  if (e.key === 'Enter' || e.key === ' ') {
    e.preventDefault();
    $('upload').click();
  }
});
$('upload').addEventListener('change', async (e) => {
  const file = e.target.files[0];
  e.target.value = '';
  if (!file) return;
  try {
    await upload(file);
    showError(null);
  } catch (err) {
    showError(err, 'upload');
  }
});
$('download-svg').href = 'api/download?format=svg';
$('download-json').href = 'api/download?format=json';
$('dark').addEventListener('change', (e) => act({ do: 'theme', dark: e.target.checked }));

follow(show);
