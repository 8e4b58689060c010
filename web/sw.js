// Keeps the page for offline use after the first visit: answers from the cache at once
// and refreshes the cache from the server when it can.
const CACHE = "vaporia-VERSION";
// Not "./": a server may answer a folder with a listing or a refusal, failing the install.
const FILES = ["vaporia.html", "manifest.webmanifest", "vaporia-128.png", "vaporia-256.png"];

self.addEventListener("install", (e) => {
  e.waitUntil(caches.open(CACHE).then((c) => c.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (e) => {
  e.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k !== CACHE).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (e) => {
  if (e.request.method !== "GET") return;
  e.respondWith(caches.open(CACHE).then(async (cache) => {
    const hit = await cache.match(e.request, { ignoreSearch: true });
    const fresh = fetch(e.request).then((r) => {
      if (r.ok) cache.put(e.request, r.clone());
      return r;
    });
    if (hit) {
      fresh.catch(() => {});
      return hit;
    }
    return fresh;
  }));
});
