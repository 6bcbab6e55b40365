// What the browser tests share: starting Debian's Chromium or Firefox ESR through puppeteer-core,
// a local web server that can serve a page under a sub-path and pace its replies like a slow link,
// and axe-core's accessibility check.
import { createReadStream, existsSync, mkdtempSync, readFileSync, rmSync, statSync } from "node:fs";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import { extname, join, normalize } from "node:path";
import { createRequire } from "node:module";
import puppeteer from "puppeteer-core";

const require = createRequire(import.meta.url);

/** Chromium or Firefox ESR, headless, with a new empty profile, and nothing of its own online. */
export async function launch(name) {
  const profile = mkdtempSync(join(tmpdir(), `tale-${name}-`));
  const browser =
    name === "firefox"
      ? await puppeteer.launch({
          browser: "firefox",
          executablePath: "/usr/bin/firefox-esr",
          headless: true,
          userDataDir: profile,
          extraPrefsFirefox: {
            "media.autoplay.default": 0,
            "app.update.enabled": false,
            "browser.safebrowsing.malware.enabled": false,
            "browser.safebrowsing.phishing.enabled": false,
            "network.captive-portal-service.enabled": false,
            "datareporting.policy.dataSubmissionEnabled": false,
          },
        })
      : await puppeteer.launch({
          browser: "chrome",
          executablePath: "/usr/bin/chromium",
          headless: true,
          userDataDir: profile,
          args: [
            "--no-sandbox",
            "--disable-gpu",
            "--no-first-run",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--autoplay-policy=no-user-gesture-required",
            "--mute-audio",
            "--hide-scrollbars",
          ],
        });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 3 });
  };
  return browser;
}

const TYPES = {
  ".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8",
  ".jpg": "image/jpeg", ".png": "image/png", ".gif": "image/gif", ".bmp": "image/bmp",
  ".mp3": "audio/mpeg", ".ogg": "audio/ogg", ".woff2": "font/woff2",
  ".webmanifest": "application/manifest+json",
};

/**
 * Serves `folders` ({ "/path/": folder }) on 127.0.0.1; `rate`, in bytes a second, paces all
 * replies together as one link would. Keeps a log of every request: path, status and bytes sent.
 */
export function serve(folders, rate = 0) {
  const log = [];
  let linkFree = 0;
  const pace = async (bytes) => {
    if (!rate) return;
    const now = performance.now();
    linkFree = Math.max(now, linkFree) + (bytes * 1000) / rate;
    await new Promise((resolve) => setTimeout(resolve, linkFree - now));
  };
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, "http://x").pathname);
    const prefix = Object.keys(folders).find((p) => path.startsWith(p));
    let file = prefix && normalize(join(folders[prefix], path.slice(prefix.length)));
    if (file && existsSync(file) && statSync(file).isDirectory()) file = join(file, "index.html");
    const entry = { path, status: 200, bytes: 0, at: performance.now() };
    log.push(entry);
    if (!file || !file.startsWith(folders[prefix]) || !existsSync(file)) {
      entry.status = 404;
      response.writeHead(404).end();
      return;
    }
    const body = readFileSync(file);
    response.writeHead(200, {
      "content-type": TYPES[extname(file)] || "application/octet-stream",
      "content-length": body.length,
      "cache-control": "no-cache",
    });
    for (let at = 0; at < body.length && !response.destroyed; at += 8192) {
      const piece = body.subarray(at, at + 8192);
      await pace(piece.length);
      response.write(piece);
      entry.bytes += piece.length;
    }
    response.end();
  });
  return new Promise((resolve) =>
    server.listen(0, "127.0.0.1", () =>
      resolve({
        url: `http://127.0.0.1:${server.address().port}`,
        log,
        close: () => {
          server.close();
          server.closeAllConnections();
        },
      }),
    ),
  );
}

const axeSource = readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");

/** axe-core's violations on the page as it stands, as "id: target" lines. */
export async function axe(page) {
  await page.evaluate(axeSource);
  const violations = await page.evaluate(async () => {
    const result = await window.axe.run(document, { resultTypes: ["violations"] });
    return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
  });
  return violations;
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
