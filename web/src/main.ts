import { BOX, Game, STAGE, Scene, TEXT } from "./game";
import { Play } from "./play";

declare global {
  interface Window {
    TALE_GAME: Game;
  }
}

const game = window.TALE_GAME;
const play = new Play(game);
const canvas = document.getElementById("stage") as HTMLCanvasElement;
const context = canvas.getContext("2d")!;
const heard = document.getElementById("heard")!;
const cover = document.getElementById("cover")!;
const full = document.getElementById("full") as HTMLButtonElement;
let scale = 1;
let started = false;
let timer = 0;

// Pictures load as they are first needed, and the scene is drawn again when one arrives.
const pictures = new Map<number, HTMLImageElement>();
function picture(index: number): HTMLImageElement | null {
  if (index < 0) return null;
  let image = pictures.get(index);
  if (!image) {
    image = new Image();
    image.onload = image.onerror = () => draw();
    image.src = address(game.pictures[index]);
    pictures.set(index, image);
  }
  return image;
}
function preload(scene: Scene | undefined): void {
  if (scene) {
    picture(scene.bg);
    picture(scene.box);
  }
}

function address(path: string): string {
  return path.split("/").map(encodeURIComponent).join("/");
}

// One family for each font the player draws the texts in.
const fontLoads = game.fonts.map((font, index) => {
  const face = new FontFace(`TaleFont${index}`, `url(${address(font.file)})`);
  document.fonts.add(face);
  return face.load();
});
const fontLoaded = Promise.all(fontLoads).then(
  () => draw(),
  () => undefined,
);

const music = document.createElement("audio");
if (game.music) {
  // Fetched once the page has loaded: a media element would hold the page's load event until
  // it had read enough of the tune, while the first screen needs none of it.
  music.preload = "auto";
  document.body.appendChild(music);
  const fetchMusic = () => {
    if (!music.src) music.src = address(game.music);
  };
  if (document.readyState === "complete") fetchMusic();
  else window.addEventListener("load", fetchMusic);
}

function ready(image: HTMLImageElement | null): boolean {
  return !image || image.complete;
}

function draw(): void {
  const ratio = window.devicePixelRatio || 1;
  context.setTransform(scale * ratio, 0, 0, scale * ratio, 0, 0);
  context.globalAlpha = 1;
  context.fillStyle = game.window;
  context.fillRect(0, 0, STAGE.width, STAGE.height);
  context.fillStyle = "#000";
  context.fillRect(0, 0, STAGE.bgWidth, STAGE.bgHeight);
  if (!started) return;
  const view = play.view();
  const scene = view.scene;
  const background = picture(scene ? scene.bg : game.closing);
  if (background && background.complete && background.naturalWidth > 0) {
    context.save();
    context.beginPath();
    context.rect(0, 0, STAGE.bgWidth, STAGE.bgHeight);
    context.clip();
    context.drawImage(background, 0, 0);
    context.restore();
  }
  let box: HTMLImageElement | null = null;
  if (scene && view.boxVisible) {
    box = picture(scene.box);
    if (box && box.complete && box.naturalWidth > 0) {
      context.save();
      context.beginPath();
      context.rect(BOX.left, scene.boxTop, BOX.width, BOX.height);
      context.clip();
      context.globalAlpha = BOX.opacity;
      context.drawImage(box, BOX.left, scene.boxTop);
      context.restore();
    }
  }
  if (scene) drawText(scene, view.shown);
  canvas.dataset.scene = scene ? String(play.sceneIndex) : "end";
  canvas.dataset.ready = ready(background) && ready(box) ? "1" : "0";
  canvas.dataset.revealing = play.revealing() ? "1" : "0";
}

