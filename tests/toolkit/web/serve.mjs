// The host folder served from 127.0.0.1, gzipped as a web host serves it, for
// the page's tests and its benchmark:
//
//   const host = await serve('build-web/app/host', { hold: /\.wasm$/ });
//   host.url            // http://127.0.0.1:PORT/
//   host.release()      // answers the requests held so far, and the later ones at once
//   await host.close()  // the network is off: nothing answers any more
//
// `hold` keeps the answers to the paths it matches until release(), as a slow
// network would.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';
import { gzipSync } from 'node:zlib';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml', '.png': 'image/png',
};

export async function serve(folder, { hold = null } = {}) {
  let released = !hold;
  const waiting = [];
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://host').pathname));
    const file = join(folder, path.endsWith('/') ? `${path}index.html` : path);
    let body;
    try {
      body = await readFile(file);
    } catch {
      response.writeHead(404).end();
      return;
    }
    if (!released && hold.test(path)) await new Promise((resolve) => waiting.push(resolve));
    const headers = { 'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream', 'Cache-Control': 'no-cache' };
    if (/\bgzip\b/.test(request.headers['accept-encoding'] ?? '') && extname(file) !== '.png') {
      body = gzipSync(body, { level: 9 });
      headers['Content-Encoding'] = 'gzip';
    }
    response.writeHead(200, headers).end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    release() {
      released = true;
      for (const resolve of waiting.splice(0)) resolve();
    },
    close() {
      server.closeAllConnections();
      return new Promise((resolve) => server.close(resolve));
    },
  };
}
