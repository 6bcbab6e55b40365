// The published page: the cover, then the game as the player plays it, with the reader's menu,
// slots, look back, auto, skip and settings; the place kept in the browser.
import { GameData, Progress, address, loadScript } from "./data";
import { drawScene } from "./draw";
import { Game, STAGE, chunkLength } from "./game";
import { Panels, button, element } from "./panels";
import { Mode, Play, ReaderSettings, SavedPlace } from "./play";
import { QUICK_SLOT, SLOTS, Store, browserStorage } from "./store";
import { KEYS, TEXTS } from "./texts";

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;
const canvas = byId<HTMLCanvasElement>("stage");
const context = canvas.getContext("2d")!;
const surface = byId<HTMLDivElement>("surface");
const heard = byId<HTMLDivElement>("heard");
const cover = byId<HTMLElement>("cover");
const bar = byId<HTMLDivElement>("bar");
const full = byId<HTMLButtonElement>("full");
const menuButton = byId<HTMLButtonElement>("menu-button");
const modeLabel = byId<HTMLDivElement>("mode");
const noticeBox = byId<HTMLDivElement>("notice");
const faultBox = byId<HTMLParagraphElement>("fault");
const startButton = byId<HTMLButtonElement>("start");
const continueButton = byId<HTMLButtonElement>("continue");
const progressBar = byId<HTMLProgressElement>("progress");
const loadingText = byId<HTMLSpanElement>("loading-text");
const loading = byId<HTMLDivElement>("loading");

/** How long a note stays, and how long after a scene shows the place is written. */
const NOTICE_MS = 2500;
const KEEP_PLACE_MS = 1000;
/** A press held this long opens the menu; Ctrl held alone this long skips. */
const LONG_PRESS_MS = 550;
const HOLD_MS = 250;
/** The next chunk of scenes is fetched when the reader is this near its start. */
const PREFETCH_SCENES = 12;

let game: Game;
let data: GameData;
let store: Store;
let play: Play;
const panels = new Panels();
const music = document.createElement("audio");
let started = false;
let scale = 1;
let wanted = -1; // the scene 开始 or 继续 asked for before the data was there
let firstReady = false;
let revealTimer = 0;
let waitTimer = 0;
let pauseSeen = -1;
let placeTimer = 0;
let noticeTimer = 0;
let spokenScene = "";
let placeFailureSaid = false;
let pending: (() => void) | null = null; // a command waiting for its scene's data
const prepared = new Set<number>();
let musicWanted = false; // the music plays when the page is seen
let endingOffered = false;

// ---- Faults and notes ----

/** Says what is missing; `fatal`: nothing can start without it. */
function fault(text: string, fatal = true): void {
  faultBox.textContent = text;
  faultBox.hidden = false;
  // On the cover, it stands where the reader looks: below the buttons.
  if (!started) cover.insertBefore(faultBox, loading);
  if (!started && fatal) {
    loading.hidden = true;
    startButton.disabled = true;
    continueButton.disabled = true;
  }
}

function notice(text: string): void {
  noticeBox.textContent = text;
  window.clearTimeout(noticeTimer);
  noticeTimer = window.setTimeout(() => (noticeBox.textContent = ""), NOTICE_MS);
}

function fileFault(file: string, kind: "data" | "picture" | "font"): void {
  if (kind === "data") fault(TEXTS.dataFault(file));
  else if (kind === "picture") fault(TEXTS.pictureFault(file), false);
  else notice(TEXTS.fontFault(file));
}

// ---- Drawing ----

