import { drawScene } from "./draw";
import { STAGE } from "./game";
import { Mode } from "./play";
import { TEXTS } from "./texts";
import type { Visit } from "./visit";

/** The room the bar of buttons needs below the stage or beside it, in CSS pixels. */
const BAR_SIZE = 60;

/** The elements of the page the stage view places and draws. */
export interface StageElements {
  canvas: HTMLCanvasElement;
  heard: HTMLElement; // what a screen reader hears
  bar: HTMLElement;
  full: HTMLElement;
  modeLabel: HTMLElement;
  noticeBox: HTMLElement;
}

/**
 * The stage as the reader sees it: as large as the window allows, the bar of buttons beside or
 * below it, the moment of the game drawn on it. Black until a visit has started. The canvas's
 * data attributes tell tests and tools what is drawn (scene, ready, revealing, hidden, mode).
 */
export class StageView {
  private readonly context: CanvasRenderingContext2D;
  private scale = 1;
  private spokenScene = "";
  /** What is drawn, once it has started. */
  visit: Visit | null = null;

  constructor(private readonly at: StageElements) {
    this.context = at.canvas.getContext("2d")!;
  }

  draw(): void {
    const { canvas } = this.at;
    const ratio = window.devicePixelRatio || 1;
    this.context.setTransform(this.scale * ratio, 0, 0, this.scale * ratio, 0, 0);
    const visit = this.visit;
    if (!visit?.started) {
      this.context.fillStyle = "#000";
      this.context.fillRect(0, 0, STAGE.width, STAGE.height);
      return;
    }
    const { game, data, play } = visit;
    const view = play.view();
    drawScene(this.context, game, view.scene, view.shown, view.boxVisible, (i) => data.picture(i));
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
    if (spoken !== this.spokenScene) {
      this.spokenScene = spoken;
      this.at.heard.textContent = view.scene ? view.scene.text : game.ending;
    }
  }

  /** Where the stage and the bar stand: the stage as large as the window allows, the bar in the
   * free area beside or below it (over the stage's corner only when there is none). */
  fit(redraw = true): void {
    const { canvas, bar, modeLabel, noticeBox } = this.at;
    const width = window.innerWidth;
    const height = window.innerHeight;
    const scale = Math.min(width / STAGE.width, height / STAGE.height);
    const cssWidth = STAGE.width * scale;
    const cssHeight = STAGE.height * scale;
    let left = (width - cssWidth) / 2;
    let top = (height - cssHeight) / 2;
    bar.classList.remove("column", "over");
    if (height - cssHeight >= BAR_SIZE) {
      // Portrait: the stage fills the width, the bar below it, the two centred together.
      top = Math.max(0, (height - cssHeight - BAR_SIZE) / 2);
      place(bar, 0, top + cssHeight + 8, width, BAR_SIZE - 8);
    } else if (width - cssWidth >= 2 * (BAR_SIZE + 16)) {
      // Landscape: the stage fills the height, the bar in the free column at its right.
      bar.classList.add("column");
      place(bar, left + cssWidth, 0, (width - cssWidth) / 2, height);
    } else {
      bar.classList.add("over");
      bar.style.left = bar.style.top = bar.style.width = bar.style.height = "";
      bar.style.right = `${Math.max(4, left + 4)}px`;
      bar.style.bottom = `${Math.max(4, top + 4)}px`;
    }
    this.scale = scale;
    const ratio = window.devicePixelRatio || 1;
    canvas.style.width = `${cssWidth}px`;
    canvas.style.height = `${cssHeight}px`;
    canvas.style.left = `${left}px`;
    canvas.style.top = `${top}px`;
    canvas.width = Math.round(cssWidth * ratio);
    canvas.height = Math.round(cssHeight * ratio);
    modeLabel.style.right = `${width - left - cssWidth + 8}px`;
    modeLabel.style.top = `${top + 8}px`;
    noticeBox.style.top = `${top + cssHeight * 0.4}px`;
    if (redraw) this.draw();
  }

  /** The game has started: the bar shows, and the stage is placed with it. */
  showBar(): void {
    this.at.bar.hidden = false;
    this.at.full.hidden = !document.fullscreenEnabled;
    this.at.canvas.dataset.started = "1";
    this.fit(false); // the scene draws it once
  }

  /** Auto or skip named over the stage's corner while on. */
  showMode(mode: Mode): void {
    const { modeLabel } = this.at;
    modeLabel.hidden = mode === "normal";
    modeLabel.textContent = mode === "auto" ? TEXTS.autoOn : mode === "skip" ? TEXTS.skipOn : "";
  }

  /** Whether the next scene is awaited (its data not there yet). */
  setWaiting(waiting: boolean): void {
    if (waiting) this.at.canvas.dataset.waiting = "1";
    else delete this.at.canvas.dataset.waiting;
  }
}

function place(item: HTMLElement, left: number, top: number, width: number, height: number) {
  item.style.right = item.style.bottom = "";
  item.style.left = `${left}px`;
  item.style.top = `${top}px`;
  item.style.width = `${width}px`;
  item.style.height = `${height}px`;
}
