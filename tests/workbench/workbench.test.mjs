// The workbench in a real browser: the plug-in's commands, dialogs,
// questions and progress, driven through the page as a person would.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { startWorkbench, closeWorkbench, serve, stop, openPage, state, until, idle, finish, svg, chooseMenu, dialog, voronoiMap, documentJson, untilDocument, openDocument, clickDrawing, showPanel } from './harness.mjs';

let root, server, chrome, page;
const shots = process.env.ORBALIS_SCREENSHOTS;  // where to leave the README's pictures

before(async () => {
  ({ root, server, chrome, page } = await startWorkbench(['us-states.svg'], (r) => voronoiMap(r, 'voronoi.svg', 6000)));
});
after(() => closeWorkbench({ root, server, chrome }));

async function shot(name) {
  if (shots) await page.screenshot({ path: path.join(shots, `workbench-${name}.png`) });
}

test('the map is drawn from the host export and a click selects through the host', async () => {
  await page.waitForFunction(() => document.body.dataset.drawing && document.querySelector('#drawing').src.startsWith('blob:'));
  assert.match(await svg(page), /<svg[^>]*viewBox/);
  assert.deepEqual((await state(page)).document.selection, []);
  const box = await page.locator('#sheet').boundingBox();
  await page.mouse.click(box.x + box.width * 0.5, box.y + box.height * 0.5);
  await until(page, (s) => s.document.selection.length === 1);
  await page.keyboard.down('Shift');
  await page.mouse.click(box.x + box.width * 0.3, box.y + box.height * 0.4);
  await page.keyboard.up('Shift');
  await until(page, (s) => s.document.selection.length === 2);
  // A rectangle dragged over the east coast picks several states.
  await page.mouse.move(box.x + box.width * 0.80, box.y + box.height * 0.25);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width * 0.95, box.y + box.height * 0.45, { steps: 5 });
  await page.mouse.up();
  await until(page, (s) => s.document.selection.length > 3);
  await page.mouse.click(box.x + 3, box.y + 3);
  await until(page, (s) => s.document.selection.length === 0);
});

test('the light and dark switch reaches the host', async () => {
  await page.check('#dark');
  await page.waitForFunction(() => document.body.classList.contains('dark'));
  assert.equal((await state(page)).dark, true);
  await page.uncheck('#dark');
  await page.waitForFunction(() => !document.body.classList.contains('dark'));
  assert.deepEqual(page.problems, []);
});

test('colouring asks first, changes the map, and undo brings it back', async () => {
  const original = await svg(page);
  await chooseMenu(page, 'ポリゴン色分け');
  const question = page.locator('.window.box.question');
  await question.waitFor();
  assert.match(await question.textContent(), /states/);
  await shot('question');
  await question.locator('button.yes').click();
  const done = page.locator('.window.box.alert');
  await done.waitFor();
  assert.equal((await done.locator('.text').textContent()), '終了');
  await done.locator('button.ok').click();
  await idle(page);
  const coloured = await svg(page);
  assert.notEqual(coloured, original);
  assert.equal((await state(page)).undo, 'ポリゴン色分け');
  await page.click('#undo');
  await until(page, (s) => s.undo === null);
  assert.deepEqual(fills(await svg(page)), fills(original));
  assert.notDeepEqual(fills(coloured), fills(original));
});

// The fill colours of a drawing, counted.
function fills(text) {
  const counts = {};
  for (const m of text.matchAll(/fill="([^"]*)"/g)) counts[m[1]] = (counts[m[1]] || 0) + 1;
  return counts;
}

test('a question answered no leaves the map as it was', async () => {
  const original = await svg(page);
  await chooseMenu(page, 'ポリゴン色分け');
  await page.locator('.window.box.question button.no').click();
  await idle(page);
  assert.equal(await svg(page), original);
  assert.match((await state(page)).notice, /cancelled/);
});

