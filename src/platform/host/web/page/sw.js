// Kelvora's service worker: every file of the page is kept on the first visit, so the page starts
// again without a network and installs as an app. A new build of the page comes with a new version
// of this file: it keeps the new files whole before the old ones go, so that the program and its
// page always come from the same build.
'use strict';

var version = 'kelvora-@KELVORA_SITE_VERSION@';
var files = [@KELVORA_SITE_FILES@];

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(version).then(function (cache) { return cache.addAll(files); })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) { return name !== version; })
      .map(function (name) { return caches.delete(name); }));
  }).then(function () { return self.clients.claim(); }));
});

self.addEventListener('fetch', function (event) {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(version).then(function (cache) {
    return cache.match(event.request, { ignoreSearch: true }).then(function (kept) {
      return kept || fetch(event.request);
    });
  }));
});