function draw(): void {
  const ratio = window.devicePixelRatio || 1;
  context.setTransform(scale * ratio, 0, 0, scale * ratio, 0, 0);
  if (!started) {
    context.fillStyle = "#000";
    context.fillRect(0, 0, STAGE.width, STAGE.height);
    return;
  }
  const view = play.view();
  drawScene(context, game, view.scene, view.shown, view.boxVisible, (i) => data.picture(i));
  const pictures = view.scene ? [view.scene.bg, view.scene.box] : [game.closing];
  canvas.dataset.scene = view.scene ? String(play.sceneIndex) : "end";
  canvas.dataset.ready = pictures.every((i) => {
    const image = data.picture(i);
    return !image || image.complete;
  })
    ? "1"
    : "0";
  canvas.dataset.revealing = play.revealing() ? "1" : "0";
  canvas.dataset.hidden = play.boxHidden ? "1" : "0";
  canvas.dataset.mode = play.mode;
  // What a screen reader hears: each scene's whole text once, as it appears.
  const spoken = view.scene ? `${play.sceneIndex}:${view.scene.text}` : "end";
  if (spoken !== spokenScene) {
    spokenScene = spoken;
    heard.textContent = view.scene ? view.scene.text : game.ending;
  }
}

/** Where the stage and the bar stand: the stage as large as the window allows, the bar in the
 * free area beside or below it (over the stage's corner only when there is none). */
function fit(redraw = true): void {
  const width = window.innerWidth;
  const height = window.innerHeight;
  const barSize = 60;
  let stageScale = Math.min(width / STAGE.width, height / STAGE.height);
  let left: number;
  let top: number;
  bar.className = "";
  const cssWidth = () => STAGE.width * stageScale;
  const cssHeight = () => STAGE.height * stageScale;
  if (height - cssHeight() >= barSize) {
    // Portrait: the stage fills the width, the bar below it, the two centred together.
    top = Math.max(0, (height - cssHeight() - barSize) / 2);
    left = (width - cssWidth()) / 2;
    place(bar, 0, top + cssHeight() + 8, width, barSize - 8);
  } else if (width - cssWidth() >= 2 * (barSize + 16)) {
    // Landscape: the stage fills the height, the bar in the free column at its right.
    left = (width - cssWidth()) / 2;
    top = (height - cssHeight()) / 2;
    bar.className = "column";
    place(bar, left + cssWidth(), 0, (width - cssWidth()) / 2, height);
  } else {
    stageScale = Math.min(width / STAGE.width, height / STAGE.height);
    left = (width - cssWidth()) / 2;
    top = (height - cssHeight()) / 2;
    bar.className = "over";
    bar.style.left = bar.style.top = bar.style.width = bar.style.height = "";
    bar.style.right = `${Math.max(4, left + 4)}px`;
    bar.style.bottom = `${Math.max(4, top + 4)}px`;
  }
  scale = stageScale;
  const ratio = window.devicePixelRatio || 1;
  canvas.style.width = `${cssWidth()}px`;
  canvas.style.height = `${cssHeight()}px`;
  canvas.style.left = `${left}px`;
  canvas.style.top = `${top}px`;
  canvas.width = Math.round(cssWidth() * ratio);
  canvas.height = Math.round(cssHeight() * ratio);
  modeLabel.style.right = `${width - left - cssWidth() + 8}px`;
  modeLabel.style.top = `${top + 8}px`;
  noticeBox.style.top = `${top + cssHeight() * 0.4}px`;
  if (redraw) draw();
}

function place(item: HTMLElement, left: number, top: number, width: number, height: number) {
  item.style.right = item.style.bottom = "";
  item.style.left = `${left}px`;
  item.style.top = `${top}px`;
  item.style.width = `${width}px`;
  item.style.height = `${height}px`;
}

// ---- The course of the game, with its timers ----

/** After every command: timers as the game now needs them, the place, what is drawn. */
function settle(): void {
  data.current = play.sceneIndex;
  window.clearInterval(revealTimer);
  revealTimer = 0;
  if (play.revealing()) {
    revealTimer = window.setInterval(() => {
      play.tick();
      if (!play.revealing()) settle();
      else draw();
    }, play.interval());
  }
  if (play.pauseSet !== pauseSeen) {
    pauseSeen = play.pauseSet;
    window.clearTimeout(waitTimer);
    waitTimer = 0;
    if (play.pause >= 0) {
      waitTimer = window.setTimeout(() => {
        waitTimer = 0;
        whenNextReady(() => play.waitElapsed());
      }, play.pause);
    }
  }
  showMode();
  prefetch();
  draw();
}