test('the scale bar dialog: paper length, a focus-loss correction, then the bar', async () => {
  await chooseMenu(page, 'スケールバー作成...');
  const d = dialog(page, 123);
  await d.waitFor();
  const scale = d.locator('input[data-id="1093"]');
  // The dialog opens with the scale field focused and all of it selected:
  // a typed zero replaces it, and leaving the field puts the old value back.
  const opened = await scale.inputValue();
  await scale.press('0');
  await page.waitForFunction(() => document.querySelector('input[data-id="1093"]').value === '0');
  await scale.press('Tab');
  await page.waitForFunction((v) => document.querySelector('input[data-id="1093"]').value === v, opened);
  // Typing into the field keystroke by keystroke.
  await d.locator('input[data-id="1093"]').click();
  await page.waitForFunction(() => document.querySelector('input[data-id="1093"]').classList.contains('focus'));
  for (let i = 0; i < 12; ++i) await page.locator('input[data-id="1093"]').press('Backspace');
  await page.waitForFunction(() => document.querySelector('input[data-id="1093"]').value === '');
  for (const c of '25000') await page.locator('input[data-id="1093"]').press(c);
  await page.waitForFunction(() => document.querySelector('input[data-id="1093"]').value === '25000');
  const distance = page.locator('input[data-id="1094"]');
  await distance.click();
  for (let i = 0; i < 12; ++i) await page.locator('input[data-id="1094"]').press('Backspace');
  await page.locator('input[data-id="1094"]').press('1');
  await page.locator('label[data-id="1095"]').click();
  await page.locator('button[data-id="1097"]').click();
  await page.waitForFunction(() => document.querySelector('div[data-id="1098"]').textContent.trim() === '4 cm');
  await shot('dialog');
  const before = await svg(page);
  await page.locator('.window.dialog button[data-id="1"]').click();
  await finish(page);
  const after = await svg(page);
  assert.notEqual(after, before);
  assert.match(after, /1 : 25,000/);
});

test('layer numbering through dialog 125 and a validation message in dialog 126', async () => {
  await openDocument(page, 'town-layers.svg');
  await chooseMenu(page, 'レイヤー通し番号作成...');
  await dialog(page, 125).waitFor();
  await page.locator('.window.dialog button[data-id="1"]').click();
  await finish(page);
  const titles = (await state(page)).document.layers.map((l) => l.title);
  assert.ok(titles.some((t) => /^1: /.test(t)), titles.join(', '));
  await page.click('#undo');
  await until(page, (s) => s.undo === null);

  await chooseMenu(page, 'レイヤー名置換...');
  const d = dialog(page, 126);
  await d.waitFor();
  await d.locator('label[data-id="1115"]').click();
  await page.locator('.window.dialog button[data-id="1"]').click();
  const alert = page.locator('.window.box.alert');
  await alert.waitFor();
  assert.ok((await alert.textContent()).length > 5);
  await alert.locator('button.ok').click();
  // The dialog stays open after its message, until cancelled.
  await dialog(page, 126).waitFor();
  await page.locator('.window.dialog button[data-id="2"]').click();
  await idle(page);
  assert.equal((await state(page)).undo, null);
});

test('a layer-list save through the file dialog in UTF-16', async () => {
  await chooseMenu(page, 'レイヤー名リストをファイルに保存...');
  const d = page.locator('.window.dialog[data-kind="save"]');
  await d.waitFor();
  // The name is typed while the state for the chosen encoding is on its
  // way: the dialog drawn anew for it keeps the name.
  await d.locator('select[data-id="1131"]').selectOption('2');
  const nameField = d.locator('.file-name');
  await nameField.fill('layers.txt');
  await until(page, (s) => s.dialogs.at(-1)?.controls.find((c) => c.id === 1131)?.row === 2);
  assert.equal(await nameField.inputValue(), 'layers.txt');
  await d.locator('.file-choose').click();
  await finish(page);
  assert.equal((await state(page)).notice, 'wrote', 'the command says it wrote the list');
  const bytes = fs.readFileSync(path.join(root, 'layers.txt'));
  assert.ok(bytes.length > 4);
  const text = bytes.subarray(bytes[0] === 0xff && bytes[1] === 0xfe ? 2 : 0).toString('utf16le');
  assert.match(text, /建物/);
});

