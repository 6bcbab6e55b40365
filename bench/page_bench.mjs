// Measures the published page in headless Chromium: the published demo's size, the cover's first
// paint, the bytes and the time before the first scene on a 200 kB/s link (the demo and the
// largest game), 开始 to the first scene once the data is there, a tap to the next frame, idle CPU
// on a scene, and the JavaScript heap after playing the largest game to its end.
//
//   node bench/page_bench.mjs PAGES      (PAGES: the folder tests/browser/make-pages.sh fills)
import { readdirSync, statSync } from "node:fs";
import { join } from "node:path";
import { launch, serve } from "../tests/browser/harness.mjs";

const pages = process.argv[2];
const RATE = 200 * 1000;
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
};
const kb = (bytes) => `${(bytes / 1024).toFixed(0)} KB`;

function folderBytes(folder) {
  let sum = 0;
  for (const entry of readdirSync(folder, { withFileTypes: true })) {
    const path = join(folder, entry.name);
    sum += entry.isDirectory() ? folderBytes(path) : statSync(path).size;
  }
  return sum;
}

const browser = await launch("chromium");
const report = (what, value) => console.log(`${what.padEnd(58)} ${value}`);

async function fresh(width = 1280, height = 800) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width, height });
  return { page, context };
}

/** The largest game's page from a local server, its first scene's files there. */
async function readyPage() {
  const server = await serve({ "/": join(pages, "long") });
  const { page, context } = await fresh();
  await page.goto(`${server.url}/index.html`);
  await page.waitForFunction(`document.getElementById("loading").hidden`);
  return { page, done: async () => (await context.close(), server.close()) };
}

const when = (page, condition, timeout = 60000) =>
  page.waitForFunction(`(${condition})(document.getElementById("stage").dataset)`, {
    polling: "mutation",
    timeout,
  });

report("published demo in all", kb(folderBytes(join(pages, "demo"))));
report("largest game (4095 scenes of 120 characters) in all", kb(folderBytes(join(pages, "long"))));

// The first scene on a slow link: 开始 pressed as soon as it shows.
for (const game of ["demo", "long"]) {
  const server = await serve({ "/": join(pages, game) }, RATE);
  const { page, context } = await fresh();
  await page.goto(`${server.url}/index.html`, { waitUntil: "domcontentloaded" });
  await page.waitForSelector("#start");
  const clicked = performance.now();
  await page.click("#start");
  await when(page, (d) => d.scene === "0" && d.ready === "1");
  const took = performance.now() - clicked;
  const bytes = server.log.reduce((sum, entry) => sum + (entry.at < clicked + took ? entry.bytes : 0), 0);
  const paint = await page.evaluate(
    () => performance.getEntriesByName("first-contentful-paint")[0]?.startTime ?? -1,
  );
  report(`${game}: the cover's first paint (200 kB/s)`, `${Math.round(paint)} ms`);
  report(`${game}: bytes before the first scene (200 kB/s)`, kb(bytes));
  report(`${game}: 开始 pressed at once to the first scene (200 kB/s)`, `${Math.round(took)} ms`);
  await context.close();
  server.close();
}

// 开始 once the data is there, to the frame that shows the first scene; taps to the next frame.
{
  const { page, done } = await readyPage();
  // Listens for the next `type` event on `selector`; then, from it: the stage drawn
  // (the page's handlers done), the next frame begun, and the frame after (the first presented).
  const frame = async (selector, type = "pointerup") => {
    await page.evaluate((s, type) => {
      window.frameTaken = new Promise((resolve) => {
        document.querySelector(s).addEventListener(
          type,
          (event) => {
            const at = event.timeStamp;
            let drawn = 0;
            // After the page's own handlers, which draw the stage before they return.
            window.addEventListener(type, () => (drawn = performance.now() - at), {
              once: true,
            });
            requestAnimationFrame(() => {
              const next = performance.now() - at;
              requestAnimationFrame(() => resolve([drawn, next, performance.now() - at]));
            });
          },
          { once: true, capture: true },
        );
      });
    }, selector, type);
    return () => page.evaluate(() => window.frameTaken);
  };
  const startFrame = await frame("#start", "click"); // 开始 starts on its click
  await page.click("#start");
  const [drawn, begun, after] = await startFrame();
  report("开始 to the first scene drawn, data there", `${drawn.toFixed(1)} ms`);
  report("开始 to the next frame begun / the frame after it", `${begun.toFixed(1)} / ${after.toFixed(1)} ms`);
  await when(page, (d) => d.scene === "0" && d.ready === "1");
  // Each tap: from the pointer's release to the frame after the one it drew (an upper bound).
  const taps = [];
  for (let i = 1; i <= 40; ++i) {
    const measured = await frame("#surface");
    await page.mouse.click(640, 300);
    taps.push(await measured());
    await when(page, `(d) => d.scene === "${i}" && d.ready === "1"`);
  }
  report("a tap: the next scene drawn, median of 40", `${median(taps.map((t) => t[0])).toFixed(1)} ms`);
  report("a tap: the next frame begun, median of 40", `${median(taps.map((t) => t[1])).toFixed(1)} ms`);
  report("a tap: the frame after it begun, median of 40", `${median(taps.map((t) => t[2])).toFixed(1)} ms`);
  // Idle on a scene whose text stands whole: the page's own task time over 10 s.
  await when(page, (d) => d.revealing === "0");
  const cdp = await page.createCDPSession();
  await cdp.send("Performance.enable");
  const task = async () =>
    (await cdp.send("Performance.getMetrics")).metrics.find((m) => m.name === "TaskDuration").value;
  const before = await task();
  await new Promise((resolve) => setTimeout(resolve, 10000));
  const idle = (await task()) - before;
  report("idle on a scene: the renderer's task time over 10 s", `${((idle / 10) * 100).toFixed(2)} % of a core`);
  await done();
}

// The largest game played to its end with Space, then the heap after a garbage collection.
{
  const { page, done } = await readyPage();
  await page.click("#start");
  await when(page, (d) => d.scene === "0" && d.ready === "1");
  const count = await page.evaluate(() => window.TALE_GAME.count);
  const started = performance.now();
  for (let i = 1; i <= count; ++i) {
    await page.keyboard.press(" ");
    await when(page, i < count ? `(d) => d.scene === "${i}"` : (d) => d.scene === "end");
  }
  const played = performance.now() - started;
  const cdp = await page.createCDPSession();
  await cdp.send("HeapProfiler.collectGarbage");
  await cdp.send("Performance.enable");
  const { metrics } = await cdp.send("Performance.getMetrics");
  const heap = metrics.find((m) => m.name === "JSHeapUsedSize").value;
  report(`after playing all ${count} scenes (in ${(played / 1000).toFixed(0)} s): JS heap`, `${(heap / 1024 / 1024).toFixed(1)} MB`);
  const look = await page.evaluate(() => document.querySelectorAll("script").length);
  report("script elements left in the page", String(look));
  await done();
}

await browser.close();
