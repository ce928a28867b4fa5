// The page's service worker: after one visit the page works without the
// network. offline_site.py writes sw.js as this file after two lines of its
// own: CACHE, the cache of this version (named by a hash of every file of the
// site), and FILES, every file of the site.
//
// One version per page, never a mix: each page is pinned, at its load, to
// the cache it was loaded from, and every later request of that page (the
// editor bundle, the examples) is answered from that same cache, whichever
// worker answers it. So a new version can take over at once: the pages
// already open stay on theirs, and the next load or reload gets the new one
// whole. A version's cache goes once no open page is pinned to it.
/* global CACHE, FILES */
const PREFIX = "tarvo-";
const PINS = PREFIX + "pages";   // pins: "pin/<client id>" -> {cache, at}
// A page is pinned before it exists as a client; its pin is not dropped as a
// gone page's for this long.
const PIN_GRACE_MS = 60 * 1000;
const pinKey = (clientId) => new URL("pin/" + encodeURIComponent(clientId), self.registration.scope).href;

self.addEventListener("install", (event) => {
  // Takes over once installed; not awaited, since Chromium settles it only then.
  self.skipWaiting();
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // Past the browser's HTTP cache: a file of the version before must not slip into this one.
    await cache.addAll(FILES.map((file) => new Request(file, { cache: "reload" })));
  })());
});

self.addEventListener("activate", (event) => event.waitUntil(dropUnusedVersions()));

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(answer(event));
});

async function answer(event) {
  let version = CACHE;
  if (event.request.mode === "navigate") {
    if (event.resultingClientId) {
      const pins = await caches.open(PINS);
      await pins.put(pinKey(event.resultingClientId), new Response(JSON.stringify({ cache: CACHE, at: Date.now() })));
    }
    event.waitUntil(dropUnusedVersions());
  } else if (event.clientId) {
    const pin = await (await caches.open(PINS)).match(pinKey(event.clientId));
    if (pin) version = (await pin.json()).cache;
  }
  const cached = await caches.match(event.request, { cacheName: version, ignoreSearch: true }) ||
                 await caches.match(event.request, { cacheName: CACHE, ignoreSearch: true });
  return cached || fetch(event.request);
}

// The caches of versions that neither this worker nor an open page uses, and
// the pins of pages that are gone.
async function dropUnusedVersions() {
  const open = new Set((await self.clients.matchAll({ includeUncontrolled: true })).map((client) => client.id));
  const pins = await caches.open(PINS);
  const inUse = new Set([CACHE]);
  for (const request of await pins.keys()) {
    const clientId = decodeURIComponent(request.url.slice(request.url.lastIndexOf("/") + 1));
    const pin = await (await pins.match(request)).json();
    if (open.has(clientId) || Date.now() - pin.at < PIN_GRACE_MS) inUse.add(pin.cache);
    else await pins.delete(request);
  }
  for (const name of await caches.keys()) {
    if (name.startsWith(PREFIX) && name !== PINS && !inUse.has(name)) await caches.delete(name);
  }
}