/** Runs `action` (which shows the next scene) once that scene can be drawn. */
function whenNextReady(action: () => void): void {
  const next = play.next();
  if (next < 0 || ready(next)) {
    pending = null;
    action();
    settle();
    return;
  }
  pending = action;
  canvas.dataset.waiting = "1";
  void data.prepare(next).then((scene) => {
    if (!scene) return;
    prepared.add(next);
    if (pending !== action || play.next() !== next) return;
    pending = null;
    delete canvas.dataset.waiting;
    action();
    settle();
  });
}

function ready(i: number): boolean {
  return prepared.has(i) && data.has(i);
}

/** Shows scene `i` whole once it can be drawn (a start, a save, look back). */
function goTo(i: number, then?: () => void): void {
  whenReady(i, () => {
    play.goTo(i);
    then?.();
  });
}

/** Runs `action`, which shows scene `i`, once that scene can be drawn. */
function whenReady(i: number, action: () => void): void {
  const show = () => {
    pending = null;
    action();
    settle();
  };
  if (ready(i)) {
    show();
    return;
  }
  pending = show;
  data.current = i;
  void data.prepare(i).then((scene) => {
    if (!scene) return;
    prepared.add(i);
    if (pending === show) show();
  });
}

function prefetch(): void {
  const next = play.next();
  // The closing picture, once the last scene shows.
  if (next < 0) {
    if (!play.ended) data.picture(game.closing);
    return;
  }
  if (!ready(next))
    void data.prepare(next).then((scene) => scene && prepared.add(next));
  // The next chunk, well before the reader reaches it; quickly when skipping.
  const ahead = Math.min(game.count - 1, next + (play.mode === "skip" ? 4 : 1) * PREFETCH_SCENES);
  if (!data.has(ahead)) void data.loadChunk(ahead);
  if (prepared.size > 64) {
    for (const i of prepared) if (Math.abs(i - play.sceneIndex) > 32) prepared.delete(i);
  }
}

function showMode(): void {
  const mode = started ? play.mode : "normal";
  modeLabel.hidden = mode === "normal";
  modeLabel.textContent = mode === "auto" ? TEXTS.autoOn : mode === "skip" ? TEXTS.skipOn : "";
}

function setMode(mode: Mode): void {
  const was = play.mode;
  play.setMode(mode);
  if (play.mode !== was)
    notice(play.mode === "auto" ? TEXTS.autoOn : play.mode === "skip" ? TEXTS.skipOn : TEXTS.modeOff);
  settle();
}

function sceneShown(i: number): void {
  if (store.sceneShown(i) && !placeTimer) {
    placeTimer = window.setTimeout(keepPlace, KEEP_PLACE_MS);
  }
}

function keepPlace(): void {
  window.clearTimeout(placeTimer);
  placeTimer = 0;
  if (!store.keepPlace() && !placeFailureSaid) {
    placeFailureSaid = true;
    notice(TEXTS.placeNotKept);
  }
}

// ---- Music ----

function applyVolume(): void {
  const settings = play.readerSettings;
  music.volume = Math.max(0, Math.min(100, settings.volume)) / 100;
  music.muted = settings.mute;
}

function playMusic(fromStart: boolean): void {
  if (!game.music) return;
  musicWanted = true;
  music.preload = "auto";
  if (fromStart && music.currentTime > 0) music.currentTime = 0;
  if (!document.hidden) void music.play().catch(() => undefined);
}

function stopMusic(): void {
  musicWanted = false;
  music.pause();
}

// ---- The reader's commands ----

/** A key or click of the reader's: it stops auto and shows a hidden box again; true when it did
 * the latter and is used up by it. */
function readerActed(): boolean {
  if (play.mode === "auto") setMode("normal");
  if (!play.boxHidden) return false;
  play.setBoxHidden(false);
  settle();
  return true;
}

function advance(): void {
  if (!started || panels.open) return;
  if (readerActed()) return;
  if (play.ended) {
    offerRestart();
    return;
  }
  if (!play.takesClick()) return;
  whenNextReady(() => play.advance());
}

