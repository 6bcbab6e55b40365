import { element } from "./panels";

/**
 * Served over http(s), the page offers itself to be installed (its manifest) and reads on without
 * a network (its service worker, sw.ts): the worker is told what the page loaded before it ran,
 * and, opened from the home screen, to keep every file of the game.
 */
export function offerOffline(): void {
  if (location.protocol !== "http:" && location.protocol !== "https:") return;
  const manifest = element("link");
  manifest.rel = "manifest";
  manifest.href = "manifest.webmanifest";
  document.head.appendChild(manifest);
  if (!("serviceWorker" in navigator)) return;
  void navigator.serviceWorker
    .register("sw.js")
    .then(() => navigator.serviceWorker.ready)
    .then((registration) => {
      const loaded = performance
        .getEntriesByType("resource")
        .map((entry) => entry.name)
        .concat(location.href);
      registration.active?.postMessage({ keep: loaded });
      if (window.matchMedia("(display-mode: standalone)").matches)
        registration.active?.postMessage("keep-all");
    })
    .catch(() => undefined);
}
