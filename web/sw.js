// Keeps the page's files for play without a network. The build names the
// cache after a hash of the files, so a new build's worker fills a cache of
// its own and drops the old one.
const CACHE = 'dungeon-gold-@HASH@';
const FILES = [@FILES@];

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(CACHE)
    .then(function (cache) { return cache.addAll(FILES); })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys()
    .then(function (names) {
      return Promise.all(names.filter(function (name) {
        return name.startsWith('dungeon-gold-') && name !== CACHE;
      }).map(function (name) { return caches.delete(name); }));
    })
    .then(function () { return self.clients.claim(); }));
});

// The kept copy first: the files of one build never change, and a build
// that does comes with a new worker.
self.addEventListener('fetch', function (event) {
  if (event.request.method !== 'GET') {
    return;
  }
  event.respondWith(caches.open(CACHE)
    .then(function (cache) { return cache.match(event.request, { ignoreSearch: true }); })
    .then(function (kept) { return kept || fetch(event.request); }));
});
