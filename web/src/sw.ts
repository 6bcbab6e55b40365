// The page's service worker: it keeps what the page loaded, so that a reader who added the game
// to a phone's home screen reads on without a network. Publishing sets the cache's name (new
// with each publish) and the list of the page's files before this script.

export {};

/* eslint-disable @typescript-eslint/no-explicit-any */
const worker = self as any;
const CACHE: string = worker.TALE_CACHE;
const FILES: string[] = worker.TALE_FILES;
const SHELL = ["index.html", "tale.js", "game.js", "manifest.webmanifest", "icon-192.png"];

const scope = () => new URL(worker.registration.scope);
const inPage = (url: URL) => {
  const base = scope();
  if (url.origin !== base.origin || !url.pathname.startsWith(base.pathname)) return "";
  return decodeURIComponent(url.pathname.slice(base.pathname.length)) || "index.html";
};

worker.addEventListener("install", (event: any) => {
  event.waitUntil(
    caches
      .open(CACHE)
      .then((cache) => cache.addAll(SHELL.filter((file) => FILES.includes(file))))
      .then(() => worker.skipWaiting()),
  );
});

worker.addEventListener("activate", (event: any) => {
  // A page published again: what was kept of the earlier one goes.
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(
          names
            .filter((name) => name.startsWith(CACHE.slice(0, CACHE.lastIndexOf("-") + 1)))
            .filter((name) => name !== CACHE)
            .map((name) => caches.delete(name)),
        ),
      )
      .then(() => worker.clients.claim()),
  );
});

worker.addEventListener("fetch", (event: any) => {
  const request: Request = event.request;
  if (request.method !== "GET") return;
  const file = inPage(new URL(request.url));
  if (!file || !FILES.includes(file)) return;
  // Music is read in ranges: kept whole, it is served whole; a range is not kept.
  const ranged = request.headers.has("range");
  event.respondWith(
    caches.open(CACHE).then((cache) =>
      cache.match(file).then(
        (kept) =>
          kept ||
          fetch(request).then((response) => {
            if (response.status === 200 && !ranged) void cache.put(file, response.clone());
            return response;
          }),
      ),
    ),
  );
});

// The page names what it loaded before this worker ran, or, opened from the home screen, asks
// for every file of the game: each is kept, one at a time.
worker.addEventListener("message", (event: any) => {
  const wanted: string[] =
    event.data === "keep-all"
      ? FILES
      : event.data && Array.isArray(event.data.keep)
        ? event.data.keep.map((url: string) => inPage(new URL(url))).filter(Boolean)
        : [];
  event.waitUntil(
    caches.open(CACHE).then(async (cache) => {
      for (const file of wanted) {
        if (FILES.includes(file) && !(await cache.match(file)))
          await cache.add(file).catch(() => undefined);
      }
    }),
  );
});