function offerRestart(): void {
  if (endingOffered) return;
  endingOffered = true;
  const panel = element("div", "ending");
  panel.appendChild(element("h2", "", TEXTS.ending));
  const row = element("div", "row");
  row.appendChild(
    button(TEXTS.restart, () => {
      panels.close();
      goTo(0);
    }),
  );
  row.appendChild(button(TEXTS.load, () => chooseSlot(false)));
  row.appendChild(button(TEXTS.close, () => panels.close()));
  panel.appendChild(row);
  panels.show("ending", panel, TEXTS.ending, () => (endingOffered = false));
}

function saveSlot(n: number): boolean {
  const place = play.place(Date.now());
  if (!place) {
    void panels.tell(TEXTS.nothingToSave, TEXTS.save);
    return false;
  }
  if (!store.save(n, place)) {
    void panels.tell(TEXTS.cannotSave, TEXTS.save);
    return false;
  }
  notice(TEXTS.saved(TEXTS.slotName(n)));
  return true;
}

function loadSlot(n: number): boolean {
  const place = store.slot(n);
  if (!place) return false;
  panels.close();
  whenReady(Math.max(0, Math.min(place.scene, game.count - 1)), () => play.load(place));
  return true;
}

function quickLoad(): void {
  if (!loadSlot(QUICK_SLOT)) notice(TEXTS.noQuickSave);
}

function toggleMute(): void {
  const settings = { ...play.readerSettings, mute: !play.readerSettings.mute };
  applySettings(settings);
  notice(settings.mute ? TEXTS.muted : TEXTS.unmuted);
}

function applySettings(settings: ReaderSettings): void {
  play.setReaderSettings(settings);
  applyVolume();
  if (!store.writeSettings(settings) && !placeFailureSaid) {
    placeFailureSaid = true;
    notice(TEXTS.placeNotKept);
  }
  settle();
}

function hideBox(hidden: boolean): void {
  play.setBoxHidden(hidden);
  settle();
}

async function restart(): Promise<void> {
  if (await panels.ask(TEXTS.restartQuestion, TEXTS.restart)) goTo(0);
}

// ---- Panels: the menu, the slots, look back, the settings ----

function openMenu(): void {
  if (!started) return;
  // The menu stops auto and skip: the reader has turned to something else.
  setMode("normal");
  const panel = element("div", "menu");
  panel.appendChild(element("h2", "", TEXTS.menu));
  const item = (text: string, key: string, action: () => void) => {
    const made = button("", () => {
      panels.close();
      action();
    });
    made.appendChild(element("span", "", text));
    if (key) {
      made.appendChild(element("kbd", "", key));
      made.setAttribute("aria-keyshortcuts", key.replace("Ctrl", "Control"));
    }
    panel.appendChild(made);
  };
  item(TEXTS.save, KEYS.save, () => chooseSlot(true));
  item(TEXTS.load, KEYS.load, () => chooseSlot(false));
  item(TEXTS.quickSave, KEYS.quickSave, () => saveSlot(QUICK_SLOT));
  item(TEXTS.quickLoad, KEYS.quickLoad, quickLoad);
  panel.appendChild(element("hr"));
  item(TEXTS.backlog, KEYS.backlog, showBacklog);
  item(TEXTS.auto, KEYS.auto, () => setMode("auto"));
  item(TEXTS.skip, KEYS.skip, () => setMode("skip"));
  item(TEXTS.hide, KEYS.hide, () => hideBox(true));
  item(play.readerSettings.mute ? TEXTS.unmute : TEXTS.mute, KEYS.mute, toggleMute);
  panel.appendChild(element("hr"));
  item(TEXTS.settings, KEYS.settings, openSettings);
  item(TEXTS.restart, KEYS.restart, () => void restart());
  panels.show("menu", panel, TEXTS.menu);
  // Up and down go through the commands, as in a menu.
  panel.addEventListener("keydown", (event) => {
    if (event.key !== "ArrowDown" && event.key !== "ArrowUp") return;
    const items = [...panel.querySelectorAll<HTMLButtonElement>("button")];
    const at = items.indexOf(document.activeElement as HTMLButtonElement);
    const to = (at + (event.key === "ArrowDown" ? 1 : items.length - 1)) % items.length;
    items[to].focus();
    event.preventDefault();
  });
}

