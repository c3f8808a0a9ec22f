// Times the browser workbench on large maps, browser included: from opening
// counties.svg to its drawing shown, from a command's end to the new drawing,
// and, on a 60,000-cell Voronoi map, from the upload to the drawing and from
// an undo to the drawing. Each figure is the median of BENCH_RUNS runs
// (default 5), printed as Markdown table rows.
//
//   ORBALIS_CLI=build/release/tools/orbalis ORBALIS_VORONOI_MAP=build/release/tools/MakeVoronoiMap \
//     node bench/workbench-speed.mjs
//
// "Shown" is when the page has decoded the drawing into its image (the page
// marks it on <body data-drawing>), so the figures include the host's export,
// the transfer and the browser's drawing of the SVG.
import fs from 'node:fs';
import path from 'node:path';
import { makeRoot, serve, stop, launch, openPage, state, until, finish, chooseMenu, dialog, voronoiMap, source } from '../tests/workbench/harness.mjs';

const runs = Number(process.env.BENCH_RUNS || 5);
const cells = Number(process.env.BENCH_CELLS || 60000);

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = sorted.length >> 1;
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

// Waits until the page shows the drawing the host has now for the current
// document, named `title`.
async function shown(page, title) {
  const s = await until(page, (t) => t.document?.title === title && !t.running && t.document.svg, 120000);
  await page.waitForFunction((id) => document.body.dataset.drawing === id, s.document.svg, { timeout: 120000 });
  return s;
}

async function closeCurrent(page) {
  const count = (await state(page)).documents.length;
  await page.evaluate(() => fetch('api/input', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify({ do: 'close', discard: true }) }));
  await until(page, (s) => s.documents.length === count - 1);
}

// The server's processor time so far (user and system), in seconds: what
// the host spends, whatever else the machine runs meanwhile.
function serverCpu() {
  const fields = fs.readFileSync(`/proc/${server.child.pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
  return (Number(fields[11]) + Number(fields[12])) / 100;
}

const cpu = {};
async function time(work, name) {
  const start = performance.now(), startCpu = serverCpu();
  await work();
  (cpu[name] ||= []).push(serverCpu() - startCpu);
  return (performance.now() - start) / 1000;
}

const root = makeRoot();
fs.copyFileSync(path.join(source, 'examples/counties.svg'), path.join(root, 'counties.svg'));
voronoiMap(root, 'voronoi.svg', cells);
const server = await serve(root, ['town-layers.svg']);
const chrome = await launch();
const results = {};
const loadBefore = fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ');
try {
  const page = await openPage(chrome.browser, server.address);
  const take = (name, seconds) => (results[name] ||= []).push(seconds);
  const timed = (name, work) => time(work, name).then((seconds) => take(name, seconds));

  for (let i = 0; i < runs; ++i) {
    // counties.svg: opening, then a colouring's end and its undo.
    await timed('counties.svg: open to drawing shown', async () => {
      await page.evaluate(() => fetch('api/input', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify({ do: 'open', path: 'counties.svg' }) }));
      await shown(page, 'counties.svg');
    });
    // Yes to colouring the layer; past the warnings that many shapes
    // touch (no: do not stop), to the alert that it is done.
    await chooseMenu(page, 'ポリゴン色分け');
    for (;;) {
      const box = await page.waitForFunction(() => document.querySelector('.window.box')?.className, null, { timeout: 120000 });
      if (/alert/.test(await box.jsonValue())) break;
      const text = await page.locator('.window.box.question .text').textContent();
      const version = await page.evaluate(() => Number(document.body.dataset.version));
      await page.locator(`.window.box.question button.${/多すぎ/.test(text) ? 'no' : 'yes'}`).click();
      await page.waitForFunction((v) => Number(document.body.dataset.version) > v, version);
    }
    await timed('counties.svg: command end (last alert answered) to new drawing shown', async () => {
      await finish(page);
      await shown(page, 'counties.svg');
    });
    await timed('counties.svg: undo to drawing shown', async () => {
      await page.click('#undo');
      await until(page, (s) => s.undo === null);
      await shown(page, 'counties.svg');
    });
    await closeCurrent(page);

    // The Voronoi map: uploaded, a scale bar added, undone.
    await timed(`${cells}-cell map: upload to drawing shown`, async () => {
      await page.locator('#upload').setInputFiles(path.join(root, 'voronoi.svg'));
      await shown(page, 'voronoi.svg');
    });
    await chooseMenu(page, 'スケールバー作成...');
    await dialog(page, 123).waitFor();
    await timed(`${cells}-cell map: command end (dialog OK) to new drawing shown`, async () => {
      await page.locator('.window.dialog button[data-id="1"]').click();
      await finish(page);
      await shown(page, 'voronoi.svg');
    });
    await timed(`${cells}-cell map: undo to drawing shown`, async () => {
      await page.click('#undo');
      await until(page, (s) => s.undo === null);
      await shown(page, 'voronoi.svg');
    });
    await closeCurrent(page);
  }
  const size = (name) => (fs.statSync(path.join(root, name)).size / 1e6).toFixed(1);
  console.log(`counties.svg ${size('counties.svg')} MB, ${cells}-cell map ${size('voronoi.svg')} MB, ${runs} runs`);
  console.log(`load average before: ${loadBefore}, after: ${fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ')}`);
  console.log('| measure | median wall time | runs | median server CPU time |');
  console.log('| --- | --- | --- | --- |');
  for (const [name, values] of Object.entries(results))
    console.log(`| ${name} | ${median(values).toFixed(2)} s | ${values.map((v) => v.toFixed(2)).join(', ')} | ${median(cpu[name]).toFixed(2)} s |`);
} finally {
  await chrome.close();
  await stop(server);
  fs.rmSync(root, { recursive: true, force: true });
}
