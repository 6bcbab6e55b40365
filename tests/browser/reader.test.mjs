// The published page in a real browser (TALE_BROWSER: chromium or firefox), read as a reader
// would: on a phone by taps and long presses, on a desktop by keys and the mouse, from the disk
// and from a web server at its root and under a sub-path; the largest game on a slow link; a
// damaged page. Pages from make-pages.sh in TALE_PAGES; screenshots into TALE_SHOTS when set.
import { strict as assert } from "node:assert";
import { cpSync, mkdtempSync, readFileSync, rmSync, truncateSync, statSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, afterEach, before, test } from "node:test";
import { pathToFileURL } from "node:url";
import { axe, launch, serve as serveFolders, sleep } from "./harness.mjs";

const name = process.env.TALE_BROWSER || "chromium";
const pages = process.env.TALE_PAGES;
const shots = process.env.TALE_SHOTS;
const PHONE = { width: 390, height: 844, hasTouch: true, isMobile: true };
const DESKTOP = { width: 1280, height: 800 };
let browser;
const scratch = mkdtempSync(join(tmpdir(), "tale-pages-"));

before(async () => {
  assert.ok(pages, "TALE_PAGES names the published pages");
  browser = await launch(name);
});
// What a test opened is closed after it, whether it passed or not.
const opened = [];
afterEach(async () => {
  for (const close of opened.splice(0)) await close();
});
after(async () => {
  await browser?.close();
  rmSync(scratch, { recursive: true, force: true });
});

/** A fresh reader: a page in a browser context of its own (its own storage), errors noted. */
async function reader(viewport) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.errors = [];
  page.on("pageerror", (error) => page.errors.push(String(error.message || error)));
  await page.setViewport(viewport);
  page.done = async () => {
    if (!page.closed) await context.close();
    page.closed = true;
  };
  opened.push(page.done);
  return page;
}

async function serve(folders, rate) {
  const server = await serveFolders(folders, rate);
  opened.push(async () => server.close());
  return server;
}

const fileUrl = (page) => pathToFileURL(join(pages, page, "index.html")).href;
const state = (page) => page.evaluate(() => ({ ...document.getElementById("stage").dataset }));
const panel = (page) => page.evaluate(() => document.getElementById("panel")?.dataset.kind || "");

/** Waits until the stage's state satisfies `condition` (a function of its dataset). */
function stageWhen(page, condition, timeout = 10000) {
  return page.waitForFunction(
    `(${condition})(document.getElementById("stage").dataset)`,
    { timeout, polling: 50 },
  );
}
const showing = (page, scene) =>
  stageWhen(page, `(d) => d.scene === "${scene}" && d.ready === "1" && d.revealing === "0"`);
const panelOpen = (page, kind) =>
  page.waitForFunction(`document.getElementById("panel")?.dataset.kind === "${kind}"`, {
    polling: 50,
  });
const panelClosed = (page) =>
  page.waitForFunction(`!document.getElementById("panel")`, { polling: 50 });

async function shot(page, file) {
  if (shots) await page.screenshot({ path: join(shots, `${name}-${file}.png`) });
}

async function middle(page, selector) {
  const box = await (await page.$(selector)).boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2, box };
}

/** Presses the button of the open panel whose text starts with `text`. */
async function choose(page, text, tap = false) {
  const handle = await page.evaluateHandle(
    (t) => [...document.querySelectorAll("#panel button")].find((b) => b.textContent.startsWith(t)),
    text,
  );
  assert.ok(await handle.evaluate((b) => !!b), `a button ${text}`);
  if (tap) {
    const box = await handle.boundingBox();
    await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  } else {
    await handle.click();
  }
}

async function start(page, button = "#start") {
  await page.waitForFunction(`document.getElementById("loading").hidden`, { polling: 50 });
  await page.click(button);
}

async function noViolations(page, where) {
  const violations = await axe(page);
  assert.deepEqual(violations, [], `axe-core at ${where}`);
}

