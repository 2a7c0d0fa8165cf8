// The host folder's service worker (make_page.mjs writes in the version and
// the files). It keeps the files that the page needs in a cache named after
// their version, and answers the page's requests from it, so that after one
// visit the page opens and computes with no network.
//
// A new version on the host has another hash, so this file differs, and the
// browser, which fetches it again on every visit, installs it beside the
// running one: it fetches the new files past the browser's HTTP cache, takes
// over at once and deletes the caches of every other version. The page that
// is open goes on with the version it was loaded with; the next visit opens
// the new one.
const VERSION = '@VERSION@';
const FILES = @FILES@;
const CACHE = `transmission-ratio-${VERSION}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('transmission-ratio-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept ?? fetch(event.request)));
});