test('a file dialog drawn anew for a new state keeps the name, its selection, the caret, the focus and the folder', async () => {
  fs.mkdirSync(path.join(root, 'lists'), { recursive: true });
  fs.writeFileSync(path.join(root, 'lists', 'old.txt'), 'x\n');
  await chooseMenu(page, 'レイヤー名リストをファイルに保存...');
  const d = page.locator('.window.dialog[data-kind="save"]');
  await d.waitFor();
  const nameField = d.locator('.file-name');
  const field = () => page.evaluate(() => {
    const f = document.querySelector('.window.dialog[data-kind="save"] .file-name');
    return { value: f.value, focused: document.activeElement === f, selection: [f.selectionStart, f.selectionEnd] };
  });
  // The state after another encoding is chosen (here through the window
  // tree, so the page's focus stays where it is) draws the dialog anew: its
  // encoding list is another element then.
  let row = 1;
  const drawnAnew = async () => {
    await page.evaluate(() => (document.querySelector('select[data-id="1131"]').old = true));
    const combo = (await state(page)).dialogs.at(-1).controls.find((c) => c.id === 1131);
    row = 3 - row;
    await page.evaluate(({ window, row }) => fetch('api/input', {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify({ do: 'dialog', window, id: 1131, action: 'select', row }),
    }), { window: combo.window, row });
    await page.waitForFunction((r) => {
      const select = document.querySelector('select[data-id="1131"]');
      return !select.old && select.value === String(r);
    }, row);
  };
  // The offered name selected whole, then a new state before the typing:
  // what is typed still replaces the whole name.
  await nameField.click();
  await page.keyboard.press('Control+a');
  const offered = (await field()).value;
  await drawnAnew();
  assert.deepEqual(await field(), { value: offered, focused: true, selection: [0, offered.length] });
  await page.keyboard.insertText('layers.txt');
  assert.equal((await field()).value, 'layers.txt');
  // The caret moved to the start stays there.
  await page.keyboard.press('Home');
  await drawnAnew();
  await page.keyboard.type('my-');
  assert.deepEqual(await field(), { value: 'my-layers.txt', focused: true, selection: [3, 3] });
  // A folder opened and a file picked from its list stay.
  await d.locator('.files li.folder', { hasText: 'lists' }).click();
  await d.locator('.files li.file', { hasText: 'old.txt' }).click();
  await drawnAnew();
  assert.equal(await nameField.inputValue(), 'old.txt');
  assert.equal(await d.locator('.files .where').getAttribute('data-folder'), 'lists');
  assert.ok(await d.locator('.files li.file.chosen', { hasText: 'old.txt' }).count());
  await nameField.fill('new.txt');
  await d.locator('select[data-id="1131"]').selectOption('2');
  await d.locator('.file-choose').click();
  await finish(page);
  assert.equal((await state(page)).notice, 'wrote');
  assert.ok(fs.existsSync(path.join(root, 'lists', 'new.txt')));
});

// The layers of a document in the native format, by title, with their art.
function layerNamed(doc, title, layers = doc.layers) {
  for (const layer of layers) {
    if (layer.title === title) return layer;
    const inner = layerNamed(doc, title, (layer.art || []).filter((a) => a.type === 'layer'));
    if (inner) return inner;
  }
  return null;
}

test('the move-between-layers panel moves two objects into a new group', async () => {
  await openDocument(page, 'town-layers.svg');
  const before = await documentJson(page);
  // No panel shown to begin with: each shown one is hidden from its box in
  // the panel list, and the host's state awaited before the next.
  for (const shown of (await state(page)).panels.filter((p) => p.shown)) {
    await page.locator('#panel-list label', { hasText: shown.title }).locator('input').click();
    await until(page, (s) => !s.panels.find((p) => p.title === shown.title).shown);
  }
  await page.waitForFunction(() => !document.querySelector('.window.panel'));
  // The lake (水系/湖沼) and the first building (建物), from two layers
  // (points are 3/4 of the drawing's pixels, y up).
  await clickDrawing(page, 380 / 480, 80 / 320);
  await until(page, (s) => s.document.selection.length === 1 && Math.abs(s.document.selection[0][0] - 330 * 0.75) < 3);
  await clickDrawing(page, 185 / 480, 141 / 320, { shift: true });
  await until(page, (s) => s.document.selection.length === 2);
  const panel = await showPanel(page, 'レイヤー間移動');
  await panel.locator('button.control', { hasText: 'レイヤーリストを更新' }).click();
  await panel.locator('.control.tree li', { hasText: '背景' }).waitFor();
  await panel.locator('label.control.check').click();
  await page.waitForFunction(() => document.querySelector('.window.panel label.control.check input').checked);
  await shot('panels');
  await panel.locator('.control.tree li .label', { hasText: /^背景$/ }).click();
  const after = await untilDocument(page, (d) => layerNamed(d, '湖沼').art.length === 0);
  const background = layerNamed(after, '背景');
  const groups = background.art.filter((a) => a.type === 'group');
  assert.equal(groups.length, 1, JSON.stringify(background.art.map((a) => a.type)));
  assert.deepEqual(groups[0].art.map((a) => a.type).sort(), ['path', 'path']);
  assert.equal(layerNamed(after, '湖沼').art.length, 0);
  assert.equal(layerNamed(after, '建物').art.length, layerNamed(before, '建物').art.length - 1);
  assert.deepEqual(page.problems, []);
});

