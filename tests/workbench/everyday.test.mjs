// The workbench as a map maker uses it every day: menus that can be read,
// the keyboard of a desktop program, saving that asks before it overwrites,
// documents told apart, the window's own words in Japanese, and drawings
// that show what the commands made.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { startWorkbench, closeWorkbench, launch, openPage, state, until, idle, finish, newState, svg, chooseMenu, dialog, openDocument } from './harness.mjs';

let root, server, chrome, page;

before(async () => {
  ({ root, server, chrome, page } = await startWorkbench(['us-states.svg']));
});
after(() => closeWorkbench({ root, server, chrome }));

// WCAG's contrast ratio of two CSS colours (rgb() or rgba() over white).
function contrast(a, b) {
  const luminance = (css) => {
    const [r, g, bl] = css.match(/[\d.]+/g).slice(0, 3).map(Number).map((v) => {
      const c = v / 255;
      return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
  };
  const [l1, l2] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (l1 + 0.05) / (l2 + 0.05);
}

test('the plug-in submenu is readable: its enabled items stand out more than its disabled ones', async () => {
  await page.click('.menu[data-menu="Object"] > button');
  await page.hover('.menu.open .item.sub');
  const colours = await page.evaluate(() => {
    const list = document.querySelector('.menu.open .item.sub > .items');
    const style = (e) => e && getComputedStyle(e).color;
    return {
      background: getComputedStyle(list).backgroundColor,
      enabled: style(list.querySelector(':scope > .item:not(.disabled)')),
      disabled: style(list.querySelector(':scope > .item.disabled')),
    };
  });
  assert.ok(contrast(colours.enabled, colours.background) >= 4.5, JSON.stringify(colours));
  if (colours.disabled) assert.ok(contrast(colours.enabled, colours.background) > contrast(colours.disabled, colours.background), JSON.stringify(colours));
  await page.keyboard.press('Escape');
  await page.mouse.click(5, 400);
  await page.waitForFunction(() => !document.querySelector('.menu.open'));
});

test('Tab into a number field selects its text, so typing replaces it', async () => {
  await openDocument(page, 'town-layers.svg');
  await chooseMenu(page, 'レイヤー通し番号作成...');
  const d = dialog(page, 125);
  await d.waitFor();
  // The browser's focus is on the control the window tree has focused.
  const focused = (id) => page.waitForFunction((i) => {
    const control = document.activeElement?.closest('[data-id]');
    return control?.dataset.id === String(i) && control.classList.contains('focus');
  }, id);
  const value = (id) => d.locator(`input[data-id="${id}"]`).inputValue();
  await d.locator('input[data-id="1126"]').click();
  await focused(1126);
  const step = await value(1127);
  await page.keyboard.press('Tab');
  await focused(1127);
  await page.keyboard.press('5');
  await page.waitForFunction((v) => document.querySelector('input[data-id="1127"]').value !== v, step);
  assert.equal(await value(1127), '5');
  const start = await value(1126);
  await page.keyboard.press('Shift+Tab');
  await focused(1126);
  await page.keyboard.press('7');
  await page.waitForFunction((v) => document.querySelector('input[data-id="1126"]').value !== v, start);
  assert.equal(await value(1126), '7');
  // Escape from a check box (not a text field) still cancels the dialog.
  await d.locator('label[data-id="1125"]').click();
  await focused(1125);
  await page.keyboard.press('Escape');
  await idle(page);
  assert.equal((await state(page)).undo, null);
});

test('a number field takes the typing where the user put the caret, and a new state in the middle keeps text, caret and focus', async () => {
  await openDocument(page, 'town-layers.svg');
  await chooseMenu(page, 'レイヤー通し番号作成...');
  const d = dialog(page, 125);
  await d.waitFor();
  const field = () => page.evaluate(() => {
    const f = document.querySelector('input[data-id="1127"]');
    return { value: f.value, focused: document.activeElement === f, caret: [f.selectionStart, f.selectionEnd] };
  });
  const hostText = async () => (await state(page)).dialogs.at(-1).controls.find((c) => c.id === 1127).text;
  // The page's field and the window tree's agree once the typing is in.
  const settled = async (text) => {
    await until(page, (s) => s.dialogs.at(-1).controls.find((c) => c.id === 1127).text === text);
    await page.waitForFunction((t) => document.querySelector('input[data-id="1127"]').value === t, text);
  };
  await d.locator('input[data-id="1127"]').click();
  await page.keyboard.press('Control+a');
  await page.keyboard.type('12');
  await settled('12');
  // Home, then a digit: it goes first, here and in the window tree.
  await page.keyboard.press('Home');
  await page.keyboard.press('3');
  await settled('312');
  // The caret put between two digits stays there across a new state.
  await page.keyboard.press('End');
  await page.keyboard.press('ArrowLeft');
  await newState(page);
  assert.deepEqual(await field(), { value: '312', focused: true, caret: [2, 2] });
  await page.keyboard.press('0');
  await settled('3102');
  // Delete takes the digit after the caret; a letter is refused at once.
  await page.keyboard.press('Home');
  await page.keyboard.press('Delete');
  await page.keyboard.press('x');
  await settled('102');
  // Typing ahead of the window tree: its keystrokes held on their way, the
  // page shows what was typed where the caret was put; the state that shows
  // the first keystroke only, drawn meanwhile, takes nothing away.
  const held = [];
  await page.route('**/api/input', (route) => (/"char"/.test(route.request().postData()) ? held.push(route) : route.continue()));
  const release = async () => {
    while (!held.length) await page.waitForTimeout(20);
    await held.shift().continue();
  };
  await page.keyboard.press('End');
  await page.keyboard.press('4');
  await page.keyboard.press('Home');
  await page.keyboard.press('5');
  assert.deepEqual(await field(), { value: '51024', focused: true, caret: [1, 1] });
  await release();
  const first = await until(page, (s) => s.dialogs.at(-1).controls.find((c) => c.id === 1127).text === '1024');
  await page.waitForFunction((v) => Number(document.body.dataset.version) >= v, first.version);
  assert.deepEqual(await field(), { value: '51024', focused: true, caret: [1, 1] });
  await release();
  await settled('51024');
  await page.unroute('**/api/input');
  assert.deepEqual(await field(), { value: '51024', focused: true, caret: [1, 1] });
  assert.equal(await hostText(), '51024');
  await page.keyboard.press('Escape');
  await idle(page);
});

test('a press on a dialog button that a new state draws anew still clicks it', async () => {
  await openDocument(page, 'town-layers.svg');
  await chooseMenu(page, 'レイヤー通し番号作成...');
  const d = dialog(page, 125);
  await d.waitFor();
  const cancel = await d.locator('button[data-id="2"]').boundingBox();
  await page.mouse.move(cancel.x + cancel.width / 2, cancel.y + cancel.height / 2);
  await page.mouse.down();
  // Between the press and the release, the check box is clicked through the
  // window tree: the dialog is drawn anew with a new Cancel button.
  await page.evaluate(() => (document.querySelector('.window.dialog button[data-id="2"]').old = true));
  const box = (await state(page)).dialogs.at(-1).controls.find((c) => c.id === 1125);
  await page.evaluate((window) => fetch('api/input', {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify({ do: 'dialog', window, id: 1125, action: 'click' }),
  }), box.window);
  await page.waitForFunction(() => !document.querySelector('.window.dialog button[data-id="2"]').old);
  await page.mouse.up();
  await idle(page);
  assert.equal((await state(page)).dialogs.length, 0);
});

test('a drawing is written and compressed once per revision, with gzip, and undo shows the old one without fetching it', async () => {
  await openDocument(page, 'us-states.svg');
  const original = (await state(page)).document.svg;
  await page.waitForFunction((id) => document.body.dataset.drawing === id, original);
  const headers = await page.evaluate(async () => {
    const r = await fetch('api/document.svg');
    return { encoding: r.headers.get('content-encoding'), type: r.headers.get('content-type'), drawing: r.headers.get('x-drawing') };
  });
  assert.equal(headers.encoding, 'gzip', JSON.stringify(headers));
  assert.match(headers.type, /^image\/svg\+xml/);
  const fetched = [];
  const listen = (r) => r.url().includes('api/document.svg') && fetched.push(r.url());
  page.on('request', listen);
  try {
    await chooseMenu(page, 'ポリゴン色分け');
    await page.locator('.window.box.question button.yes').click();
    await finish(page);
    const coloured = (await state(page)).document.svg;
    assert.notEqual(coloured, original);
    await page.waitForFunction((id) => document.body.dataset.drawing === id, coloured);
    assert.equal(fetched.length, 1, fetched.join(' '));
    await page.click('#undo');
    await until(page, (s) => s.undo === null);
    await page.waitForFunction((id) => document.body.dataset.drawing === id, original);
    assert.equal((await state(page)).document.svg, original, 'the same bytes give the same drawing');
    assert.equal(fetched.length, 1, 'the drawing before the command was not fetched again: ' + fetched.join(' '));
  } finally {
    page.off('request', listen);
  }
});

test('placed images are drawn: the drawing carries the files a document places', async () => {
  await openDocument(page, 'labels.json');
  const drawing = await svg(page);
  const hrefs = [...drawing.matchAll(/<image [^>]*xlink:href="([^"]*)"/g)].map((m) => m[1]);
  assert.ok(hrefs.length > 0, 'the example places an image');
  for (const href of hrefs) assert.match(href, /^data:image\/png;base64,iVBOR/);
  // Still drawn after its transform is reset by the plug-in.
  await chooseMenu(page, '配置画像サイズをリセット');
  await finish(page);
  assert.match(await svg(page), /<image [^>]*xlink:href="data:image\/png;base64,/);
});

test('the scale bar lands at the middle of what the user is looking at', async () => {
  await openDocument(page, 'us-states.svg');
  await page.click('#zoom-fit');
  const sheet = await page.locator('#sheet').boundingBox();
  // Zoom in on the north-west corner of the map.
  await page.mouse.move(sheet.x + sheet.width * 0.15, sheet.y + sheet.height * 0.2);
  for (let i = 0; i < 8; ++i) await page.mouse.wheel(0, -100);
  await page.waitForFunction((w) => document.querySelector('#sheet').getBoundingClientRect().width > 2.5 * w, sheet.width);
  const s = await state(page);
  const [left, top, width, height] = s.document.artboard;
  const view = await page.locator('#view').boundingBox();
  const zoomed = await page.locator('#sheet').boundingBox();
  const centre = {
    x: left + ((view.x + view.width / 2 - zoomed.x) / zoomed.width) * width,
    y: top - ((view.y + view.height / 2 - zoomed.y) / zoomed.height) * height,
  };
  await chooseMenu(page, 'スケールバー作成...');
  await dialog(page, 123).waitFor();
  await page.locator('.window.dialog button[data-id="1"]').click();
  await finish(page);
  const pieces = (await until(page, (t) => t.document.selection.length > 0)).document.selection;
  const bar = { x: (Math.min(...pieces.map((p) => p[0])) + Math.max(...pieces.map((p) => p[2]))) / 2,
                y: (Math.min(...pieces.map((p) => p[3])) + Math.max(...pieces.map((p) => p[1]))) / 2 };
  const visible = (view.width / zoomed.width) * width;
  assert.ok(Math.hypot(bar.x - centre.x, bar.y - centre.y) < visible / 4,
    `bar at ${JSON.stringify(bar)}, view centre ${JSON.stringify(centre)}, artboard centre ${left + width / 2},${top - height / 2}`);
  await page.click('#undo');
  await until(page, (t) => t.undo === null);
  await page.click('#zoom-fit');
});

test('the keyboard: menus by arrows, Escape closes them and deselects, Ctrl+Z undoes, icon buttons are named', async () => {
  await openDocument(page, 'us-states.svg');
  // Down on a menu's name opens it; Right opens the plug-in's submenu; Down
  // walks its enabled items to the scale bar; Enter chooses it.
  await page.locator('.menu[data-menu="Object"] > button').focus();
  await page.keyboard.press('ArrowDown');
  await page.waitForSelector('.menu.open .item.active');
  await page.keyboard.press('ArrowRight');
  await page.waitForSelector('.item.sub.open .item.active');
  for (let i = 0; i < 40; ++i) {
    const active = await page.locator('.item.sub.open .item.active').textContent();
    if (active === 'スケールバー作成...') break;
    await page.keyboard.press('ArrowDown');
  }
  // Escape closes the submenu first, then the menu; opened again, Enter chooses.
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !document.querySelector('.item.sub.open') && document.querySelector('.menu.open'));
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !document.querySelector('.menu.open'));
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowRight');
  for (let i = 0; i < 40; ++i) {
    const active = await page.locator('.item.sub.open .item.active').textContent();
    if (active === 'スケールバー作成...') break;
    await page.keyboard.press('ArrowDown');
  }
  await page.keyboard.press('Enter');
  await dialog(page, 123).waitFor();
  await page.keyboard.press('Enter');
  await finish(page);
  assert.equal((await state(page)).undo, 'スケールバー作成...');
  // Escape drops the selection the command left; Ctrl+Z takes the bar away.
  await page.locator('#view').focus();
  await until(page, (s) => s.document.selection.length > 0);
  await page.keyboard.press('Escape');
  await until(page, (s) => s.document.selection.length === 0);
  await page.keyboard.press('Control+z');
  await until(page, (s) => s.undo === null);
  // The text origin panel's six icon buttons each say what they do.
  await openDocument(page, 'labels.json');
  const panel = page.locator('.window.panel[data-panel="テキスト原点"]');
  if (!(await panel.count())) await page.locator('#panel-list label', { hasText: 'テキスト原点' }).locator('input').check();
  await panel.waitFor();
  const names = await panel.locator('button.control').evaluateAll((bs) => bs.map((b) => b.getAttribute('aria-label') || ''));
  assert.equal(names.length, 6);
  assert.equal(new Set(names.filter((n) => n.length > 2)).size, 6, names.join(' | '));
  await page.locator('#panel-list label', { hasText: 'テキスト原点' }).locator('input').uncheck();
  await page.waitForFunction(() => !document.querySelector('.window.panel[data-panel="テキスト原点"]'));
});

// Saves the current document through the page's own chooser.
async function saveAs(name) {
  await page.click('#save');
  const chooser = page.locator('.window.chooser');
  await chooser.waitFor();
  await chooser.locator('.file-name').fill(name);
  await chooser.locator('.file-choose').click();
}

test('saving: replacing a file is asked first, a failure says so in Japanese, a written layer list is told', async () => {
  await openDocument(page, 'town-layers.svg');
  const town = fs.readFileSync(`${root}/town-layers.svg`);
  await openDocument(page, 'us-states.svg');
  await saveAs('town-layers.svg');
  const question = page.locator('.window.box.page-question');
  await question.waitFor();
  assert.match(await question.textContent(), /town-layers\.svg/);
  await question.locator('button.no').click();
  await page.waitForFunction(() => !document.querySelector('.page-question'));
  assert.deepEqual(fs.readFileSync(`${root}/town-layers.svg`), town, 'no answered no, the file stays');
  await saveAs('copy.svg');
  await page.waitForFunction(() => /copy\.svg/.test(document.querySelector('#notice').textContent));
  assert.match(await page.locator('#notice').textContent(), /保存しました/);
  assert.ok(fs.existsSync(`${root}/copy.svg`));
  // A folder in the file's place: the save fails, the notice of the last
  // save goes, and the error says in Japanese what failed.
  fs.mkdirSync(`${root}/taken.svg`);
  await saveAs('taken.svg');
  await page.waitForFunction(() => document.querySelector('#error').textContent !== '');
  // The server's reason in the user's words, its own line under the pointer.
  assert.equal(await page.locator('#error').textContent(), '保存できませんでした: 「taken.svg」はファイルではありません');
  assert.match(await page.locator('#error').getAttribute('title'), /"taken\.svg" is not a file/);
  assert.equal(await page.locator('#notice').textContent(), '');
  // Replacing, answered yes.
  await saveAs('copy.svg');
  await page.locator('.window.box.page-question button.yes').click();
  await page.waitForFunction(() => !document.querySelector('.page-question'));
  await until(page, (t) => t.notice === 'saved', 30000).catch(async (e) => {
    throw new Error(`${e.message}; the page says: ${await page.locator('#error').textContent()}`);
  });
  await page.waitForFunction(() => /保存しました/.test(document.querySelector('#notice').textContent));
  // A layer list written by the plug-in's own save dialog is told by name.
  await chooseMenu(page, 'レイヤー名リストをファイルに保存...');
  const d = page.locator('.window.dialog[data-kind="save"]');
  await d.waitFor();
  // One name field, one save button, the encoding chooser's label whole.
  const layout = await d.evaluate((frame) => {
    const leaves = [...frame.querySelectorAll('*')].filter((e) => !e.children.length);
    const label = [...frame.querySelectorAll('.control.label')].find((e) => /エンコーディング/.test(e.textContent));
    const inner = label.querySelector('.fit').getBoundingClientRect(), outer = label.getBoundingClientRect();
    return {
      nameLabels: leaves.filter((e) => /ファイル名/.test(e.textContent)).length,
      saveButtons: [...frame.querySelectorAll('button')].filter((b) => /保存/.test(b.textContent)).length,
      fields: frame.querySelectorAll('input.file-name').length,
      labelFits: inner.left >= outer.left - 0.5 && inner.right <= outer.right + 0.5,
    };
  });
  assert.deepEqual(layout, { nameLabels: 1, saveButtons: 1, fields: 1, labelFits: true });
  await d.locator('.file-name').fill('names.txt');
  await d.locator('.file-choose').click();
  await finish(page);
  assert.ok(fs.existsSync(`${root}/names.txt`));
  assert.match(await page.locator('#notice').textContent(), /names\.txt.*書き出しました/);
});

test('documents: one entry per file, uploads told apart, unsaved work marked and asked about on closing', async () => {
  const titles = async () => (await state(page)).documents.map((d) => d.title);
  await openDocument(page, 'town-layers.svg');
  const before = await titles();
  await openDocument(page, 'town-layers.svg');
  assert.deepEqual(await titles(), before, 'opening an open file shows it');
  const upload = async () => {
    const count = (await titles()).length;
    await page.locator('#upload').setInputFiles(`${root}/town-layers.svg`);
    await until(page, (s) => s.documents.length === count + 1);
  };
  await upload();
  await upload();
  const all = await titles();
  assert.equal(new Set(all).size, all.length, all.join(', '));
  // The current document with a scale bar: marked as changed; closing asks.
  await chooseMenu(page, 'スケールバー作成...');
  await dialog(page, 123).waitFor();
  await page.locator('.window.dialog button[data-id="1"]').click();
  await finish(page);
  await page.waitForSelector('#documents li.current.modified');
  await page.locator('#documents li.current button.close').click();
  await page.locator('.window.box.page-question button.no').click();
  assert.equal((await titles()).length, all.length);
  await page.locator('#documents li.current button.close').click();
  await page.locator('.window.box.page-question button.yes').click();
  await until(page, (s) => s.documents.length === all.length - 1);
  assert.match(await page.locator('#notice').textContent(), /閉じました/);
});

test('panels: beside the map, not over it or each other; a stale layer tree says why it is grey', async () => {
  await openDocument(page, 'town-layers.svg');
  for (const title of ['テキスト原点', 'レイヤー間移動']) {
    const box = page.locator('#panel-list label', { hasText: title }).locator('input');
    if (!(await box.isChecked())) await box.check();
    await page.locator(`.window.panel[data-panel="${title}"]`).waitFor();
  }
  await page.waitForFunction(() => document.querySelectorAll('.window.panel').length === 2 &&
    [...document.querySelectorAll('.window.panel')].every((p) => p.style.visibility !== 'hidden'));
  const overlap = (a, b) => a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
  const boxes = async () => ({
    view: await page.locator('#view').boundingBox(),
    origin: await page.locator('.window.panel[data-panel="テキスト原点"]').boundingBox(),
    move: await page.locator('.window.panel[data-panel="レイヤー間移動"]').boundingBox(),
  });
  const placed = await boxes();
  assert.ok(!overlap(placed.view, placed.origin) && !overlap(placed.view, placed.move), JSON.stringify(placed));
  assert.ok(!overlap(placed.origin, placed.move), JSON.stringify(placed));
  // Dragging one leaves the other where it is.
  const caption = page.locator('.window.panel[data-panel="テキスト原点"] .caption');
  const c = await caption.boundingBox();
  await page.mouse.move(c.x + 10, c.y + 5);
  await page.mouse.down();
  await page.mouse.move(c.x - 400, c.y + 300, { steps: 5 });
  await page.mouse.up();
  await page.waitForFunction(() => (sessionStorage.getItem('panelPlaces') || '').includes('テキスト原点'));
  const moved = await boxes();
  assert.deepEqual([moved.move.x, moved.move.y], [placed.move.x, placed.move.y]);
  // The move panel lists this document; after a switch its tree is grey,
  // says why, and a click on it is not sent to be refused.
  const panel = page.locator('.window.panel[data-panel="レイヤー間移動"]');
  await panel.locator('button.control', { hasText: 'レイヤーリストを更新' }).click();
  await panel.locator('.control.tree li', { hasText: '背景' }).waitFor();
  await openDocument(page, 'us-states.svg');
  await panel.locator('.control.tree.disabled').waitFor();
  assert.match(await panel.locator('.stale-note').textContent(), /レイヤーリストを更新/);
  const sent = [];
  const listen = (r) => r.url().includes('api/input') && sent.push(r.postData());
  page.on('request', listen);
  await panel.locator('.control.tree li .label').first().click();
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 0)));
  page.off('request', listen);
  assert.deepEqual(sent, []);
  assert.equal(await page.locator('#error').textContent(), '');
  for (const title of ['テキスト原点', 'レイヤー間移動']) await page.locator('#panel-list label', { hasText: title }).locator('input').uncheck();
  await page.waitForFunction(() => !document.querySelector('.window.panel'));
});