function chooseSlot(saving: boolean): void {
  if (!started) return;
  readerActed();
  setMode("normal");
  const panel = element("div", "slots");
  const title = saving ? TEXTS.save : TEXTS.load;
  panel.appendChild(element("h2", "", title));
  const grid = element("div", "grid");
  const order: number[] = [];
  for (let n = 1; n <= SLOTS; ++n) order.push(n);
  if (!saving) order.push(QUICK_SLOT);
  for (const n of order) {
    const place = store.slot(n);
    const name = TEXTS.slotName(n);
    const slot = button("", () => void chosen(n));
    slot.dataset.slot = String(n);
    const thumb = element("canvas");
    thumb.width = 160;
    thumb.height = 121;
    thumb.setAttribute("aria-hidden", "true");
    slot.appendChild(thumb);
    const time = place ? new Date(place.time) : null;
    const label = `${name}${time ? ` ${formatTime(time)}` : ""}`;
    slot.appendChild(element("span", "", label));
    slot.appendChild(element("span", "text", place ? place.text : TEXTS.emptySlot));
    slot.setAttribute("aria-label", `${label} ${place ? place.text : TEXTS.emptySlot}`);
    if (place) drawThumbnail(thumb, place);
    else slot.disabled = !saving;
    grid.appendChild(slot);
  }
  panel.appendChild(grid);
  const row = element("div", "row");
  row.appendChild(button(TEXTS.cancel, () => panels.close()));
  panel.appendChild(row);
  panels.show(saving ? "save" : "load", panel, title);

  async function chosen(n: number): Promise<void> {
    if (!saving) {
      loadSlot(n);
      return;
    }
    panels.close();
    if (store.slot(n) && !(await panels.ask(TEXTS.overwriteSlot(TEXTS.slotName(n)), TEXTS.save)))
      return;
    saveSlot(n);
  }
}

function formatTime(time: Date): string {
  const two = (n: number) => String(n).padStart(2, "0");
  return `${time.getFullYear()}-${two(time.getMonth() + 1)}-${two(time.getDate())} ${two(
    time.getHours(),
  )}:${two(time.getMinutes())}`;
}

/** A slot's small picture: its scene drawn again, as it stands when reached. */
function drawThumbnail(thumb: HTMLCanvasElement, place: SavedPlace): void {
  void data.prepare(Math.max(0, Math.min(place.scene, game.count - 1))).then((scene) => {
    if (!scene || !thumb.isConnected) return;
    const small = thumb.getContext("2d")!;
    small.setTransform(thumb.width / STAGE.width, 0, 0, thumb.height / STAGE.height, 0, 0);
    drawScene(small, game, scene, Infinity, true, (k) => data.picture(k));
    thumb.dataset.drawn = "1";
  });
}

function showBacklog(): void {
  if (!started) return;
  readerActed();
  setMode("normal");
  const panel = element("div", "backlog");
  panel.appendChild(element("h2", "", TEXTS.backlog));
  const list = element("ol");
  list.setAttribute("aria-label", TEXTS.backlog);
  for (const entry of play.backlog) {
    const item = element("li");
    item.appendChild(element("span", "", TEXTS.backlogEntry(entry.scene + 1, entry.text)));
    item.appendChild(button(TEXTS.backlogBack, () => void backTo(entry.scene)));
    list.appendChild(item);
  }
  panel.appendChild(list);
  // A click elsewhere than on a button closes the list, as a wheel turned down past its end.
  panel.addEventListener("click", (event) => {
    if (!(event.target as HTMLElement).closest("button")) panels.close();
  });
  list.addEventListener("wheel", (event) => {
    if (event.deltaY > 0 && list.scrollTop + list.clientHeight >= list.scrollHeight - 1)
      panels.close();
  });
  panels.show("backlog", panel, TEXTS.backlog);
  list.scrollTop = list.scrollHeight;
  const buttons = list.querySelectorAll("button");
  if (buttons.length) buttons[buttons.length - 1].focus();
}

