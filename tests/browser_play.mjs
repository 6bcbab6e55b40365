// Plays a published game in headless Chromium, as a reader would: the first screen, the "开始"
// click, each scene to its whole text, a click on the stage (or a key), the ending. Saves a
// screenshot of each scene (scene-N.png, end.png) and writes what it saw to result.json.
//
//   node browser_play.mjs CHROMIUM PAGE_FOLDER OUT_FOLDER file|http [WIDTHxHEIGHT]
//
// Chromium is driven over its debugging pipe; "http" serves the folder from a local server.
import { spawn } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync, existsSync, statSync } from "node:fs";
import { createServer } from "node:http";
import { tmpdir } from "node:os";
import { extname, join, normalize } from "node:path";
import { pathToFileURL } from "node:url";

const [chromium, folder, out, mode, size = "638x482"] = process.argv.slice(2);
const [width, height] = size.split("x").map(Number);

function serve(root) {
  const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript",
    ".jpg": "image/jpeg", ".png": "image/png", ".mp3": "audio/mpeg", ".woff2": "font/woff2" };
  const server = createServer((request, response) => {
    const path = normalize(join(root, decodeURIComponent(new URL(request.url, "http://x").pathname)));
    if (!path.startsWith(root) || !existsSync(path) || statSync(path).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "content-type": types[extname(path)] || "application/octet-stream" });
    response.end(readFileSync(path));
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

const profile = mkdtempSync(join(tmpdir(), "tale-chromium-"));
const browser = spawn(chromium, [
  "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars",
  "--mute-audio", "--force-color-profile=srgb", "--remote-debugging-pipe",
  `--user-data-dir=${profile}`, "about:blank",
], { stdio: ["ignore", "ignore", "ignore", "pipe", "pipe"] });

let nextId = 1;
const pending = new Map();
const listeners = [];
let buffer = "";
browser.stdio[4].on("data", (chunk) => {
  buffer += chunk.toString("utf8");
  let end;
  while ((end = buffer.indexOf("\0")) >= 0) {
    const message = JSON.parse(buffer.slice(0, end));
    buffer = buffer.slice(end + 1);
    if (message.id && pending.has(message.id)) {
      const { resolve, reject } = pending.get(message.id);
      pending.delete(message.id);
      if (message.error) reject(new Error(JSON.stringify(message.error)));
      else resolve(message.result);
    } else {
      for (const listen of listeners.slice()) listen(message);
    }
  }
});
function send(method, params = {}, sessionId) {
  const id = nextId++;
  browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + "\0");
  return new Promise((resolve, reject) => pending.set(id, { resolve, reject }));
}
function once(method) {
  return new Promise((resolve) => {
    const listen = (message) => {
      if (message.method === method) {
        listeners.splice(listeners.indexOf(listen), 1);
        resolve(message.params);
      }
    };
    listeners.push(listen);
  });
}

let session;
const page = (method, params) => send(method, params, session);
async function evaluate(expression) {
  const { result, exceptionDetails } = await page("Runtime.evaluate",
    { expression, awaitPromise: true, returnByValue: true });
  if (exceptionDetails) throw new Error(exceptionDetails.text + " " + expression);
  return result.value;
}
// Resolves once the stage's state attributes satisfy `condition` (JavaScript over `d`, the
// canvas's dataset): woken by each change the page makes, never by a clock.
function stageWhen(condition) {
  return evaluate(`new Promise((done) => {
    const canvas = document.getElementById("stage");
    const ok = () => { const d = canvas.dataset; return ${condition}; };
    if (ok()) return done(true);
    const watch = new MutationObserver(() => { if (ok()) { watch.disconnect(); done(true); } });
    watch.observe(canvas, { attributes: true });
  })`);
}
async function screenshot(name) {
  const { data } = await page("Page.captureScreenshot", { format: "png" });
  writeFileSync(join(out, name), Buffer.from(data, "base64"));
}
async function click(x, y) {
  for (const type of ["mousePressed", "mouseReleased"])
    await page("Input.dispatchMouseEvent", { type, x, y, button: "left", clickCount: 1 });
}
async function key(keyName, code, keyCode) {
  await page("Input.dispatchKeyEvent", { type: "keyDown", key: keyName, code,
    windowsVirtualKeyCode: keyCode, text: keyName === " " ? " " : undefined });
  await page("Input.dispatchKeyEvent", { type: "keyUp", key: keyName, code,
    windowsVirtualKeyCode: keyCode });
}