test("a reader on a phone plays to the end by taps, keeps the place, saves and looks back by the menu", async () => {
  const page = await reader(PHONE);
  await page.goto(fileUrl("demo"));
  await start(page);
  await showing(page, 0);
  const count = await page.evaluate(() => window.TALE_GAME.count);
  // The menu and 全屏 stand below the stage, large enough for a finger.
  const stage = (await middle(page, "#stage")).box;
  for (const selector of ["#menu-button"]) {
    const { box } = await middle(page, selector);
    assert.ok(box.width >= 44 && box.height >= 44, `${selector} is ${box.width}×${box.height}`);
    assert.ok(box.y >= stage.y + stage.height, `${selector} stands below the stage`);
  }
  await noViolations(page, "a scene on a phone");
  // A tap anywhere on the stage, the picture above the box included, goes on.
  for (let i = 0; i < count; ++i) {
    await showing(page, i);
    if (i === 2) await shot(page, "scene-phone");
    await page.touchscreen.tap(stage.x + stage.width / 2, stage.y + 20);
  }
  await stageWhen(page, (d) => d.scene === "end");
  await page.touchscreen.tap(stage.x + stage.width / 2, stage.y + stage.height / 2);
  await panelOpen(page, "ending");
  await choose(page, "回到开头", true);
  await showing(page, 0);
  await page.touchscreen.tap(stage.x + stage.width / 2, stage.y + stage.height / 2);
  await showing(page, 1);
  // The place is written a second after a scene shows; a reload offers 继续 there.
  await page.waitForFunction(
    () => Object.keys(localStorage).some((k) => k.endsWith(".place") && localStorage[k].includes('"last":1')),
    { polling: 100 },
  );
  await page.reload();
  await page.waitForFunction(`!document.getElementById("continue").hidden`, { polling: 50 });
  await page.waitForFunction(`document.getElementById("loading").hidden`, { polling: 50 });
  await shot(page, "cover-continue");
  await noViolations(page, "the cover with 继续");
  const resume = await middle(page, "#continue");
  await page.touchscreen.tap(resume.x, resume.y);
  await showing(page, 1);

  // A long press opens the menu.
  const longPress = async () => {
    await page.touchscreen.touchStart(stage.x + stage.width / 2, stage.y + stage.height / 3);
    await sleep(800);
    await page.touchscreen.touchEnd();
    await panelOpen(page, "menu");
  };
  await longPress();
  await shot(page, "menu-phone");
  await noViolations(page, "the menu on a phone");
  await choose(page, "快速存档", true);
  await panelClosed(page);
  await page.touchscreen.tap(stage.x + stage.width / 2, stage.y + stage.height / 2);
  await showing(page, 2);
  await longPress();
  await choose(page, "读档", true);
  await panelOpen(page, "load");
  // The quick save's small picture: its scene drawn again, small.
  await page.waitForSelector('#panel button[data-slot="0"] canvas[data-drawn="1"]');
  await shot(page, "slots-phone");
  await noViolations(page, "the slots on a phone");
  const quick = await middle(page, '#panel button[data-slot="0"]');
  await page.touchscreen.tap(quick.x, quick.y);
  await showing(page, 1);
  await longPress();
  await choose(page, "回顾", true);
  await panelOpen(page, "backlog");
  await shot(page, "backlog-phone");
  await noViolations(page, "look back on a phone");
  const entries = await page.evaluate(() =>
    [...document.querySelectorAll("#panel li span")].map((s) => s.textContent),
  );
  // As in the player, the scenes shown since the page opened, the newest at the bottom.
  assert.deepEqual(entries.map((entry) => entry.match(/^第(\d+)个场景:/)[1]), ["2", "3", "2"]);
  const last = await middle(page, "#panel li:nth-child(2) button");
  await page.touchscreen.tap(last.x, last.y);
  await panelOpen(page, "ask");
  assert.match(await page.$eval("#panel p", (p) => p.textContent), /回到第3个场景吗/);
  await choose(page, "是", true);
  await showing(page, 2);
  assert.deepEqual(page.errors, []);
  await page.done();
});