async function backTo(scene: number): Promise<void> {
  panels.close();
  if (await panels.ask(TEXTS.backToSceneQuestion(scene + 1), TEXTS.backlog)) goTo(scene);
  else showBacklog();
}

function openSettings(): void {
  if (!started) return;
  readerActed();
  setMode("normal");
  const settings = play.readerSettings;
  const panel = element("div", "settings");
  panel.appendChild(element("h2", "", TEXTS.settings));
  const speedBox = (label: string, value: number) => {
    const row = element("label", "", label);
    const box = element("select");
    for (const [name, speed] of TEXTS.speeds) {
      const option = element("option", "", name);
      option.value = String(speed);
      option.selected = speed === value;
      box.appendChild(option);
    }
    if (!TEXTS.speeds.some(([, speed]) => speed === value)) box.value = "100";
    row.appendChild(box);
    panel.appendChild(row);
    return box;
  };
  const textSpeed = speedBox(TEXTS.textSpeed, settings.textSpeed);
  const autoSpeed = speedBox(TEXTS.autoSpeed, settings.autoSpeed);
  const volumeRow = element("label", "", TEXTS.volume);
  const volume = element("input");
  volume.type = "range";
  volume.min = "0";
  volume.max = "100";
  volume.value = String(settings.volume);
  volumeRow.appendChild(volume);
  panel.appendChild(volumeRow);
  const check = (label: string, value: boolean) => {
    const row = element("label", "", label);
    const box = element("input");
    box.type = "checkbox";
    box.checked = value;
    row.appendChild(box);
    panel.appendChild(row);
    return box;
  };
  const mute = check(TEXTS.mute, settings.mute);
  const skipAll = check(TEXTS.skipAll, settings.skipAll);
  const row = element("div", "row");
  const ok = button(TEXTS.ok, () => {
    panels.close();
    applySettings({
      textSpeed: Number(textSpeed.value),
      autoSpeed: Number(autoSpeed.value),
      volume: Number(volume.value),
      mute: mute.checked,
      skipAll: skipAll.checked,
    });
  });
  row.append(ok, button(TEXTS.cancel, () => panels.close()));
  panel.appendChild(row);
  panels.show("settings", panel, TEXTS.settings);
}

// ---- Input: the whole stage is the target ----

let press: { id: number; x: number; y: number; timer: number; used: boolean } | null = null;

surface.addEventListener("pointerdown", (event) => {
  if (!started) return;
  if (event.button === 1) {
    event.preventDefault();
    if (!readerActed()) hideBox(true);
    return;
  }
  if (event.button !== 0) return;
  const timer =
    event.pointerType === "mouse"
      ? 0
      : window.setTimeout(() => {
          if (press) press.used = true;
          openMenu();
        }, LONG_PRESS_MS);
  press = { id: event.pointerId, x: event.clientX, y: event.clientY, timer, used: false };
});
surface.addEventListener("pointermove", (event) => {
  if (press && press.id === event.pointerId &&
      Math.hypot(event.clientX - press.x, event.clientY - press.y) > 12) {
    window.clearTimeout(press.timer);
    press.used = true;
  }
});
const endPress = (event: PointerEvent) => {
  if (!press || press.id !== event.pointerId) return;
  window.clearTimeout(press.timer);
  const used = press.used;
  press = null;
  if (!used && event.type === "pointerup") advance();
};
surface.addEventListener("pointerup", endPress);
surface.addEventListener("pointercancel", endPress);
surface.addEventListener("contextmenu", (event) => {
  event.preventDefault();
  if (!started) return;
  if (press) {
    window.clearTimeout(press.timer);
    press.used = true;
  }
  if (!panels.open && !readerActed()) openMenu();
});
surface.addEventListener("auxclick", (event) => event.preventDefault());
surface.addEventListener(
  "wheel",
  (event) => {
    if (started && !panels.open && event.deltaY < 0) {
      event.preventDefault();
      showBacklog();
    }
  },
  { passive: false },
);

let ctrlHeld = false;
let ctrlTimer = 0;

