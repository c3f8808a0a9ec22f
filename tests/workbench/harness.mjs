// Starts `orbalis serve` on a fresh root folder and a headless Chromium on
// its page, for the workbench's end-to-end tests.
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import assert from 'node:assert/strict';

const here = path.dirname(new URL(import.meta.url).pathname);
export const source = path.resolve(here, '../..');
const require = createRequire(path.join(source, 'tools/workbench/package.json'));
const { chromium } = require('playwright-core');

export const cli = process.env.ORBALIS_CLI || path.join(source, 'build/asan/tools/orbalis');
const voronoi = process.env.ORBALIS_VORONOI_MAP || path.join(source, 'build/asan/tools/MakeVoronoiMap');

// A root folder with copies of the example maps (and the image one places)
// and whatever `extra` adds.
export function makeRoot(extra = {}) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'orbalis-workbench-'));
  for (const name of ['us-states.svg', 'town-layers.svg', 'labels.json', 'relief.png'])
    fs.copyFileSync(path.join(source, 'examples', name), path.join(root, name));
  for (const [name, text] of Object.entries(extra)) fs.writeFileSync(path.join(root, name), text);
  return root;
}

// Runs the server (with `env` added to its environment); resolves with its
// address once it prints it.
export function serve(root, documents, options = [], env = {}) {
  const child = spawn(cli, ['serve', ...documents.map((d) => path.join(root, d)), '--root', root, '--prefs', path.join(root, '.prefs.json'), ...options], {
    stdio: ['ignore', 'pipe', 'pipe'],
    env: { ...process.env, ...env },
  });
  let errors = '';
  child.stderr.on('data', (d) => (errors += d));
  return new Promise((resolve, reject) => {
    let out = '';
    child.stdout.on('data', (d) => {
      out += d;
      const line = out.split('\n')[0];
      if (out.includes('\n')) resolve({ child, address: line.trim(), stderr: () => errors });
    });
    child.on('exit', (code) => reject(new Error(`orbalis serve exited with ${code}: ${errors}`)));
  });
}

export async function stop(server) {
  if (server.child.exitCode !== null) return server.child.exitCode;
  const exited = new Promise((resolve) => server.child.on('exit', (code) => resolve(code)));
  server.child.kill('SIGTERM');
  return exited;
}

// A browser that asks for Japanese pages unless told another language.
export async function launch({ locale = 'ja-JP' } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orbalis-chromium-'));
  // A fresh profile each time (Playwright passes it as --user-data-dir).
  const browser = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    locale,
    viewport: { width: 1280, height: 800 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  return { browser, close: async () => { await browser.close(); fs.rmSync(profile, { recursive: true, force: true }); } };
}

// A page on the workbench, with the first state shown.
export async function openPage(browser, address) {
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (e) => problems.push(e.message));
  await page.goto(address);
  await page.waitForFunction(() => Number(document.body.dataset.version) > 0);
  page.problems = problems;
  return page;
}

// A test file's workbench: a fresh root folder (with `prepare(root)` run on
// it), the server on the documents named, and a browser page on it.
export async function startWorkbench(documents, prepare = () => {}) {
  const root = makeRoot();
  prepare(root);
  const server = await serve(root, documents);
  const chrome = await launch();
  const page = await openPage(chrome.browser, server.address);
  return { root, server, chrome, page };
}

// Closes the browser, stops the server (which must exit cleanly) and removes
// the root folder.
export async function closeWorkbench({ root, server, chrome }) {
  await chrome?.close();
  if (server) assert.equal(await stop(server), 0, server.stderr());
  if (root) fs.rmSync(root, { recursive: true, force: true });
}

// The state the page is showing, fetched the way the page fetches it.
export async function state(page) {
  return page.evaluate(async () => (await fetch('api/state')).json());
}