test("on a desktop the keys, the wheel and the buttons are the player's; skip and auto with 不能跳过", async () => {
  const server = await serve({ "/": join(pages, "refused") });
  const page = await reader(DESKTOP);
  await page.goto(`${server.url}/`);
  await noViolations(page, "the cover");
  await start(page);
  await showing(page, 0);
  const count = await page.evaluate(() => window.TALE_GAME.count);
  // 不能跳过: while a text types, a key does not cut it short.
  await page.keyboard.press(" ");
  await stageWhen(page, (d) => d.scene === "1");
  assert.equal((await state(page)).revealing, "1");
  await page.keyboard.press("Enter");
  await showing(page, 1);
  await page.keyboard.press("PageDown");
  await showing(page, 2);
  await shot(page, "scene-desktop");
  // F5 and F9 are the page's, not the browser's reload.
  await page.keyboard.press("F5");
  await page.waitForFunction(`document.getElementById("notice").textContent === "已快速存档"`);
  await page.keyboard.press(" ");
  await showing(page, 3);
  await page.keyboard.press("F9");
  await page.waitForFunction(`document.getElementById("notice").textContent === "已快速读档"`);
  await showing(page, 2);
  // H hides the box and its text; a click shows them again, on the same scene.
  await page.keyboard.press("h");
  await stageWhen(page, (d) => d.hidden === "1");
  await page.mouse.click(640, 400);
  await stageWhen(page, (d) => d.hidden === "0");
  assert.equal((await state(page)).scene, "2");
  // The wheel turned up and L open look back; Esc closes it.
  await page.mouse.move(640, 400);
  await page.mouse.wheel({ deltaY: -120 });
  await panelOpen(page, "backlog");
  await page.keyboard.press("Escape");
  await panelClosed(page);
  await page.keyboard.press("l");
  await panelOpen(page, "backlog");
  await page.keyboard.press("l");
  await panelClosed(page);
  // The right button opens the menu, each command beside its key.
  await page.mouse.click(640, 400, { button: "right" });
  await panelOpen(page, "menu");
  const menu = await page.$$eval("#panel button", (buttons) => buttons.map((b) => b.textContent));
  for (const item of ["存档Ctrl+S", "读档Ctrl+O", "快速存档F5", "快速读档F9", "回顾L", "自动A",
    "快进S", "隐藏文字框H", "设置Ctrl+P", "回到开头"])
    assert.ok(menu.includes(item), `${item} in ${menu.join(",")}`);
  await noViolations(page, "the menu");
  await choose(page, "回到开头");
  await panelOpen(page, "ask");
  await choose(page, "是");
  await showing(page, 0);
  // S skips over the scenes read and stops at the first one unread, which types.
  await page.keyboard.press("s");
  await stageWhen(page, (d) => d.scene === "4" && d.mode === "normal");
  assert.equal((await state(page)).revealing, "1");
  await showing(page, 4);
  // 设置: skip all; 不能跳过 still types the unread scenes, to the end.
  await page.keyboard.down("Control");
  await page.keyboard.press("p");
  await page.keyboard.up("Control");
  await panelOpen(page, "settings");
  await noViolations(page, "the settings");
  await page.evaluate(() => {
    const boxes = document.querySelectorAll("#panel input[type=checkbox]");
    boxes[boxes.length - 1].click();
    document.querySelectorAll("#panel select")[1].value = "400";
  });
  await choose(page, "确定");
  await panelClosed(page);
  await page.evaluate(() => {
    window.typed = [];
    const stage = document.getElementById("stage");
    new MutationObserver(() => {
      const d = stage.dataset;
      if (d.revealing === "1" && !window.typed.includes(d.scene)) window.typed.push(d.scene);
    }).observe(stage, { attributes: true });
  });
  await page.keyboard.press("s");
  await stageWhen(page, (d) => d.scene === "end", 15000);
  assert.deepEqual(await page.evaluate(() => window.typed), ["5"]);
  // At the ending the menu offers, as the player's, only what has something to act on.
  await page.keyboard.press("Escape");
  await panelOpen(page, "menu");
  const closed = await page.$$eval("#panel button:disabled span", (spans) => spans.map((s) => s.textContent));
  assert.deepEqual(closed, ["存档", "快速存档", "自动", "快进", "隐藏文字框"]);
  await page.keyboard.press("Escape");
  await panelClosed(page);
  // Enter at the ending offers 回到开头.
  await page.keyboard.press("Enter");
  await panelOpen(page, "ending");
  await choose(page, "回到开头");
  await showing(page, 0);
  // Ctrl held alone skips over the scenes read; let go, it stops.
  await page.keyboard.down("Control");
  await stageWhen(page, (d) => d.mode === "skip" && d.scene === "1");
  await page.keyboard.up("Control");
  await stageWhen(page, (d) => d.mode === "normal");
  assert.notEqual((await state(page)).scene, "end");
  await page.keyboard.press("Escape");
  await panelOpen(page, "menu");
  await choose(page, "回到开头");
  await panelOpen(page, "ask");
  await choose(page, "是");
  await showing(page, 0);
  // A: the scenes go on by themselves; a click stops it.
  await page.keyboard.press("a");
  await stageWhen(page, (d) => d.mode === "auto");
  await stageWhen(page, (d) => Number(d.scene) >= 2, 15000);
  await page.mouse.click(640, 400);
  await stageWhen(page, (d) => d.mode === "normal");
  // Ctrl+S saves in a slot; saving over it asks.
  await page.keyboard.down("Control");
  await page.keyboard.press("s");
  await page.keyboard.up("Control");
  await panelOpen(page, "save");
  await page.click('#panel button[data-slot="1"]');
  await page.waitForFunction(`document.getElementById("notice").textContent === "已存档到第1格"`);
  await page.keyboard.down("Control");
  await page.keyboard.press("s");
  await page.keyboard.up("Control");
  await panelOpen(page, "save");
  await page.click('#panel button[data-slot="1"]');
  await panelOpen(page, "ask");
  await choose(page, "否");
  await panelClosed(page);
  // M mutes the music.
  await page.keyboard.press("m");
  await page.waitForFunction(`document.getElementById("notice").textContent === "静音"`);
  assert.equal(await page.evaluate(() => document.querySelector("audio").muted), true);
  // The 菜单 button clicked: once the menu is closed, Space goes on with the story again.
  await page.click("#menu-button");
  await panelOpen(page, "menu");
  await page.keyboard.press("Escape");
  await panelClosed(page);
  await stageWhen(page, (d) => d.revealing === "0" && d.ready === "1"); // 不能跳过: typed whole
  const before = (await state(page)).scene;
  await page.keyboard.press(" ");
  await stageWhen(page, `(d) => d.scene !== "${before}"`);
  assert.equal(await panel(page), "");
  assert.ok(count > 3);
  assert.deepEqual(page.errors, []);
  await page.done();
  // Nothing asked for that the page does not have; the service worker and the manifest came.
  const asked = server.log.map((entry) => `${entry.status} ${entry.path}`);
  assert.deepEqual(asked.filter((line) => !line.startsWith("200")), []);
  for (const file of ["/sw.js", "/manifest.webmanifest", "/icon-192.png"])
    assert.ok(asked.includes(`200 ${file}`), `${file} in ${asked.join(", ")}`);
});