document.addEventListener("keydown", (event) => {
  if (!started) return;
  const key = event.key;
  if (key === "Control") {
    if (!event.repeat && !panels.open) {
      // Ctrl alone, held a moment: Ctrl+S and the other commands must not start skipping.
      ctrlHeld = true;
      window.clearTimeout(ctrlTimer);
      ctrlTimer = window.setTimeout(() => {
        if (ctrlHeld && !panels.open) setMode("skip");
      }, HOLD_MS);
    }
    return;
  }
  ctrlHeld = false;
  const ctrl = event.ctrlKey || event.metaKey;
  if (panels.open) {
    if (key === "Escape") {
      event.preventDefault();
      panels.close();
    } else if (panels.kind === "backlog" && !ctrl && /^[lashLASH]$/.test(key)) {
      // A key that moves or hides the scene only closes look back: the scene stays still.
      event.preventDefault();
      panels.close();
    } else if (key === "F5" || key === "F9" || (ctrl && /^[sopSOP]$/.test(key))) {
      event.preventDefault(); // the browser's own (reload, save the page) stay off meanwhile
    }
    return;
  }
  const command = commandFor(key, ctrl, event.altKey, event.shiftKey);
  if (!command) return;
  // Space and Enter on a button beside the stage press that button.
  if (command === "advance" && key !== "PageDown" && (event.target as Element).closest?.("button"))
    return;
  event.preventDefault();
  if (event.repeat && command !== "advance") return;
  if (command === "advance") {
    if (!event.repeat) advance();
    return;
  }
  switch (command) {
    case "menu":
      if (!readerActed()) openMenu();
      break;
    case "quickSave":
      saveSlot(QUICK_SLOT);
      break;
    case "quickLoad":
      quickLoad();
      break;
    case "save":
      chooseSlot(true);
      break;
    case "load":
      chooseSlot(false);
      break;
    case "settings":
      openSettings();
      break;
    case "backlog":
      showBacklog();
      break;
    case "auto":
      setMode(play.mode === "auto" ? "normal" : "auto");
      break;
    case "skip":
      setMode(play.mode === "skip" ? "normal" : "skip");
      break;
    case "hide":
      hideBox(!play.boxHidden);
      break;
    case "mute":
      toggleMute();
      break;
  }
});

document.addEventListener("keyup", (event) => {
  if (event.key === "Control" && ctrlHeld) {
    ctrlHeld = false;
    window.clearTimeout(ctrlTimer);
    if (started && play.mode === "skip") setMode("normal");
  }
});
window.addEventListener("blur", () => {
  if (ctrlHeld && started && play.mode === "skip") setMode("normal");
  ctrlHeld = false;
});

function commandFor(key: string, ctrl: boolean, alt: boolean, shift: boolean): string {
  if (alt) return "";
  if (ctrl) {
    const letter = key.toLowerCase();
    return shift ? "" : letter === "s" ? "save" : letter === "o" ? "load" : letter === "p" ? "settings" : "";
  }
  switch (key) {
    case " ":
    case "Enter":
    case "PageDown":
      return "advance";
    case "Escape":
    case "ContextMenu":
      return "menu";
    case "F5":
      return "quickSave";
    case "F9":
      return "quickLoad";
    case "PageUp":
      return "backlog";
  }
  if (shift) return "";
  switch (key.toLowerCase()) {
    case "l":
      return "backlog";
    case "a":
      return "auto";
    case "s":
      return "skip";
    case "h":
      return "hide";
    case "m":
      return "mute";
  }
  return "";
}

// Pressed with a pointer, a button gives the keys back to the stage: Space goes on, as before.
for (const pressed of [menuButton, full])
  pressed.addEventListener("click", (event) => event.detail > 0 && pressed.blur());
menuButton.addEventListener("click", () => {
  if (started && !panels.open) openMenu();
});
full.addEventListener("click", () => {
  if (document.fullscreenElement) void document.exitFullscreen();
  else void document.documentElement.requestFullscreen().catch(() => undefined);
});

// ---- A page as a page should be ----

document.addEventListener("visibilitychange", () => {
  if (document.hidden) {
    music.pause();
    if (started) keepPlace();
  } else if (musicWanted) {
    void music.play().catch(() => undefined);
  }
});
window.addEventListener("pagehide", () => {
  if (started) keepPlace();
});
window.addEventListener("resize", () => fit());

