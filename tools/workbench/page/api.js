// Talking to the workbench's server. Every address is relative to the page,
// whose own address carries the token.

// A refusal: the server's line in English, and the reason it gives beside
// it for the page to word in its user's language.
export class RefusedError extends Error {
  constructor(line, reason, detail, version) {
    super(line);
    this.reason = reason;
    this.detail = detail;
    this.version = version;
  }
}

// The version of the first state that shows an input's effect.
function versionOf(response) {
  return Number(response.headers.get('Orbalis-Version')) || 0;
}

async function refused(response) {
  const detail = response.headers.get('Orbalis-Detail');
  return new RefusedError((await response.text()).trim(), response.headers.get('Orbalis-Reason') || '',
                          detail ? decodeURIComponent(detail) : '', versionOf(response));
}

export async function send(input) {
  const response = await fetch('api/input', {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify(input),
  });
  if (!response.ok) throw await refused(response);
  const reply = await response.json().catch(() => ({}));
  return { ...reply, version: versionOf(response) };
}

export async function upload(file) {
  const response = await fetch('api/upload?name=' + encodeURIComponent(file.name), {
    method: 'POST',
    headers: { 'Content-Type': 'application/octet-stream' },
    body: file,
  });
  if (!response.ok) throw await refused(response);
}

export async function files(folder) {
  const response = await fetch('api/files?folder=' + encodeURIComponent(folder));
  if (!response.ok) throw await refused(response);
  return response.json();
}

// Follows the host's state: calls `show` with every new snapshot.
export async function follow(show) {
  let version = 0;
  for (;;) {
    try {
      const response = await fetch('api/state?after=' + version);
      if (!response.ok) throw new Error(response.statusText);
      const state = await response.json();
      if (state.version !== version) {
        version = state.version;
        show(state);
      }
    } catch (e) {
      await new Promise((resolve) => setTimeout(resolve, 1000));
    }
  }
}
