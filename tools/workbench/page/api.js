// Talking to the workbench's server. Every address is relative to the page,
// whose own address carries the token.

export class RefusedError extends Error {}

export async function send(input) {
  const response = await fetch('api/input', {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify(input),
  });
  if (!response.ok) throw new RefusedError((await response.text()).trim());
  return response.json().catch(() => ({}));
}

export async function upload(file) {
  const response = await fetch('api/upload?name=' + encodeURIComponent(file.name), {
    method: 'POST',
    headers: { 'Content-Type': 'application/octet-stream' },
    body: file,
  });
  if (!response.ok) throw new RefusedError((await response.text()).trim());
}

export async function files(folder) {
  const response = await fetch('api/files?folder=' + encodeURIComponent(folder));
  if (!response.ok) throw new RefusedError((await response.text()).trim());
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