test('a panel is resized from its grip, no smaller than its minimum, and stays where it was put', async () => {
  const title = 'レイヤー間移動';
  const panel = await showPanel(page, title);
  const host = (s) => s.panels.find((p) => p.title === title);
  const tree = (p) => p.controls.find((c) => c.kind === 'tree');
  // The page draws a panel anew after every change of the host's state,
  // hidden while it is measured: its box is read once one is shown.
  const box = async (locator) => {
    for (const end = Date.now() + 10000; Date.now() < end; await page.waitForTimeout(20)) {
      const found = await locator.boundingBox();
      if (found) return found;
    }
    throw new Error('the panel was not shown');
  };
  const drag = async (locator, dx, dy) => {
    const from = await box(locator);
    await page.mouse.move(from.x + 5, from.y + 5);
    await page.mouse.down();
    await page.mouse.move(from.x + 5 + dx, from.y + 5 + dy, { steps: 4 });
    await page.mouse.up();
  };
  // Away from the right edge first, by its caption, so that it can grow.
  await drag(panel.locator('.caption'), -300, 0);
  const placed = await box(panel);
  const before = host(await state(page));
  await drag(panel.locator('.grip'), 80, 60);
  const grown = host(await until(page, (s) => host(s).width === before.width + 80));
  assert.equal(grown.height, before.height + 60);
  assert.equal(tree(grown).height, tree(before).height + 60, 'the panel lays its tree out anew');
  // The grip is taken again where the page draws it at the new size.
  await page.waitForFunction(
    ([t, width]) => document.querySelector(`.window.panel[data-panel="${t}"] .client`)?.style.width === `${width}px`,
    [title, grown.width],
  );
  await drag(panel.locator('.grip'), -1000, -1000);
  const least = host(await until(page, (s) => host(s).width < grown.width));
  assert.deepEqual([least.width, least.height], [160, 144]);
  await page.reload();
  await page.locator(`.window.panel[data-panel="${title}"]`).waitFor();
  const again = await box(page.locator(`.window.panel[data-panel="${title}"]`));
  assert.deepEqual([again.x, again.y], [placed.x, placed.y]);
});

test('a text origin button moves the origin of the selected text', async () => {
  await openDocument(page, 'labels.json');
  const before = await documentJson(page);
  const text = (d) => d.layers[0].art.find((a) => a.name === 'tokyo-bay');
  assert.ok(text(before), 'the example has its text');
  const panel = await showPanel(page, 'テキスト原点');
  const buttons = panel.locator('button.control');
  assert.equal(await buttons.count(), 6);
  assert.equal(await buttons.locator('canvas.picture').count(), 6, 'every button shows its icon');
  // The text is selected in the example; the middle horizontal button
  // centres its origin.
  await buttons.nth(1).click();
  const after = await untilDocument(page, (d) => JSON.stringify(text(d)) !== JSON.stringify(text(before)));
  assert.deepEqual(text(after).paragraphs, ['center']);
  assert.notDeepEqual(text(after).matrix, text(before).matrix);
});