function drawText(scene: Scene, shown: number): void {
  context.save();
  context.beginPath();
  context.rect(TEXT.left, scene.textTop, TEXT.width, TEXT.height);
  context.clip();
  context.strokeStyle = scene.colour;
  context.lineJoin = "round";
  context.fillStyle = scene.colour;
  context.textBaseline = "alphabetic";
  let left = shown;
  for (const [text, x, baseline, runs] of scene.lines) {
    if (left <= 0) break;
    const visible = Math.min(left, text.length);
    left -= text.length;
    const lineX = TEXT.left + x;
    const lineY = scene.textTop + baseline;
    let inkEnd = lineX; // where the line's text ends, its trailing blanks left out
    let offset = -Infinity; // the underline's, below the baseline
    let thickness = 0;
    runs.forEach(([start, index, runX], k) => {
      const end = Math.min(k + 1 < runs.length ? runs[k + 1][0] : text.length, visible);
      if (end <= start) return;
      const part = text.slice(start, end);
      const font = game.fonts[index];
      // A face without a bold face of its own is made bold by the player's FreeType, which
      // widens each outline by a 24th of the size, to the right and upwards; the same stroke
      // here, rather than the browser's own lighter emboldening.
      const embolden = scene.bold && !font.bold ? scene.size / 24 : 0;
      // Italic likewise: FreeType slants an upright face by this shear, a little less than the
      // browser would.
      const shear = scene.italic && !font.italic ? 0x0366a / 0x10000 : 0;
      context.font = `${scene.size}px TaleFont${index}, sans-serif`;
      context.lineWidth = embolden;
      const partX = TEXT.left + runX;
      context.save();
      context.transform(1, 0, -shear, 1, partX + embolden / 2, lineY - embolden / 2);
      context.fillText(part, 0, 0);
      if (embolden) context.strokeText(part, 0, 0);
      context.restore();
      const inked = part.replace(/\s+$/, "");
      if (inked) inkEnd = partX + context.measureText(inked).width;
      const underline = scene.underline && scene.underline[index];
      if (underline) {
        offset = Math.max(offset, underline[0]);
        thickness = Math.max(thickness, underline[1]);
      }
    });
    if (offset > -Infinity) {
      // Where the player's painter strokes it: whole pixels below the baseline, which glyphs
      // stand on rounded to a pixel row. The line's trailing blanks, where it wrapped, are not
      // underlined.
      // It is drawn without smoothing, so a fraction of a pixel's thickness adds nothing.
      const rows = Math.max(1, Math.floor(thickness));
      const top = Math.round(lineY) + Math.ceil(offset) - Math.floor(rows / 2);
      context.fillRect(lineX, top, inkEnd - lineX, rows);
    }
  }
  context.restore();
}

function fit(): void {
  const width = window.innerWidth;
  const height = window.innerHeight;
  scale = Math.min(width / STAGE.width, height / STAGE.height);
  const ratio = window.devicePixelRatio || 1;
  const cssWidth = STAGE.width * scale;
  const cssHeight = STAGE.height * scale;
  canvas.style.width = `${cssWidth}px`;
  canvas.style.height = `${cssHeight}px`;
  canvas.style.left = `${(width - cssWidth) / 2}px`;
  canvas.style.top = `${(height - cssHeight) / 2}px`;
  canvas.width = Math.round(cssWidth * ratio);
  canvas.height = Math.round(cssHeight * ratio);
  draw();
}

function say(): void {
  const scene = play.view().scene;
  heard.textContent = scene ? scene.text : game.ending;
}

function runTimer(): void {
  window.clearInterval(timer);
  timer = 0;
  if (play.revealing() && game.interval > 0) {
    timer = window.setInterval(() => {
      play.tick();
      if (!play.revealing()) {
        window.clearInterval(timer);
        timer = 0;
      }
      draw();
    }, game.interval);
  }
}

function advance(): void {
  if (!started || !play.advance()) return;
  const view = play.view();
  if (!view.scene) {
    music.pause();
  } else {
    preload(game.scenes[play.sceneIndex + 1]);
  }
  runTimer();
  say();
  draw();
}

canvas.addEventListener("click", (event) => {
  const view = play.view();
  if (!view.scene || !view.boxVisible) return;
  const bounds = canvas.getBoundingClientRect();
  const x = (event.clientX - bounds.left) / scale;
  const y = (event.clientY - bounds.top) / scale;
  const top = view.scene.boxTop;
  if (x >= BOX.left && x < BOX.left + BOX.width && y >= top && y < top + BOX.height) advance();
});

document.addEventListener("keydown", (event) => {
  if (!started || event.ctrlKey || event.altKey || event.metaKey) return;
  if (event.key !== " " && event.key !== "Enter" && event.key !== "PageDown") return;
  if (event.target === full) return;
  event.preventDefault();
  if (!event.repeat) advance();
});

full.addEventListener("click", () => {
  if (document.fullscreenElement) void document.exitFullscreen();
  else void document.documentElement.requestFullscreen().catch(() => undefined);
});

const name = document.getElementById("name")!;
name.textContent = game.name || game.title;
name.style.fontFamily = game.fonts
  .map((_, index) => `TaleFont${index}`)
  .concat("sans-serif")
  .join(", ");
preload(game.scenes[0]);
picture(game.closing);
document.getElementById("start")!.addEventListener("click", () => {
  // The click that lets the browser play sound.
  if (game.music) {
    if (!music.src) music.src = address(game.music);
    void music.play().catch(() => undefined);
  }
  void fontLoaded.then(() => {
    started = true;
    cover.remove();
    full.hidden = !document.fullscreenEnabled;
    preload(game.scenes[1]);
    say();
    fit();
    canvas.focus();
  });
});
window.addEventListener("resize", fit);
fit();
