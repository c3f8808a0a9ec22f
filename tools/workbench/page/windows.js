// The host's windows (dialogs and panels) drawn from the window tree's
// snapshot as live controls at their pixel positions. Every keystroke,
// click, selection and focus change goes to the window tree; what the page
// shows is always the tree's state after it.
import { fileChooser } from './files.js';
import { words } from './words.js';

const FILE_NAME_FIELD = 0x047c;
// A file dialog's chooser and name field, by the dialog's window: the same
// elements stand in every drawing of the dialog, so that the folder shown,
// the name typed or picked, the caret and the focus outlive a new state.
const fileDialogParts = new Map();

// Forgets the file dialogs that are no longer open.
export function keepFileDialogs(windows) {
  for (const window of fileDialogParts.keys()) if (!windows.includes(window)) fileDialogParts.delete(window);
}

// Strips the access-key marks: "&N" shows as "N", "&&" as "&".
function shown(text) {
  return text.replace(/&(.)/g, '$1');
}

// An icon or bitmap of the window tree ({width, height, rgba} in base64)
// as a canvas of its own pixel size.
export function imageCanvas(image) {
  const canvas = document.createElement('canvas');
  canvas.width = image.width;
  canvas.height = image.height;
  canvas.className = 'picture';
  const bytes = Uint8ClampedArray.from(atob(image.rgba), (c) => c.charCodeAt(0));
  if (bytes.length === image.width * image.height * 4)
    canvas.getContext('2d').putImageData(new ImageData(bytes, image.width, image.height), 0, 0);
  return canvas;
}

// Text wider than its control is squeezed into it, as a narrower Windows
// font would have fitted it (the dialog pictures do the same), instead of
// being cut or wrapped out of sight. Call once the window is in the page.
export function fitTexts(frame) {
  for (const text of frame.querySelectorAll('.fit')) {
    if (text.closest('.lines')) continue;
    text.style.transform = '';
    const room = text.parentElement.clientWidth - (text.parentElement.tagName === 'LABEL' ? 16 : 4);
    const width = text.scrollWidth;
    if (room > 0 && width > room) text.style.transform = `scaleX(${(room / width).toFixed(3)})`;
  }
}

function fitting(text) {
  const span = document.createElement('span');
  span.className = 'fit';
  span.textContent = text;
  return span;
}

function place(element, control) {
  element.style.left = control.x + 'px';
  element.style.top = control.y + 'px';
  element.style.width = control.width + 'px';
  if (control.kind !== 'combo' && control.kind !== 'edit') element.style.height = control.height + 'px';
  element.dataset.id = control.id;
  element.dataset.control = control.control;
  element.classList.add('control', control.kind);
  if (!control.enabled) element.classList.add('disabled');
  if (control.focus) element.classList.add('focus');
  return element;
}