// Waits until the host's state passes `test`. (Playwright's waitForFunction
// takes a promise for a true answer, so it cannot wait on a fetch.)
export async function until(page, test, timeout = 30000) {
  const end = Date.now() + timeout;
  for (;;) {
    const s = await state(page);
    if (test(s)) return s;
    if (Date.now() > end) throw new Error(`the state did not come: ${JSON.stringify({ box: s.box, running: s.running, notice: s.notice, dialogs: s.dialogs.map((d) => d.caption), selection: s.document?.selection })}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// Dismisses the alerts a command ends with until it is done.
export async function finish(page) {
  for (;;) {
    const done = await page.waitForFunction(() => {
      if (document.querySelector('.window.box.alert')) return 'alert';
      return !document.body.dataset.busy && document.querySelector('#modal').hidden ? 'idle' : false;
    });
    if ((await done.jsonValue()) === 'idle') return;
    // The host waits on the alert and publishes nothing else until it is
    // answered: the next state is the one after the answer.
    const before = await page.evaluate(() => Number(document.body.dataset.version));
    await page.locator('.window.box.alert button.ok').click();
    await page.waitForFunction((v) => Number(document.body.dataset.version) > v, before);
  }
}

// Has the host send a new state at once, and waits until the page has drawn
// it: every input is followed by a state, even one the host refuses (here,
// a click at a window that is not there).
export async function newState(page) {
  const before = await page.evaluate(() => Number(document.body.dataset.version));
  await page.evaluate(() => fetch('api/input', {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify({ do: 'dialog', window: '0', id: 0, action: 'click' }),
  }));
  await page.waitForFunction((v) => Number(document.body.dataset.version) > v, before);
}

export async function idle(page) {
  await page.waitForFunction(() => !document.body.dataset.busy && document.querySelector('#modal').hidden);
}

export async function svg(page) {
  return page.evaluate(async () => (await fetch('api/document.svg')).text());
}

// Chooses a menu item by its text through the menus as a person would.
export async function chooseMenu(page, text) {
  await page.click('.menu[data-menu="Object"] > button');
  await page.hover('.menu.open .item.sub');
  await page.click(`.menu.open .item:not(.sub):text-is("${text}")`);
}

export function dialog(page, template) {
  return page.locator(`.window.dialog[data-template="${template}"]`);
}

// Writes a Voronoi map of `cells` cells into the root folder as `name`:
// enough shapes that colouring them takes seconds.
export function voronoiMap(root, name, cells, seed = 7) {
  const geojson = path.join(root, '.voronoi.geojson');
  const result = spawnSync(voronoi, [String(cells), String(seed), path.join(root, name), geojson], { encoding: 'utf8' });
  if (result.status !== 0) throw new Error(`${voronoi} failed: ${result.stderr || result.error}`);
  fs.rmSync(geojson, { force: true });
}

// The current document in the host's native format, parsed: its art and
// styles, as a file would keep them.
export async function documentJson(page) {
  return page.evaluate(async () => (await fetch('api/download?format=json')).json());
}

// Waits until the current document (native format) passes `test`.
export async function untilDocument(page, test, timeout = 30000) {
  const end = Date.now() + timeout;
  for (;;) {
    const d = await documentJson(page);
    if (test(d)) return d;
    if (Date.now() > end) throw new Error('the document did not change as expected');
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// Opens a document of the root folder and waits until it is the current one.
export async function openDocument(page, name) {
  await page.evaluate((p) => fetch('api/input', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify({ do: 'open', path: p }) }), name);
  await page.waitForFunction((n) => document.querySelector('#documents li.current')?.textContent === n, name);
}

// Clicks the drawing at a point of the document's SVG (x right, y down from
// the top left), as a fraction of the sheet.
export async function clickDrawing(page, fx, fy, { shift = false } = {}) {
  const box = await page.locator('#sheet').boundingBox();
  if (shift) await page.keyboard.down('Shift');
  await page.mouse.click(box.x + box.width * fx, box.y + box.height * fy);
  if (shift) await page.keyboard.up('Shift');
}

// Shows a panel through the side list, and returns its window.
export async function showPanel(page, title) {
  const frame = page.locator(`.window.panel[data-panel="${title}"]`);
  if (!(await frame.count())) {
    await page.locator('#panel-list label', { hasText: title }).locator('input').check();
    await frame.waitFor();
  }
  return frame;
}
