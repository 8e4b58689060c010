// Keeps the program for offline use after the first visit. It stores only the build's own
// files, each checked against the SHA-256 the build listed, so a web filter's page or a
// half-copied update is never kept as the program; the page comes from the network while
// there is one, so a new version placed on the server shows at the next visit.
// tools/web_sw.py fills in FILES and BUILD.
const FILES = /*FILES*/ {};
const BUILD = "/*BUILD*/";

// The caches of this folder's copy only: another program on the server, or this program in
// another folder, keeps its own.
const PREFIX = "vaporia " + self.registration.scope + " ";
const CACHE = PREFIX + BUILD;
// Older versions of this worker named their caches so.
const OLD_NAME = /^vaporia-[0-9a-f]{12}$/;
// Past this the page comes from the cache, and the network's answer is left unused.
const NETWORK_WAIT_MS = 5000;

const url = (name) => new URL(name, self.location).href;
const own = new Map(Object.keys(FILES).map((name) => [new URL(url(name)).pathname, name]));

async function sha256(response) {
  const digest = await crypto.subtle.digest("SHA-256", await response.arrayBuffer());
  return Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, "0")).join("");
}

// Every file from the server itself, past the browser's HTTP cache: a server that sends no
// Cache-Control would otherwise have the old files stored under the new version's name.
// One file that is not the build's fails the install, and the version in use stays.
self.addEventListener("install", (e) => {
  e.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    for (const [name, hash] of Object.entries(FILES)) {
      const r = await fetch(url(name), { cache: "no-cache" });
      if (!r.ok || (await sha256(r.clone())) !== hash) {
        await caches.delete(CACHE);
        throw new Error(name + " is not the file of this version");
      }
      await cache.put(url(name), r);
    }
    await self.skipWaiting();
  })());
});

self.addEventListener("activate", (e) => {
  e.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys
      .filter((k) => (k.startsWith(PREFIX) && k !== CACHE) || OLD_NAME.test(k))
      .map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

// A server that answers 404 for this worker has withdrawn the program: the worker leaves,
// with its files. Any other answer, or none (offline), keeps it.
async function withdrawn() {
  try {
    const r = await fetch(self.location.href, { cache: "no-store" });
    if (r.status !== 404 && r.status !== 410) return false;
  } catch {
    return false;
  }
  await self.registration.unregister();
  const keys = await caches.keys();
  await Promise.all(keys.filter((k) => k.startsWith(PREFIX)).map((k) => caches.delete(k)));
  return true;
}

// The page asks too, when registering found no worker on the server: a visit the worker
// answered may have raced the server's change.
self.addEventListener("message", (e) => {
  if (e.data === "withdrawn?") e.waitUntil(withdrawn());
});

// The network's page when it answers in time and well; else the stored one, unless the
// server says the program was withdrawn. A query (?lesson=1) still finds the stored page;
// nothing the network answers is stored here.
async function page(e, name) {
  const check = withdrawn();
  e.waitUntil(check);
  const network = fetch(e.request, { cache: "no-cache" });
  let timer = 0;
  const late = new Promise((resolve) => { timer = setTimeout(() => resolve(null), NETWORK_WAIT_MS); });
  const answer = await Promise.race([network.catch(() => null), late]);
  clearTimeout(timer);
  if (answer && (answer.ok || answer.type === "opaqueredirect")) return answer;
  if (answer && (await check)) return answer;
  const stored = await caches.match(url(name), { cacheName: CACHE });
  return stored ?? answer ?? network;
}

self.addEventListener("fetch", (e) => {
  if (e.request.method !== "GET") return;
  const u = new URL(e.request.url);
  const name = u.origin === self.location.origin ? own.get(u.pathname) : undefined;
  if (!name) return; // not the program's: the browser fetches it as if no worker were here
  if (e.request.mode === "navigate") {
    e.respondWith(page(e, name));
    return;
  }
  // The manifest and the icons belong to the version in use.
  e.respondWith(caches.match(url(name), { cacheName: CACHE })
    .then((stored) => stored ?? fetch(e.request)));
});