function controlElement(control, act, options) {
  // Dialog controls go by their ids, a panel's (which have none) by their handles.
  const to = control.id ? { window: control.window, id: control.id } : { window: control.window, id: 0, control: control.control };
  switch (control.kind) {
    case 'button':
    case 'default': {
      const b = document.createElement('button');
      if (control.image) b.append(imageCanvas(control.image));
      else b.append(fitting(shown(control.text)));
      // An icon button is named by its text or, having none, by what the
      // page knows it does.
      const name = control.text ? shown(control.text) : options.names?.[options.buttons++];
      if (control.hasImage && name) {
        b.title = name;
        b.setAttribute('aria-label', name);
      }
      b.disabled = !control.enabled;
      b.addEventListener('click', (e) => {
        e.preventDefault();
        if (options.fileDialog && control.id === 1) return options.chooseFile();
        act({ ...to, action: 'click' });
      });
      return place(b, control);
    }
    case 'check':
    case 'radio': {
      const label = document.createElement('label');
      const box = document.createElement('input');
      box.type = control.kind === 'check' ? 'checkbox' : 'radio';
      box.checked = !!control.checked;
      box.disabled = !control.enabled;
      label.append(box, fitting(shown(control.text)));
      label.addEventListener('click', (e) => {
        e.preventDefault();
        if (control.enabled) act({ ...to, action: 'click' });
      });
      return place(label, control);
    }
    case 'group': {
      const g = document.createElement('div');
      const legend = document.createElement('span');
      legend.textContent = shown(control.text);
      if (control.text) g.append(legend);
      return place(g, control);
    }
    case 'label': {
      const l = document.createElement('div');
      l.append(fitting(shown(control.text)));
      l.style.textAlign = control.align;
      l.classList.add('align-' + control.align);
      // A label with room for more lines wraps, as a static control does.
      if (control.height >= 24) l.classList.add('lines');
      if (control.clickable && control.enabled) {
        l.classList.add('clickable');
        l.addEventListener('click', () => act({ ...to, action: 'click' }));
      }
      return place(l, control);
    }
    case 'edit': {
      const input = document.createElement('input');
      input.type = 'text';
      input.value = control.text;
      input.disabled = !control.enabled;
      input.spellcheck = false;
      input.addEventListener('mousedown', () => {
        if (!control.focus) act({ ...to, action: 'focus' });
      });
      // The field changes at once, as the user sees it; the window tree gets
      // each character with where the caret stood, so that it makes the
      // same change even when the caret was moved here (by the arrows or the
      // mouse) and not there.
      const allowed = (c) => c >= ' ' && (!control.number || (c >= '0' && c <= '9'));
      const typeIn = (text, selection) => {
        for (const c of text) {
          act({ ...to, action: 'char', text: c, ...(selection && { selection }) });
          selection = null;
        }
      };
      let composingAt = null;
      input.addEventListener('keydown', (e) => {
        const key = e.key;
        // Tab, Enter and Escape are the dialog's (see drawWindow).
        if (e.isComposing || key === 'Tab' || key === 'Enter' || key === 'Escape') return;
        const start = input.selectionStart, end = input.selectionEnd;
        const plain = !e.ctrlKey && !e.metaKey && !e.altKey;
        e.stopPropagation();
        if (key.startsWith('Arrow') || key === 'Home' || key === 'End') return;
        // Select all and copy change nothing; pasting is the paste event's.
        if (!plain && !e.altKey && ['a', 'c', 'v'].includes(key.toLowerCase())) return;
        if (plain && key === 'Backspace' && (start !== end || start > 0)) return typeIn('\b', [start, end]);
        // Delete is a Backspace over the character after the caret.
        if (plain && key === 'Delete' && (start !== end || end < input.value.length))
          return typeIn('\b', [start, start === end ? end + 1 : end]);
        if (plain && key.length === 1 && allowed(key)) return typeIn(key, [start, end]);
        e.preventDefault();
      });
      input.addEventListener('compositionstart', () => (composingAt = [input.selectionStart, input.selectionEnd]));
      input.addEventListener('compositionend', (e) => {
        typeIn([...e.data].filter(allowed).join(''), composingAt);
        composingAt = null;
      });
      input.addEventListener('paste', (e) => {
        e.preventDefault();
        const text = [...e.clipboardData.getData('text')].filter(allowed).join('');
        if (!text) return;
        const start = input.selectionStart, end = input.selectionEnd;
        input.setRangeText(text, start, end, 'end');
        typeIn(text, [start, end]);
      });
      // The field shows the window tree's selection: what typing replaces.
      input.hostSelection = control.selection || [0, 0];
      if (control.focus) options.focusLater = () => {
        input.focus();
        input.setSelectionRange(...input.hostSelection);
      };
      return place(input, control);
    }
    case 'combo': {
      const select = document.createElement('select');
      control.rows.forEach((row, i) => select.append(new Option(row, String(i), false, i === control.row)));
      if (control.row < 0) select.selectedIndex = -1;
      select.disabled = !control.enabled;
      select.addEventListener('change', () => act({ ...to, action: 'select', row: Number(select.value) }));
      return place(select, control);
    }
    case 'tree': {
      const list = document.createElement('ul');
      const treeAct = control.enabled ? act : () => {};
      for (const item of control.items) {
        const li = document.createElement('li');
        li.style.paddingLeft = 4 + item.depth * 16 + 'px';
        if (item.selected) li.classList.add('selected');
        const expander = document.createElement('span');
        expander.className = 'expander';
        expander.textContent = item.children ? (item.expanded ? '▾' : '▸') : '';
        expander.addEventListener('click', () => treeAct({ ...to, action: 'tree', item: item.item, part: 'button' }));
        const label = document.createElement('span');
        label.className = 'label';
        label.textContent = item.text;
        label.addEventListener('click', () => treeAct({ ...to, action: 'tree', item: item.item, part: 'label' }));
        li.append(expander);
        const icon = control.icons?.[item.image];
        if (icon) {
          const canvas = imageCanvas(icon);
          canvas.addEventListener('click', () => treeAct({ ...to, action: 'tree', item: item.item, part: 'icon' }));
          li.append(canvas);
        }
        li.append(label);
        list.append(li);
      }
      return place(list, control);
    }
    case 'image': {
      const image = document.createElement('div');
      if (control.image) image.append(imageCanvas(control.image));
      else image.classList.add('empty');
      return place(image, control);
    }
    default:
      return place(document.createElement('div'), control);
  }
}