test("the largest game on a 200 kB/s link under a sub-path: the first scene within 3 s of 开始", async () => {
  const server = await serve({ "/games/long/": join(pages, "long") }, 200 * 1000);
  const page = await reader(DESKTOP);
  await page.goto(`${server.url}/games/long/index.html`, { waitUntil: "domcontentloaded" });
  // 开始 at once, before the data is there: it says what it waits for, then starts.
  await page.waitForSelector("#start");
  const clicked = performance.now();
  await page.click("#start");
  await showing(page, 0);
  const firstScene = performance.now() - clicked;
  const bytes = server.log
    .filter((entry) => entry.at < clicked + firstScene)
    .reduce((sum, entry) => sum + entry.bytes, 0);
  process.stdout.write(
    `# ${name}: the first scene ${Math.round(firstScene)} ms after 开始, ${Math.round(bytes / 1024)} KB\n`,
  );
  assert.ok(firstScene < 3000, `${firstScene} ms`);
  assert.ok(bytes < 600 * 1024, `${bytes} bytes`);
  // On over the chunks: every scene on the way in look back.
  const beyond = (await page.evaluate(() => window.TALE_GAME.chunks[2])) + 3;
  for (let i = 1; i <= beyond; ++i) {
    await page.keyboard.press(" ");
    await stageWhen(page, `(d) => d.scene === "${i}" && d.ready === "1"`);
  }
  await page.keyboard.press("l");
  await panelOpen(page, "backlog");
  const entries = await page.$$eval("#panel li span", (spans) => spans.map((s) => s.textContent));
  assert.equal(entries.length, beyond + 1);
  assert.match(entries.at(-1), new RegExp(`^第${beyond + 1}个场景:第${beyond + 1}个场景:`));
  assert.deepEqual(
    server.log.filter((entry) => entry.status !== 200).map((entry) => entry.path),
    [],
  );
  assert.deepEqual(page.errors, []);
  await page.done();
});