const result = { heard: [], errors: [] };
let server;
try {
  const { targetId } = await send("Target.createTarget", { url: "about:blank" });
  ({ sessionId: session } = await send("Target.attachToTarget", { targetId, flatten: true }));
  await page("Page.enable");
  await page("Runtime.enable");
  listeners.push((message) => {
    if (message.method === "Runtime.exceptionThrown")
      result.errors.push(message.params.exceptionDetails.text);
    if (message.method === "Runtime.consoleAPICalled" && message.params.type === "error")
      result.errors.push(message.params.args.map((a) => a.value).join(" "));
  });
  // The page's service worker is left out: the clock run ahead below would stall what it
  // fetches (the browser tests in tests/browser read the page with it).
  await page("Network.enable");
  await page("Network.setBypassServiceWorker", { bypass: true });
  await page("Emulation.setDeviceMetricsOverride",
    { width, height, deviceScaleFactor: 1, mobile: width < height });
  let url;
  if (mode === "http") {
    server = await serve(folder);
    url = `http://127.0.0.1:${server.address().port}/index.html`;
  } else {
    url = pathToFileURL(join(folder, "index.html")).href;
  }
  const started = performance.now();
  const loaded = once("Page.loadEventFired");
  await page("Page.navigate", { url });
  await loaded;
  await evaluate("document.fonts.ready.then(() => true)");
  result.loadMs = Math.round(performance.now() - started);
  await screenshot("cover.png");
  result.title = await evaluate("document.title");
  result.name = await evaluate(`document.getElementById("name").textContent`);
  const start = await evaluate(`(() => { const r = document.getElementById("start")
    .getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()`);
  const clicked = performance.now();
  await click(start[0], start[1]);
  await stageWhen(`d.scene === "0" && d.ready === "1"`);
  result.firstSceneMs = Math.round(performance.now() - clicked);
  // The page's own clock: from the start of its navigation to its load event.
  [result.coverMs, result.pageLoadMs] = await evaluate(`(() => {
    const n = performance.getEntriesByType("navigation")[0];
    return [Math.round(n.domContentLoadedEventEnd), Math.round(n.loadEventEnd)]; })()`);
  result.audioStarted = await evaluate(`(() => { const a = document.querySelector("audio");
    return !!a && !a.paused; })()`);
  result.fontFaces = await evaluate(`[...document.fonts].filter((f) => f.status === "loaded")
    .map((f) => f.family)`);
  // The stage is compared with the player's window: the page's buttons, which stand over its
  // corner when the window leaves no room beside it, are left out of the pictures.
  await evaluate(`document.getElementById("bar").style.visibility = "hidden"`);
  // From here the page's clock runs ahead whenever it waits: each reveal takes no real time.
  await page("Emulation.setVirtualTimePolicy", { policy: "advance" });
  const count = await evaluate("window.TALE_GAME.count");
  const stage = await evaluate(`(() => { const r = document.getElementById("stage")
    .getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()`);
  for (let i = 0; i < count; ++i) {
    await stageWhen(`d.scene === "${i}" && d.ready === "1" && d.revealing === "0"`);
    result.heard.push(await evaluate(`document.getElementById("heard").textContent`));
    await screenshot(`scene-${i}.png`);
    // The whole stage takes the click, as the box does in the player.
    if (i % 2 === 1) await key(" ", "Space", 32);
    else await click(stage[0], stage[1]);
  }
  await stageWhen(`d.scene === "end" && d.ready === "1"`);
  result.heard.push(await evaluate(`document.getElementById("heard").textContent`));
  result.audioAtEnd = await evaluate(`!!document.querySelector("audio") &&
    !document.querySelector("audio").paused`);
  // Elements a scene text would have made, had it been taken as markup.
  result.elements = await evaluate(`document.querySelectorAll("img, b, script:not([src]):not(#continue-check)").length`);
  await screenshot("end.png");
} catch (error) {
  result.errors.push(String(error && error.stack || error));
} finally {
  writeFileSync(join(out, "result.json"), JSON.stringify(result, null, 1));
  if (server) server.close();
  const exited = new Promise((resolve) => browser.once("exit", resolve));
  send("Browser.close").catch(() => undefined);
  await exited;
  rmSync(profile, { recursive: true, force: true, maxRetries: 3 });
}
process.exit(result.errors.length ? 1 : 0);