const FOCUSABLE = 'input, select, button, textarea';

function focusable(element) {
  return element.matches(FOCUSABLE) ? element : element.querySelector(FOCUSABLE) || element;
}

// What the user holds in the windows inside `container` before they are
// drawn anew: each text field's text and selection, and the element that
// has the browser's focus.
export function holdFields(container) {
  const fields = new Map();
  for (const input of container.querySelectorAll('input.control.edit'))
    fields.set(input.dataset.control, { value: input.value, selection: [input.selectionStart, input.selectionEnd, input.selectionDirection] });
  const active = document.activeElement;
  if (!active || active === document.body || !container.contains(active)) return { fields, active: null };
  const selection = active.matches('input[type="text"]') ? [active.selectionStart, active.selectionEnd, active.selectionDirection] : null;
  return { fields, active, selection, control: active.closest('[data-control]')?.dataset.control };
}

// Puts back what holdFields kept, in the window `front` drawn anew. While
// the page has sent inputs that the state drawn does not show yet
// (`behind`), its text fields keep the page's text: the window tree's
// older text would undo the user's latest typing. The focus stays on the
// element the user left it on (the same one, or the one drawn for the same
// control), with its selection while its text is the same, unless the
// window tree has moved the focus to another control of its own. Returns
// whether the focus was put back.
export function restoreFields(front, held, behind) {
  if (behind)
    for (const input of front.querySelectorAll('input.control.edit:not(.file-name)')) {
      const kept = held.fields.get(input.dataset.control);
      if (kept) input.value = kept.value;
    }
  if (!held.active) return false;
  let element = held.active.isConnected ? held.active : null;
  if (!element && held.control) {
    const control = front.querySelector(`[data-control="${CSS.escape(held.control)}"]`);
    element = control && focusable(control);
  }
  if (!element || !front.contains(element) || element.disabled) return false;
  const control = element.closest('[data-control]');
  const hostFocus = control?.closest('.window')?.querySelector('.control.focus');
  if (!behind && hostFocus && hostFocus !== control && !element.classList.contains('file-name')) return false;
  element.focus({ preventScroll: true });
  if (held.selection && element.matches('input[type="text"]')) {
    if (element.value === held.fields.get(held.control)?.value || element === held.active) element.setSelectionRange(...held.selection);
    else if (element.hostSelection) element.setSelectionRange(...element.hostSelection);
  }
  return true;
}

// The dialog manager's keys, wherever the focus is in a dialog: Tab and
// Shift+Tab move along the tab order, Enter presses the default button (a
// focused button is pressed by the browser itself), Escape cancels.
export function dialogKey(e, win, act) {
  if (e.isComposing || e.target.closest?.('.files')) return;
  const to = { window: win.window, id: 0 };
  if (e.key === 'Tab') act({ ...to, action: 'tab', back: e.shiftKey });
  else if (e.key === 'Enter' && e.target.tagName !== 'BUTTON') act({ ...to, action: 'enter' });
  else if (e.key === 'Escape') act({ ...to, action: 'escape' });
  else return;
  e.preventDefault();
  e.stopPropagation();
}

// The frames drawn for the windows of one place (the dialogs, the panels),
// by window. A window the new state shows as it was drawn keeps its frame:
// a click or a keystroke under way there must not land on an element that a
// redraw has just taken away.
export class Frames {
  constructor() {
    this.drawn = new Map();
    this.kept = new Map();
  }

  // The frame for `win`: the one drawn before when the window has not
  // changed and its text fields show the window tree's text (or the page is
  // `behind` and they hold newer text); otherwise `draw()`'s. `fresh` says
  // which.
  frame(win, draw, behind) {
    const description = JSON.stringify(win);
    const old = this.drawn.get(win.window);
    if (old && old.description === description && (behind || fieldsShow(old.frame, win))) {
      this.kept.set(win.window, old);
      return { frame: old.frame, fresh: false };
    }
    const frame = draw();
    this.kept.set(win.window, { description, frame });
    return { frame, fresh: true };
  }