test("a page as a page should be: landscape, the music paused while hidden, offline once loaded, less motion", async () => {
  const server = await serve({ "/demo/": join(pages, "demo") });
  const page = await reader({ width: 844, height: 390, hasTouch: true, isMobile: true });
  await page.goto(`${server.url}/demo/`);
  await start(page);
  await showing(page, 0);
  // Landscape: the stage fills the height, the buttons stand in the free column beside it.
  const stage = (await middle(page, "#stage")).box;
  const menu = (await middle(page, "#menu-button")).box;
  assert.equal(Math.round(stage.height), 390);
  assert.ok(menu.x >= stage.x + stage.width, `the menu at ${menu.x}, the stage to ${stage.x + stage.width}`);
  // The music pauses while another tab is in front, and goes on when the page is back.
  const audio = () => page.evaluate(() => !document.querySelector("audio").paused);
  await page.waitForFunction(() => !document.querySelector("audio").paused, { polling: 50 });
  const other = await page.browserContext().newPage();
  await other.bringToFront();
  await page.waitForFunction(() => document.hidden, { polling: 50 });
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 0))); // its event's turn
  assert.equal(await audio(), false);
  await page.bringToFront();
  await page.waitForFunction(() => !document.hidden && !document.querySelector("audio").paused, {
    polling: 50,
  });
  await other.close();
  // The service worker keeps what was loaded: with the server gone, the page opens and plays on.
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(
    async () => {
      const [name] = await caches.keys();
      const kept = name ? await (await caches.open(name)).keys() : [];
      return kept.length >= 8 && !!navigator.serviceWorker.controller;
    },
    { polling: 200 },
  );
  await page.touchscreen.tap(stage.x + stage.width / 2, stage.y + stage.height / 2);
  await showing(page, 1);
  await page.waitForFunction(
    () => Object.keys(localStorage).some((k) => k.endsWith(".place") && localStorage[k].includes('"last":1')),
    { polling: 100 },
  );
  server.close();
  if (name === "chromium")
    await page.emulateMediaFeatures([{ name: "prefers-reduced-motion", value: "reduce" }]);
  await page.reload();
  await start(page, "#continue");
  await showing(page, 1);
  if (name === "chromium") {
    // Less motion: each text stands whole at once.
    await page.touchscreen.tap(stage.x + stage.width / 2, stage.y + stage.height / 2);
    await stageWhen(page, (d) => d.scene === "2");
    assert.equal((await state(page)).revealing, "0");
    // The system's dark colours: the panels follow, and stay readable.
    await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
    await page.keyboard.press("Escape");
    await panelOpen(page, "menu");
    assert.equal(
      await page.$eval("#panel", (p) => getComputedStyle(p).backgroundColor),
      "rgb(34, 34, 34)",
    );
    await noViolations(page, "the menu in dark colours");
  }
  assert.deepEqual(page.errors, []);
});

