// Starts `orbalis serve` on a fresh root folder and a headless Chromium on
// its page, for the workbench's end-to-end tests.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const here = path.dirname(new URL(import.meta.url).pathname);
export const source = path.resolve(here, '../..');
const require = createRequire(path.join(source, 'tools/workbench/package.json'));
const { chromium } = require('playwright-core');

export const cli = process.env.ORBALIS_CLI || path.join(source, 'build/asan/tools/orbalis');

// A root folder with copies of the example maps and whatever `extra` adds.
export function makeRoot(extra = {}) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'orbalis-workbench-'));
  for (const name of ['us-states.svg', 'town-layers.svg'])
    fs.copyFileSync(path.join(source, 'examples', name), path.join(root, name));
  for (const [name, text] of Object.entries(extra)) fs.writeFileSync(path.join(root, name), text);
  return root;
}

// Runs the server; resolves with its address once it prints it.
export function serve(root, documents, options = []) {
  const child = spawn(cli, ['serve', ...documents.map((d) => path.join(root, d)), '--root', root, '--prefs', path.join(root, '.prefs.json'), ...options], {
    stdio: ['ignore', 'pipe', 'pipe'],
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

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orbalis-chromium-'));
  // A fresh profile each time (Playwright passes it as --user-data-dir).
  const browser = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
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

// The state the page is showing, fetched the way the page fetches it.
export async function state(page) {
  return page.evaluate(async () => (await fetch('api/state')).json());
}

// Dismisses the alerts a command ends with until it is done.
export async function finish(page) {
  for (;;) {
    const done = await page.waitForFunction(() => {
      if (document.querySelector('.window.box.alert')) return 'alert';
      return !document.body.dataset.busy && document.querySelector('#modal').hidden ? 'idle' : false;
    });
    if ((await done.jsonValue()) === 'idle') return;
    await page.locator('.window.box.alert button.ok').click();
    await page.waitForTimeout(50);
  }
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

// A grid of squares sharing their edges: enough shapes that colouring them
// takes a while.
export function gridMap(columns, rows, size = 10) {
  const squares = [];
  for (let r = 0; r < rows; ++r)
    for (let c = 0; c < columns; ++c)
      squares.push(`<rect id="s${r}-${c}" x="${c * size}" y="${r * size}" width="${size}" height="${size}" fill="#ddd" stroke="#fff"/>`);
  return `<svg xmlns="http://www.w3.org/2000/svg" xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" width="${columns * size}" height="${rows * size}" viewBox="0 0 ${columns * size} ${rows * size}"><g inkscape:groupmode="layer" inkscape:label="grid">${squares.join('')}</g></svg>`;
}