  // Forgets the windows not drawn since the last call.
  done() {
    this.drawn = this.kept;
    this.kept = new Map();
  }
}

// Puts `nodes` as the children of `parent` in that order, moving none that
// is in its place already: a moved element loses the focus and a click.
export function setChildren(parent, nodes) {
  for (const child of [...parent.children]) if (!nodes.includes(child)) child.remove();
  nodes.forEach((node, i) => {
    if (parent.children[i] !== node) parent.insertBefore(node, parent.children[i] || null);
  });
}

// Whether the text fields of a drawn frame show the window tree's text.
function fieldsShow(frame, win) {
  for (const control of win.controls) {
    if (control.kind !== 'edit') continue;
    const input = frame.querySelector(`input.control.edit[data-control="${CSS.escape(control.control)}"]:not(.file-name)`);
    if (input && input.value !== control.text) return false;
  }
  return true;
}

// A window's frame and its controls. `act` sends a move to the window tree.
export function drawWindow(win, act, { title, onClose, onChooseFile, buttonNames } = {}) {
  const frame = document.createElement('div');
  frame.className = 'window';
  frame.dataset.window = win.window;
  if (win.template) frame.dataset.template = win.template;
  if (win.kind) frame.dataset.kind = win.kind;
  const caption = document.createElement('div');
  caption.className = 'caption';
  const text = document.createElement('span');
  text.textContent = title || win.caption;
  caption.append(text);
  if (win.closable || onClose) {
    const close = document.createElement('button');
    close.textContent = '×';
    close.title = words.close;
    close.setAttribute('aria-label', words.close);
    close.addEventListener('click', () => (onClose ? onClose() : act({ window: win.window, action: 'close' })));
    caption.append(close);
  }
  const client = document.createElement('div');
  client.className = 'client';
  client.style.width = win.width + 'px';
  client.style.height = win.height + 'px';
  const fileDialog = win.kind === 'open' || win.kind === 'save';
  // The file chosen: the name in the field as it is when the button is
  // pressed, in the folder the list shows.
  let chosen = () => '';
  const options = { fileDialog, chooseFile: () => chosen() && onChooseFile(chosen()), focusLater: null, names: buttonNames, buttons: 0 };
  // A file dialog's name field is the page's: the name is chosen from the
  // root folder's list or typed there, never sent to the window tree.
  let parts = fileDialog ? fileDialogParts.get(win.window) : null;
  let nameField = parts?.nameField || null;
  for (const control of win.controls) {
    if (!control.visible) continue;
    if (fileDialog && control.id === FILE_NAME_FIELD) {
      if (!nameField) {
        nameField = document.createElement('input');
        nameField.type = 'text';
        nameField.spellcheck = false;
        nameField.addEventListener('input', () => (nameField.dataset.edited = 'yes'));
      }
      nameField.className = 'file-name';
      place(nameField, control);
      client.append(nameField);
      continue;
    }
    const element = controlElement(control, act, options);
    if (fileDialog && control.id === 1) element.classList.add('file-choose');
    client.append(element);
    // The browser's focus follows the window tree's.
    if (control.focus && !options.focusLater) {
      const target = element.querySelector('input') || element;
      options.focusLater = () => target.focus();
    }
  }
  if (!title) frame.addEventListener('keydown', (e) => dialogKey(e, win, act));
  if (!fileDialog) {
    frame.append(caption, client);
  } else {
    // The folder's files above the dialog's own controls, which keep their
    // places: the name row, the buttons, and the caller's chooser below them.
    // The name the plug-in offers stands in the field until the user types
    // or picks one.
    const offered = win.controls.find((c) => c.id === FILE_NAME_FIELD)?.text || '';
    if (!parts) {
      parts = {
        nameField,
        chooser: fileChooser({ save: win.kind === 'save', suggested: offered, onChoose: (path) => onChooseFile(path), field: nameField }),
      };
      fileDialogParts.set(win.window, parts);
    } else if (nameField && !nameField.dataset.edited && nameField.value !== offered) {
      nameField.value = offered;
    }
    const chooser = parts.chooser;
    chosen = () => {
      const name = nameField?.value.trim() || '';
      const where = chooser.querySelector('.where').dataset.folder || '';
      return name ? (where ? where + '/' : '') + name : '';
    };
    frame.append(caption, chooser, client);
    if (nameField) options.focusLater = () => nameField.focus();
  }
  frame.focusLater = options.focusLater;
  return frame;
}
