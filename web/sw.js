// The page's service worker, for the page served from a web address: it
// keeps the page's own files, so that once visited the page opens offline;
// it answers only for them, from its own origin, and fetches nothing from
// elsewhere. A new version (a new page, so a new service worker) waits
// until every tab of the old one is closed, or until the page asks it to
// take over.
'use strict';
const VERSION = '@VERSION@';
const FILES = ['./', 'index.html', 'manifest.webmanifest', 'icon.svg'];

self.addEventListener('install', (event) => {
  // Past the browser's HTTP cache: a new worker keeps the files as published now.
  const fresh = FILES.map((file) => new Request(file, { cache: 'reload' }));
  event.waitUntil(caches.open(VERSION).then((cache) => cache.addAll(fresh)));
});

self.addEventListener('activate', (event) => {
  const old = (keys) => keys.filter((key) => key !== VERSION).map((key) => caches.delete(key));
  event.waitUntil(
    caches
      .keys()
      .then((keys) => Promise.all(old(keys)))
      .then(() => self.clients.claim()),
  );
});

self.addEventListener('message', (event) => {
  if (event.data === 'take-over') self.skipWaiting();
});

// The page's own files from the cache; anything else of its origin from the
// network as usual (the page asks for nothing else).
self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(
    caches
      .open(VERSION)
      .then((cache) => cache.match(request, { ignoreSearch: true }))
      .then((kept) => kept || fetch(request)),
  );
});