test("a damaged page says what is missing instead of a dead button or a black stage", async () => {
  const cut = join(scratch, "cut");
  cpSync(join(pages, "demo"), cut, { recursive: true });
  truncateSync(join(cut, "game.js"), Math.floor(statSync(join(cut, "game.js")).size / 2));
  const page = await reader(PHONE);
  await page.goto(pathToFileURL(join(cut, "index.html")).href);
  await page.waitForFunction(`!document.getElementById("fault").hidden`, { polling: 50 });
  const said = await page.$eval("#fault", (p) => p.textContent);
  assert.match(said, /^游戏数据缺少或损坏\(game\.js\)/);
  assert.equal(await page.$eval("#start", (b) => b.disabled), true);
  await shot(page, "damaged");
  await noViolations(page, "a damaged page");

  const gone = join(scratch, "gone");
  cpSync(join(pages, "demo"), gone, { recursive: true });
  const first = readFileSync(join(gone, "game.js"), "utf8").match(/"pictures":\["([^"]+)"/)[1];
  rmSync(join(gone, first));
  await page.goto(pathToFileURL(join(gone, "index.html")).href);
  await page.waitForFunction(`!document.getElementById("fault").hidden`, { polling: 50 });
  assert.equal(await page.$eval("#fault", (p) => p.textContent), `图片缺少或损坏:${first}`);
  await page.done();

  // Where the browser refuses storage the page plays on, and says once it cannot keep the place.
  // (Refused by a script run before the page's own: Firefox runs such scripts apart from the
  // page's globals, so there only the course without storage is tested, under node.)
  if (name !== "chromium") return;
  const refusing = await reader(PHONE);
  await refusing.evaluateOnNewDocument(() => {
    Object.defineProperty(window, "localStorage", {
      get() {
        throw new DOMException("refused", "SecurityError");
      },
    });
  });
  await refusing.goto(fileUrl("demo"));
  await start(refusing);
  await showing(refusing, 0);
  await refusing.waitForFunction(
    `document.getElementById("notice").textContent.startsWith("阅读进度无法保存")`,
    { polling: 50 },
  );
  await refusing.keyboard.press("Enter");
  await showing(refusing, 1);
  assert.deepEqual(refusing.errors, []);
});

test("a long press opens the menu and its release chooses nothing, whatever item lies under the finger", async () => {
  const page = await reader(PHONE);
  await page.goto(fileUrl("demo"));
  await start(page);
  await showing(page, 0);
  // Where the menu's items stand once it shows: each row presses and holds over one of them.
  // Found with the finger alone, beside the panel (no key pressed: the phone's own menu).
  const stage = (await middle(page, "#stage")).box;
  await page.touchscreen.touchStart(10, stage.y + 10);
  await panelOpen(page, "menu"); // while the finger is still down
  await page.touchscreen.touchEnd();
  const items = await page.$$eval("#panel button", (buttons) =>
    buttons.map((b) => {
      const r = b.getBoundingClientRect();
      return { text: b.querySelector("span").textContent, x: r.x + r.width / 2, y: r.y + r.height / 2 };
    }),
  );
  const outside = async () => {
    await page.touchscreen.tap(195, 8); // the shade above the panel
    await panelClosed(page);
  };
  await outside();
  const rows = items.filter((item) => item.y > stage.y && item.y < stage.y + stage.height);
  assert.ok(rows.length >= 2, `items over the stage: ${rows.map((r) => r.text).join(",")}`);
  for (const { text, x, y } of rows) {
    await page.touchscreen.touchStart(x, y);
    await panelOpen(page, "menu"); // while the finger is still down
    await page.touchscreen.touchEnd();
    await sleep(400); // a click from the release would have come by now
    assert.equal(await panel(page), "menu", `released over ${text}`);
    // (Firefox without an MP3 decoder may say so meanwhile: that note is not a command's.)
    const notice = await page.$eval("#notice", (n) => n.textContent);
    assert.equal(notice.startsWith("音乐") ? "" : notice, "", `released over ${text}`);
    assert.deepEqual(
      { scene: (await state(page)).scene, mode: (await state(page)).mode },
      { scene: "0", mode: "normal" },
      `released over ${text}`,
    );
    if (text === "快速读档") await shot(page, "menu-phone-long-press");
    // A tap of its own on an item still chooses it.
    await choose(page, "回顾", true);
    await panelOpen(page, "backlog");
    await outside();
  }
  assert.deepEqual(page.errors, []);
});