test('progress: every share shown is the one of the step its text names', async () => {
  // Every state the server publishes while the map is coloured, read as
  // the page reads them.
  await openDocument(page, 'voronoi.svg');
  const seen = [];
  const watch = page.evaluate(async () => {
    const progress = [];
    let version = 0;
    while (!window.stopWatching) {
      const s = await (await fetch('api/state?after=' + version)).json();
      if (s.version === version) continue;
      version = s.version;
      if (s.progress?.text) progress.push(s.progress);
    }
    return progress;
  });
  try {
    await chooseMenu(page, 'ポリゴン色分け');
    // Yes to colouring the layer, and on when warned of too many neighbours.
    await page.locator('.window.box.question').waitFor();
    for (;;) {
      const next = await page.waitForFunction(() => {
        const box = document.querySelector('.window.box.question, .window.box.alert');
        if (box) return box.classList.contains('question') ? box.querySelector('.text').textContent : 'alert';
        return !document.body.dataset.busy && document.querySelector('#modal').hidden ? 'idle' : false;
      }, null, { timeout: 120000 });
      const what = await next.jsonValue();
      if (what === 'idle') break;
      const before = await page.evaluate(() => Number(document.body.dataset.version));
      await page.locator(`.window.box button.${what === 'alert' ? 'ok' : /多すぎます/.test(what) ? 'no' : 'yes'}`).click();
      await page.waitForFunction((v) => Number(document.body.dataset.version) > v, before);
    }
  } finally {
    // The watch waits on the next state: an input makes one.
    await page.evaluate(() => {
      window.stopWatching = true;
      return fetch('api/input', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: '{"do":"deselect"}' });
    });
    seen.push(...(await watch));
  }
  const nodes = seen.filter((p) => /node \d+\/\d+/.test(p.text));
  assert.ok(nodes.length > 0, `the colouring's steps were shown: ${seen.length} states`);
  for (const p of nodes) {
    const [, k, n] = p.text.match(/node (\d+)\/(\d+)/);
    assert.deepEqual([p.value, p.maximum], [Number(k), Number(n)], p.text);
  }
  await page.evaluate(() => (window.stopWatching = false));
});

test('a long colouring cancelled from the progress bar leaves the map unchanged', async () => {
  // However fast the machine, this server's progress display waits at the
  // colouring's 2500th cancel check until cancel is pressed: in the scan, a
  // little after the warning about too many neighbours (asked at about the
  // 1860th on this map) and long before its end (two checks a cell).
  const held = await serve(root, ['voronoi.svg'], [], { ORBALIS_PROGRESS_HOLD: '2500' });
  const page = await openPage(chrome.browser, held.address);
  try {
    const original = await svg(page);
    const originalDocument = await documentJson(page);
    await chooseMenu(page, 'ポリゴン色分け');
    // Yes to colouring the layer; and when warned that the map has too many
    // neighbours to colour, no: go on anyway, so that the scan runs.
    const cancel = page.locator('.window.progress button.cancel');
    const questions = [];
    while (questions.length < 2) {
      const box = page.locator('.window.box.question');
      await box.waitFor();
      const text = await box.locator('.text').textContent();
      questions.push(text);
      await box.locator(`button.${/多すぎます/.test(text) ? 'no' : 'yes'}`).click();
      await page.waitForFunction(() => !document.querySelector('.window.box.question'));
    }
    assert.match(questions[0], /cells/);
    assert.match(questions[1], /多すぎます/);
    await cancel.waitFor();
    // Cancelled while the scan is under way and its progress is shown.
    await page.waitForFunction(() => /[1-9]/.test(document.querySelector('.window.progress .fill')?.style.width || ''));
    const running = await state(page);
    assert.equal(running.running, 'ポリゴン色分け');
    assert.ok(running.progress.value > 0 && running.progress.value < running.progress.maximum, JSON.stringify(running.progress));
    // The scan holds its bar at 10 % from its start: the window says the
    // share in figures, the time gone by, and that the work goes on, and
    // the bar moves on its own.
    const progress = page.locator('.window.progress');
    assert.match(await progress.locator('.share').textContent(), /^10 %\u3000経過 \d+ 秒\u3000処理を続けています\.\.\.$/);
    assert.equal(await progress.locator('.track').getAttribute('aria-busy'), 'true');
    assert.notEqual(await progress.locator('.track').evaluate((t) => getComputedStyle(t, '::after').animationName), 'none');
    if (shots) await page.screenshot({ path: path.join(shots, 'workbench-progress.png') });
    await cancel.click();
    await finish(page);
    const ended = await state(page);
    assert.match(ended.notice, /cancelled/);
    assert.equal(ended.undo, null, 'a cancelled command leaves nothing to undo');
    assert.equal(await svg(page), original);
    assert.deepEqual(await documentJson(page), originalDocument);
  } finally {
    await page.close();
    assert.equal(await stop(held), 0, held.stderr());
  }
});