test('the window speaks Japanese: menus, notices and a cancelled command', async () => {
  const menus = await page.locator('.menu > button').allTextContents();
  assert.ok(menus.includes('オブジェクト') && menus.includes('ウィンドウ') && menus.includes('ヘルプ'), menus.join(', '));
  assert.equal(await page.locator('#undo').textContent(), '取り消し');
  await openDocument(page, 'town-layers.svg');
  await chooseMenu(page, 'レイヤー通し番号作成...');
  await dialog(page, 125).waitFor();
  await page.locator('.window.dialog button[data-id="2"]').click();
  await idle(page);
  const notice = await page.locator('#notice').textContent();
  assert.match(notice, /^「レイヤー通し番号作成\.\.\.」はキャンセルされました$/);
  // Switching documents leaves no notice about another one.
  await openDocument(page, 'us-states.svg');
  assert.equal(await page.locator('#notice').textContent(), '');
});

test('a browser that asks for English gets the window in English', async () => {
  const english = await launch({ locale: 'en-US' });
  try {
    const other = await openPage(english.browser, server.address);
    const menus = await other.locator('.menu > button').allTextContents();
    assert.ok(menus.includes('Object') && menus.includes('Help'), menus.join(', '));
    assert.equal(await other.locator('#undo').textContent(), 'Undo');
    assert.equal(await other.evaluate(() => document.documentElement.lang), 'en');
  } finally {
    await english.close();
  }
});