test("the menu shows the commands' keys only where there is a keyboard", async () => {
  // Each row: the reader's device, whether a key was pressed first, whether the keys show.
  // (Firefox driven this way gives the page no touch screen at a phone's size: its phone is a
  // desktop's window there, so the phone by touch alone is Chromium's row.)
  const rows = [
    ["a phone, by touch", PHONE, false, false],
    ["a phone with a keyboard", PHONE, true, true],
    ["a desktop", DESKTOP, false, true],
  ].filter(([what]) => name === "chromium" || what !== "a phone, by touch");
  for (const [what, viewport, keyFirst, shown] of rows) {
    const page = await reader(viewport);
    await page.goto(fileUrl("demo"));
    await start(page);
    await showing(page, 0);
    if (keyFirst) await page.keyboard.press("Shift");
    await page.mouse.click(10, 10, { button: "right" });
    await panelOpen(page, "menu");
    const keys = await page.$$eval("#panel kbd", (kbds) => kbds.map((k) => getComputedStyle(k).display !== "none"));
    assert.ok(keys.length >= 9, what);
    assert.deepEqual(new Set(keys), new Set([shown]), what);
    if (what === "a phone, by touch") await shot(page, "menu-phone-no-keys");
    await page.done();
  }
});

test("a question opens with 否 focused: Enter keeps things as they are", async () => {
  const page = await reader(DESKTOP);
  await page.goto(fileUrl("demo"));
  await start(page);
  await showing(page, 0);
  await page.keyboard.press(" ");
  await showing(page, 1);
  await page.keyboard.down("Control");
  await page.keyboard.press("s");
  await page.keyboard.up("Control");
  await panelOpen(page, "save");
  await page.click('#panel button[data-slot="1"]');
  await panelClosed(page);
  await page.keyboard.press(" ");
  await showing(page, 2);
  // Each row: the question, how the reader comes to it, what stands after Enter.
  const rows = [
    ["要覆盖它吗", async () => {
      await page.keyboard.down("Control");
      await page.keyboard.press("s");
      await page.keyboard.up("Control");
      await panelOpen(page, "save");
      await page.click('#panel button[data-slot="1"]');
    }, ""],
    ["回到第一个场景吗", async () => {
      await page.keyboard.press("Escape");
      await panelOpen(page, "menu");
      await choose(page, "回到开头");
    }, ""],
    ["回到第1个场景吗", async () => {
      await page.keyboard.press("l");
      await panelOpen(page, "backlog");
      await page.click("#panel li:first-child button");
    }, "backlog"],
  ];
  for (const [question, ask, after] of rows) {
    await ask();
    await panelOpen(page, "ask");
    assert.match(await page.$eval("#panel p", (p) => p.textContent), new RegExp(question));
    assert.equal(await page.evaluate(() => document.activeElement.textContent), "否", question);
    if (question === "回到第一个场景吗") await shot(page, "question-no-focused");
    await page.keyboard.press("Enter");
    await page.waitForFunction(`(document.getElementById("panel")?.dataset.kind || "") === "${after}"`, { polling: 50 });
    if (after) await page.keyboard.press("Escape");
    await panelClosed(page);
    assert.equal((await state(page)).scene, "2", question);
  }
  const kept = await page.evaluate(() =>
    Object.entries(localStorage).find(([k]) => k.endsWith(".slot1"))[1],
  );
  assert.equal(JSON.parse(kept).scene, 1);
  assert.deepEqual(page.errors, []);
});

