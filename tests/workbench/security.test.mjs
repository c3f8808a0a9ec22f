// The workbench's server refuses what does not come from its own page.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { makeRoot, serve, stop } from './harness.mjs';

let root, server, base, port, token;

before(async () => {
  root = makeRoot({ 'notes.txt': 'plain' });
  fs.symlinkSync('/etc', path.join(root, 'outside'));
  server = await serve(root, ['us-states.svg'], ['--max-upload', '1']);
  const url = new URL(server.address);
  port = url.port;
  token = url.pathname.split('/')[1];
  base = server.address;
});
after(async () => {
  assert.equal(await stop(server), 0);
  fs.rmSync(root, { recursive: true, force: true });
});

// A raw request, so that the Host and Origin headers can be anything.
function request(method, requestPath, { host, origin, type, body } = {}) {
  return new Promise((resolve, reject) => {
    const headers = { Host: host ?? `127.0.0.1:${port}` };
    if (origin) headers.Origin = origin;
    if (type) headers['Content-Type'] = type;
    if (body !== undefined) headers['Content-Length'] = Buffer.byteLength(body);
    const req = http.request({ host: '127.0.0.1', port, method, path: requestPath, headers, agent: false }, (res) => {
      let text = '';
      res.on('data', (d) => (text += d));
      res.on('end', () => resolve({ status: res.statusCode, text, headers: res.headers }));
    });
    req.on('error', reject);
    if (body !== undefined) req.write(body);
    req.end();
  });
}

const own = () => `http://127.0.0.1:${port}`;
const input = (value, extra = {}) =>
  request('POST', `/${token}/api/input`, { origin: own(), type: 'application/json', body: JSON.stringify(value), ...extra });

test('the address is loopback with a long random token', () => {
  assert.match(base, /^http:\/\/127\.0\.0\.1:\d+\/[0-9a-f]{64}\/$/);
});

test('a request without the right token is refused', async () => {
  // One hex digit changed: a token that differs only at its end.
  const last = token.slice(-1) === '0' ? '1' : '0';
  const nearMiss = token.slice(0, -1) + last;
  for (const p of ['/', '/api/state', `/${nearMiss}/api/state`, `/${token}x/api/state`]) {
    const r = await request('GET', p);
    assert.equal(r.status, 403, p);
    assert.equal(r.text.trim().split('\n').length, 1);
  }
  assert.equal((await request('GET', `/${token}/api/state`)).status, 200);
});

test('a host name other than the loopback address is refused', async () => {
  for (const host of [`evil.example:${port}`, `127.0.0.1.nip.io:${port}`, '127.0.0.1:1']) {
    const r = await request('GET', `/${token}/api/state`, { host });
    assert.equal(r.status, 403, host);
  }
  assert.equal((await request('GET', `/${token}/api/state`, { host: `localhost:${port}` })).status, 200);
});

test('changes from another origin, or without one, are refused and change nothing', async () => {
  const before = JSON.parse((await request('GET', `/${token}/api/state`)).text);
  for (const origin of [undefined, 'http://evil.example', `http://localhost:${port + 1}`]) {
    const r = await input({ do: 'close' }, { origin });
    assert.equal(r.status, 403, String(origin));
  }
  const r = await input({ do: 'close' }, { type: 'text/plain' });
  assert.equal(r.status, 415);
  const after = JSON.parse((await request('GET', `/${token}/api/state`)).text);
  assert.deepEqual(after.documents, before.documents);
  const probe = await request('GET', `/${token}/api/state`, { origin: 'http://evil.example' });
  assert.equal(probe.headers['access-control-allow-origin'], undefined);
});

test('paths outside the root folder are refused', async () => {
  for (const p of ['../etc/passwd', '/etc/passwd', 'outside/passwd', 'a/../../x.svg']) {
    const r = await input({ do: 'open', path: p });
    assert.equal(r.status, 400, p);
    assert.match(r.text, /outside the root folder|not a path inside|does not exist/);
  }
  for (const p of ['../escape.svg', 'outside/escape.svg', '/tmp/escape.svg']) {
    const r = await input({ do: 'save', path: p });
    assert.equal(r.status, 400, p);
  }
  assert.equal(fs.existsSync('/etc/escape.svg'), false);
  const listing = JSON.parse((await request('GET', `/${token}/api/files?folder=`)).text);
  assert.deepEqual(listing.entries.map((e) => e.name).sort(), ['labels.json', 'notes.txt', 'relief.png', 'town-layers.svg', 'us-states.svg']);
  assert.equal((await request('GET', `/${token}/api/files?folder=outside`)).status, 400);
  assert.equal((await request('GET', `/${token}/api/files?folder=..`)).status, 400);
});

test('an oversized upload is refused and opens nothing', async () => {
  // Sent whole, as a browser sends it: the refusal must still reach the
  // sender rather than a connection reset under it.
  const big = '<svg xmlns="http://www.w3.org/2000/svg">' + ' '.repeat(16 << 20) + '</svg>';
  const r = await request('POST', `/${token}/api/upload?name=big.svg`, { origin: own(), type: 'application/octet-stream', body: big });
  assert.equal(r.status, 413);
  const oversizedInput = await input({ do: 'open', path: 'x'.repeat(70 << 10) });
  assert.equal(oversizedInput.status, 413);
  const state = JSON.parse((await request('GET', `/${token}/api/state`)).text);
  assert.equal(state.documents.length, 1);
});

test('bad inputs get one clear line', async () => {
  for (const [body, status] of [['not json', 400], ['{"do":"fly"}', 400], ['{"do":"select","x":"a","y":1}', 400],
                                ['{"do":"layer","index":99}', 400], ['{"do":"answer"}', 409]]) {
    const r = await request('POST', `/${token}/api/input`, { origin: own(), type: 'application/json', body });
    assert.equal(r.status, status, body);
    assert.equal(r.text.trim().split('\n').length, 1, body);
  }
});

test('saving writes inside the root, whole', async () => {
  const r = await input({ do: 'save', path: 'saved.json' });
  assert.equal(r.status, 200, r.text);
  const saved = JSON.parse(fs.readFileSync(path.join(root, 'saved.json'), 'utf8'));
  assert.ok(saved);
  assert.deepEqual(fs.readdirSync(root).filter((n) => n.includes('.tmp')), []);
});