function offline(): void {
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
      // What was loaded before the worker ran is kept too; opened from the home screen,
      // everything is, for reading offline.
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

// ---- Start ----

function showProgress(percent: number): void {
  progressBar.value = percent;
  loadingText.textContent =
    wanted >= 0 ? TEXTS.loadingThenStart(percent) : TEXTS.loading(percent);
}

function begin(scene: number): void {
  if (started) return;
  if (!firstReady) {
    wanted = scene;
    startButton.setAttribute("aria-busy", "true");
    showProgress(data ? progressBar.value : 0);
    return;
  }
  started = true;
  if (faultBox.parentElement === cover) cover.after(faultBox);
  cover.remove();
  loading.hidden = true;
  bar.hidden = false;
  full.hidden = !document.fullscreenEnabled;
  canvas.dataset.started = "1";
  fit(false); // the stage's place with the bar shown; the scene draws it once
  goTo(scene, () => {
    // The music once the first scene stands: before, it would take the link from it.
    playMusic(true);
  });
  if (!store.kept && !placeFailureSaid) {
    placeFailureSaid = true;
    notice(TEXTS.placeNotKept);
  }
}

function usable(candidate: Game | undefined): candidate is Game {
  return (
    !!candidate &&
    typeof candidate.count === "number" &&
    candidate.count > 0 &&
    Array.isArray(candidate.chunks) &&
    Array.isArray(candidate.scenes) &&
    Array.isArray(candidate.fonts) &&
    Array.isArray(candidate.pictures) &&
    candidate.scenes.length === chunkLength(candidate, 0)
  );
}

async function boot(): Promise<void> {
  startButton.addEventListener("click", () => begin(0));
  continueButton.addEventListener("click", () =>
    begin(Math.max(0, Math.min(store.lastScene, game.count - 1))),
  );
  fit();
  const progress = new Progress(showProgress);
  const ran = await progress.track(Number(document.body.dataset.bytes) || 0, loadScript("game.js"));
  const candidate = window.TALE_GAME;
  if (!ran || !usable(candidate)) {
    fault(TEXTS.dataFault("game.js"));
    return;
  }
  game = candidate;
  data = new GameData(game, fileFault, draw);
  data.progress = progress;
  store = new Store(browserStorage(), game.id, game.count);
  play = new Play({
    count: game.count,
    interval: game.interval,
    cut: !!game.cut,
    scene: (i) => data.scene(i),
    seen: (i) => store.seen(i),
    shown: sceneShown,
    modeChanged: showMode,
    restarted: () => playMusic(true),
    ended: stopMusic,
    tell: (text) => void panels.tell(text, TEXTS.load),
  });
  play.setReaderSettings(store.settings);
  const motion = window.matchMedia("(prefers-reduced-motion: reduce)");
  play.instant = motion.matches;
  motion.addEventListener?.("change", () => (play.instant = motion.matches));
  applyVolume();
  music.addEventListener("error", () => {
    if (game.music) notice(TEXTS.musicFault(game.music));
  });
  document.body.appendChild(music);
  // Shown already by the page while it loaded, where the browser keeps a place.
  const last = Math.min(store.lastScene, game.count - 1);
  continueButton.hidden = last < 0;
  byId("name").style.fontFamily = game.fonts
    .map((_, index) => `TaleFont${index}`)
    .concat("sans-serif")
    .join(", ");
  const first = [data.prepare(0), data.loadText(game.name || game.title)];
  if (!continueButton.hidden) first.push(data.prepare(last));
  const scenes = await Promise.all(first);
  if (!scenes[0] || (scenes.length > 2 && !scenes[2])) return; // said by the data
  prepared.add(0);
  if (!continueButton.hidden) prepared.add(last);
  firstReady = true;
  // The music's address now, nothing of it fetched: set at 开始, it would hold that click up.
  if (game.music) {
    music.preload = "none";
    music.src = address(game.music);
  }
  showProgress(100);
  loading.hidden = true;
  offline();
  if (wanted >= 0) begin(wanted);
}

void boot();
