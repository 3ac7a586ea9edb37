'use strict';
// Keeps the page's folder, so that the page starts and plays offline. Each request goes to the
// web host first, so that a new version is taken as soon as it is there; without the host, the
// copy kept at the last visit serves.
const CACHE = 'tolvane-@PROJECT_VERSION@';
const FILES = ['./', 'index.html', 'tolvane.html', 'manifest.webmanifest', 'tolvane.svg',
    'icon-192.png', 'icon-512.png', 'icon-maskable.png', 'apple-touch-icon.png'];

self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)));
    self.skipWaiting();
});

self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys().then((names) => Promise.all(
        names.filter((name) => name !== CACHE).map((name) => caches.delete(name)))));
    self.clients.claim();
});

self.addEventListener('fetch', (event) => {
    event.respondWith(fetch(event.request).then((response) => {
        if (response.ok) {
            const copy = response.clone();
            caches.open(CACHE).then((cache) => cache.put(event.request, copy));
        }
        return response;
    }).catch(() => caches.match(event.request, { ignoreSearch: true }).then(
        (kept) => kept || Response.error())));
});
