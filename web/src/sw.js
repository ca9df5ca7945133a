// SPDX-License-Identifier: GPL-3.0-or-later
// The page's service worker. It serves the page's own files from a cache
// named after the build, adding the two headers of cross-origin isolation:
// the engine's threads then get their shared memory from any static host,
// and the page opens with the network gone. web/make-sw.mjs writes VERSION
// and FILES (every file of the build) above these lines.
/* global VERSION, FILES */
const CACHE = `solvane-${VERSION}`;
const TYPES = { wasm: 'application/wasm', js: 'text/javascript', css: 'text/css', html: 'text/html; charset=utf-8' };

self.addEventListener('install', (event) => {
  // Past the HTTP cache: a host's stale copy would mix two builds.
  const requests = FILES.map((file) => new Request(file, { cache: 'reload' }));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(requests)));
});

self.addEventListener('activate', (event) => {
  const old = (names) => names.filter((name) => name.startsWith('solvane-') && name !== CACHE);
  event.waitUntil(caches.keys().then((names) => Promise.all(old(names).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// A new build waits until the page, told it is ready, asks for it.
self.addEventListener('message', (event) => event.data === 'update' && self.skipWaiting());

self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method === 'GET' && url.origin === self.location.origin) event.respondWith(serve(event.request));
});

async function serve(request) {
  const cache = await caches.open(CACHE);
  const response = (await cache.match(request, { ignoreSearch: true })) ?? (await fetch(request));
  return isolated(response, new URL(request.url).pathname);
}

function isolated(response, path) {
  if (!response.ok) return response;
  const headers = new Headers(response.headers);
  headers.set('Cross-Origin-Opener-Policy', 'same-origin');
  headers.set('Cross-Origin-Embedder-Policy', 'require-corp');
  // A host that does not know .wasm would stop the engine's compilation.
  const type = TYPES[path.split('.').pop()];
  if (type && !path.endsWith('/')) headers.set('Content-Type', type);
  return new Response(response.body, { status: response.status, statusText: response.statusText, headers });
}