test("菜单 and 全屏 never stand over the text: beside the stage, or faded while the pointer rests", async () => {
  // Each row: the window, whether the bar stands over the stage.
  const rows = [
    [{ width: 1024, height: 768 }, true],
    [DESKTOP, false],
  ];
  for (const [viewport, over] of rows) {
    const page = await reader(viewport);
    await page.goto(fileUrl("demo"));
    await start(page);
    await showing(page, 0);
    const stage = (await middle(page, "#stage")).box;
    const menu = await middle(page, "#menu-button");
    const onStage = menu.x > stage.x && menu.x < stage.x + stage.width &&
      menu.y > stage.y && menu.y < stage.y + stage.height;
    assert.equal(onStage, over, `${viewport.width}×${viewport.height}`);
    await page.mouse.move(stage.x + stage.width / 2, stage.y + stage.height / 3);
    const opacity = () => page.$eval("#menu-button", (b) => Number(getComputedStyle(b).opacity));
    if (over) {
      // At rest: gone, and a click where it stood goes on with the story.
      await page.waitForFunction(
        () => getComputedStyle(document.getElementById("menu-button")).opacity === "0",
        { polling: 100, timeout: 6000 },
      );
      await shot(page, "bar-resting");
      // A press where it stood reaches the stage.
      assert.equal(await page.evaluate((x, y) => document.elementFromPoint(x, y).id, menu.x, menu.y), "surface");
      // The pointer moves: it is back, and takes clicks.
      await page.mouse.move(menu.x, menu.y);
      await page.waitForFunction(
        () => getComputedStyle(document.getElementById("menu-button")).opacity !== "0",
        { polling: 50 },
      );
      await page.click("#menu-button");
      await panelOpen(page, "menu");
    } else {
      await sleep(2600);
      assert.ok((await opacity()) > 0.9, `${viewport.width}×${viewport.height}`);
    }
    assert.deepEqual(page.errors, []);
    await page.done();
  }
});

test("the fonts' licences stand behind one 字体许可 link, whole, with our words in Chinese", async () => {
  const server = await serve({ "/": join(pages, "demo") });
  const gone = join(scratch, "no-licences");
  cpSync(join(pages, "demo"), gone, { recursive: true });
  rmSync(join(gone, "licences.js"));
  // Each row: where the page is read from, and whether its licences.js is there.
  const rows = [
    ["from the disk", fileUrl("demo"), true],
    ["from a server", `${server.url}/index.html`, true],
    ["without licences.js", pathToFileURL(join(gone, "index.html")).href, false],
  ];
  const kept = readFileSync(join(pages, "demo", "licences.js"), "utf8");
  const licences = JSON.parse(kept.slice(kept.indexOf("=") + 1, kept.lastIndexOf(";")));
  assert.ok(licences.length >= 1 && licences.every((l) => l.family && l.licence));
  for (const [where, url, there] of rows) {
    const page = await reader(PHONE);
    await page.goto(url);
    await page.waitForFunction(`document.getElementById("loading").hidden`, { polling: 50 });
    // The cover holds the link, and no licence text of its own.
    const cover = await page.$eval("#cover", (c) => c.innerText);
    assert.doesNotMatch(cover, /licen[cs]e|copyright|see below/i, where);
    const link = await middle(page, "#licences");
    assert.ok(link.box.height >= 44, `${where}: the link is ${link.box.height} px high`);
    await page.touchscreen.tap(link.x, link.y);
    await panelOpen(page, "licences");
    const shown = await page.$eval("#panel", (p) => ({
      heading: p.querySelector("h2").textContent,
      intro: p.querySelector("p").textContent,
      families: [...p.querySelectorAll("h3")].map((h) => h.textContent),
      texts: [...p.querySelectorAll("pre")].map((t) => t.textContent),
    }));
    assert.equal(shown.heading, "字体许可", where);
    if (there) {
      assert.match(shown.intro, /^这个游戏的文字用下面的字体显示/, where);
      assert.deepEqual(shown.families, licences.map((l) => l.family), where);
      assert.deepEqual(shown.texts, licences.map((l) => l.licence), where);
      if (where === "from the disk") await shot(page, "licences-phone");
      await noViolations(page, "the licences");
    } else {
      assert.match(shown.intro, /^字体许可缺少或损坏\(licences\.js\)/, where);
    }
    await page.keyboard.press("Escape");
    await panelClosed(page);
    await start(page);
    await showing(page, 0);
    assert.deepEqual(page.errors, [], where);
    await page.done();
  }
});