test('smaller things: a disabled undo looks disabled, an alert stands over its dialog, the About box says where its web button goes, one outline for many', async () => {
  await openDocument(page, 'us-states.svg');
  const look = await page.evaluate(() => {
    const undo = document.querySelector('#undo');
    const open = document.querySelector('#open');
    return { disabled: undo.disabled, undo: getComputedStyle(undo).color, open: getComputedStyle(open).color };
  });
  if (look.disabled) assert.notEqual(look.undo, look.open, 'a disabled undo is drawn unlike an enabled button');
  // The validation message of dialog 126 stands over the dialog, which stays in view.
  await openDocument(page, 'town-layers.svg');
  await chooseMenu(page, 'レイヤー名置換...');
  await dialog(page, 126).waitFor();
  await page.locator('.window.dialog label[data-id="1115"]').click();
  await page.locator('.window.dialog button[data-id="1"]').click();
  await page.locator('.window.box.alert').waitFor();
  assert.ok(await dialog(page, 126).isVisible(), 'the dialog is still shown under its message');
  await page.locator('.window.box.alert button.ok').click();
  await page.locator('.window.dialog button[data-id="2"]').click();
  await idle(page);
  // The About box's web button: the page shows the address it would open.
  await page.click('.menu[data-menu="Help"] > button');
  await page.hover('.menu.open .item.sub');
  await page.click('.menu.open .item:not(.sub):text-is("Nodra-Orbalis1.5...")');
  const box = page.locator('.window.dialog');
  await box.waitFor();
  const web = box.locator('button.control').filter({ hasText: /http|www|Web|web|ホームページ|サイト/ });
  await web.first().click();
  await page.locator('.shell-note a').waitFor();
  assert.match(await page.locator('.shell-note a').getAttribute('href'), /^https?:\/\//);
  await page.keyboard.press('Escape');
  await idle(page);
  // Everything selected: one outline, not one per object.
  const sheet = await page.locator('#sheet').boundingBox();
  await page.mouse.move(sheet.x + 2, sheet.y + 2);
  await page.mouse.down();
  await page.mouse.move(sheet.x + sheet.width - 2, sheet.y + sheet.height - 2, { steps: 5 });
  await page.mouse.up();
  await until(page, (s) => s.document.selection.length > 5);
  await page.waitForFunction(() => document.querySelectorAll('#overlay .selected').length === 1);
  await page.keyboard.press('Escape');
  await until(page, (s) => s.document.selection.length === 0);
  // Art beyond the artboard is drawn too, past the white sheet.
  fs.writeFileSync(`${root}/beyond.svg`, '<svg xmlns="http://www.w3.org/2000/svg" width="100pt" height="100pt" viewBox="0 0 100 100">' +
    '<rect x="80" y="80" width="60" height="60" fill="#c00"/></svg>');
  await openDocument(page, 'beyond.svg');
  const s = await until(page, (t) => t.document.title === 'beyond.svg' && t.document.drawingBox);
  await page.waitForFunction((id) => document.body.dataset.drawing === id, s.document.svg);
  const sheetBox = await page.locator('#sheet').boundingBox();
  const drawn = await page.locator('#drawing').boundingBox();
  assert.ok(drawn.x + drawn.width > sheetBox.x + sheetBox.width * 1.3, JSON.stringify({ sheetBox, drawn }));
  assert.ok(drawn.y + drawn.height > sheetBox.y + sheetBox.height * 1.3, JSON.stringify({ sheetBox, drawn }));
  assert.match(await svg(page), /viewBox="0 -?0 14\d(\.\d+)? 14\d(\.\d+)?"/);
});
