// A list of the root folder's files, for opening, saving and the host's
// file dialogs: nothing outside the root folder can be named through it.
import { files } from './api.js';
import { words } from './words.js';

// `field`, when given, is the name field (a file dialog's own, in its
// place); otherwise the chooser has a name row of its own below the list.
export function fileChooser({ save, suggested = '', onChoose, field = null }) {
  const box = document.createElement('div');
  box.className = 'files';
  const where = document.createElement('div');
  where.className = 'where';
  const list = document.createElement('ul');
  const nameRow = document.createElement('div');
  nameRow.className = 'name';
  const name = field || document.createElement('input');
  name.classList.add('file-name');
  name.value = suggested;
  name.placeholder = save ? words.fileName.replace(/:$/, '') : '';
  const choose = document.createElement('button');
  choose.className = 'file-choose';
  choose.textContent = words.choose[save ? 'save' : 'open'];
  if (!field) nameRow.append(words.fileName, name, choose);
  box.append(where, list);
  if (!field) box.append(nameRow);
  let folder = '';

  const path = () => (folder ? folder + '/' : '') + name.value.trim();
  choose.addEventListener('click', () => name.value.trim() && onChoose(path()));
  name.addEventListener('keydown', (e) => {
    if (e.key === 'Enter' && name.value.trim()) onChoose(path());
    e.stopPropagation();
  });

  async function show(next) {
    const listing = await files(next);
    folder = next;
    where.textContent = `${words.place} /${folder}`;
    where.dataset.folder = folder;
    list.replaceChildren();
    if (folder) {
      const up = document.createElement('li');
      up.className = 'folder';
      up.textContent = '..';
      up.addEventListener('click', () => show(folder.split('/').slice(0, -1).join('/')));
      list.append(up);
    }
    for (const entry of listing.entries) {
      const item = document.createElement('li');
      item.textContent = entry.name;
      item.className = entry.folder ? 'folder' : 'file';
      item.addEventListener('click', () => {
        if (entry.folder) return show((folder ? folder + '/' : '') + entry.name);
        name.value = entry.name;
        // Picked as if typed: the name now is the user's.
        name.dispatchEvent(new Event('input'));
        for (const other of list.children) other.classList.toggle('chosen', other === item);
      });
      item.addEventListener('dblclick', () => !entry.folder && onChoose(path()));
      list.append(item);
    }
  }
  show('');
  return box;
}
