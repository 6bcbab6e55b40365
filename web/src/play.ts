import { Scene } from "./game";

/** What the reader sees at a moment: which scene, how much of its text, and the box's state. */
export interface View {
  scene: Scene | null; // null: the ending
  shown: number; // characters of the text shown; Infinity: all
  boxVisible: boolean;
  boxEnabled: boolean;
}

/** How scenes follow each other: on the reader's clicks, by themselves (auto), or quickly. */
export type Mode = "normal" | "auto" | "skip";

/** One scene shown since the page started, for looking back. */
export interface BacklogEntry {
  scene: number;
  text: string;
}

/** A saved place: the scene, how many scenes the game had then, its text's start, when. */
export interface SavedPlace {
  scene: number;
  count: number;
  text: string;
  time: number; // ms since 1970
}

/** The reader's own settings, kept with the place. */
export interface ReaderSettings {
  textSpeed: number; // percent of the game's own speed: 200 types twice as fast
  autoSpeed: number; // percent of the normal pause of auto: 200 waits half as long
  volume: number; // music volume, 0–100
  mute: boolean;
  skipAll: boolean; // skip passes over scenes not yet seen too
}

export const DEFAULT_SETTINGS: ReaderSettings = {
  textSpeed: 100,
  autoSpeed: 100,
  volume: 100,
  mute: false,
  skipAll: false,
};

/** What the course of a game needs around it: the scenes, what was read, and its listeners. */
export interface PlayHost {
  count: number;
  interval: number; // the game's own ms between two characters; 0: texts appear at once
  cut: boolean; // a click may cut typing short
  /** Scene `i`; the caller has made sure it is loaded before it asks for it to be shown. */
  scene(i: number): Scene;
  seen(i: number): boolean;
  /** Scene `i` is shown: the place and the scenes read. */
  shown(i: number): void;
  modeChanged?(): void;
  /** The ending is left for a scene again: the music starts from its beginning. */
  restarted?(): void;
  /** The music stops: the ending. */
  ended?(): void;
  /** A note for the reader, said and shown. */
  tell?(text: string): void;
}

export const AUTO_PAUSE_BASE = 1500;
export const AUTO_PAUSE_PER_CHAR = 80;
export const SKIP_PAUSE = 60;
export const BACKLOG_MAX = 1000;
export const SAVED_TEXT_LENGTH = 40;
const MAX_INTERVAL = 65535;

export const SAVED_SCENE_GONE = (scene: number, count: number) =>
  `存档中的第${scene}个场景已经不在游戏里了(游戏现在有${count}个场景),已打开最近的场景。`;

/**
 * The course of a game as the player runs it: a scene whole where the reader starts, then on each
 * click the next scene, typed out one character per tick where the data says so, and after the
 * last scene the closing picture; auto and skip, looking back, hiding the box, going to a scene.
 * Timing is left to the caller: it calls tick() every interval() ms while revealing() is true,
 * and waitElapsed() once `pause` ms after a command left `pause` at 0 or more.
 */
export class Play {
  private index = 0;
  private shownChars = Infinity;
  private enabled = true;
  private over = false;
  private started = false;
  private currentMode: Mode = "normal";
  private hidden = false;
  private log: BacklogEntry[] = [];
  private settings: ReaderSettings = { ...DEFAULT_SETTINGS };
  /** Show texts whole at once, whatever the game says (the system asks for less motion). */
  instant = false;
  /** The pause of auto or skip before waitElapsed(), in ms; -1: none is due. */
  pause = -1;
  /** Counts each time `pause` was set or stopped, so the caller starts its timer once each. */
  pauseSet = 0;

  constructor(private readonly host: PlayHost) {}

  get sceneIndex(): number {
    return this.index;
  }
  get ended(): boolean {
    return this.over;
  }
  get mode(): Mode {
    return this.currentMode;
  }
  get boxHidden(): boolean {
    return this.hidden;
  }
  get backlog(): readonly BacklogEntry[] {
    return this.log;
  }
  get readerSettings(): ReaderSettings {
    return this.settings;
  }

  setReaderSettings(settings: ReaderSettings): void {
    this.settings = { ...settings };
  }

  /** The ms between two characters typed, as the reader's speed makes it; 0: at once. */
  interval(): number {
    if (this.host.interval <= 0 || this.instant) return 0;
    const speed = Math.max(1, this.settings.textSpeed);
    return Math.min(MAX_INTERVAL, Math.max(1, Math.floor((this.host.interval * 100) / speed)));
  }

  view(): View {
    return {
      scene: this.over || !this.started ? null : this.host.scene(this.index),
      shown: this.shownChars,
      boxVisible: !this.over && !this.hidden,
      boxEnabled: !this.over && !this.hidden && this.enabled,
    };
  }

  revealing(): boolean {
    return !this.over && this.shownChars !== Infinity;
  }

  /** The scene a command would show next: the one after this, or -1 at the ending. */
  next(): number {
    return this.over || this.index + 1 >= this.host.count ? -1 : this.index + 1;
  }

  /** Shows scene `i` whole, as the game starts there (a start, continue, a save, look back). */
  goTo(i: number): void {
    if (i < 0 || i >= this.host.count) return;
    this.setMode("normal");
    this.setBoxHidden(false);
    if (this.over) {
      this.over = false;
      this.host.restarted?.();
    }
    this.started = true;
    this.enabled = true;
    this.shownChars = Infinity;
    this.index = i;
    this.record(i);
    this.textComplete();
  }

  /** Goes to a saved place; a scene the game no longer has gives the nearest one, said. */
  load(place: SavedPlace): void {
    const count = this.host.count;
    const scene = Math.max(0, Math.min(place.scene, count - 1));
    if (scene !== place.scene) this.host.tell?.(SAVED_SCENE_GONE(place.scene + 1, count));
    this.goTo(scene);
  }

  /** Where the reader stands, for a save; null at the ending. */
  place(now: number): SavedPlace | null {
    if (this.over || !this.started) return null;
    return {
      scene: this.index,
      count: this.host.count,
      text: this.host.scene(this.index).text.slice(0, SAVED_TEXT_LENGTH),
      time: now,
    };
  }

  /** One tick of the reveal: one more character, or the whole text and the box enabled. */
  tick(): void {
    if (!this.revealing()) return;
    this.shownChars += 1;
    if (this.shownChars > this.host.scene(this.index).text.length) {
      this.shownChars = Infinity;
      this.enabled = true;
      this.textComplete();
    }
  }

  /** Whether a click on the stage would be taken now. */
  takesClick(): boolean {
    return this.started && !this.over && !this.hidden && this.enabled;
  }

  /** A click (or its key): the next scene, or the ending. It stops auto. False if not taken. */
  advance(): boolean {
    if (!this.takesClick()) return false;
    if (this.currentMode === "auto") this.setMode("normal");
    this.nextScene();
    return true;
  }

  setMode(mode: Mode): void {
    if (this.over) mode = "normal";
    if (mode === this.currentMode) return;
    this.currentMode = mode;
    this.setPause(-1);
    this.host.modeChanged?.();
    if (mode !== "normal" && !this.revealing()) this.textComplete();
  }

  /** The pause of auto or skip is over: the next scene. */
  waitElapsed(): void {
    this.setPause(-1);
    if (this.currentMode === "normal" || this.revealing() || this.over) return;
    this.nextScene();
  }

  setBoxHidden(hidden: boolean): void {
    if (hidden === this.hidden || (hidden && this.over)) return;
    this.hidden = hidden;
  }

  private nextScene(): void {
    if (this.over) return;
    const i = this.index + 1;
    if (i >= this.host.count) {
      this.close();
      return;
    }
    this.index = i;
    const scene = this.host.scene(i);
    // Skip shows a text at once when the scene was read before, or when the reader skips
    // everything and the game lets a click cut its typing short; it stops at the first scene
    // not yet read otherwise.
    let atOnce = false;
    if (this.currentMode === "skip") {
      if (this.host.seen(i)) atOnce = true;
      else if (!this.settings.skipAll) this.setMode("normal");
      else atOnce = this.host.cut;
    }
    const typed = !atOnce && !!scene.reveal && this.interval() > 0;
    this.shownChars = typed ? 0 : Infinity;
    this.enabled = !typed || !scene.wait;
    this.record(i);
    if (!typed) this.textComplete();
  }

  private close(): void {
    this.over = true;
    this.shownChars = Infinity;
    this.enabled = false;
    this.setMode("normal");
    this.setPause(-1);
    this.host.ended?.();
  }

  private textComplete(): void {
    if (this.over) return;
    if (this.currentMode === "auto") {
      const length = this.host.scene(this.index).text.length;
      const speed = Math.max(1, this.settings.autoSpeed);
      this.setPause(Math.floor(((AUTO_PAUSE_BASE + AUTO_PAUSE_PER_CHAR * length) * 100) / speed));
    } else if (this.currentMode === "skip") {
      this.setPause(SKIP_PAUSE);
    }
  }

  private setPause(ms: number): void {
    this.pause = ms;
    this.pauseSet += 1;
  }

  private record(i: number): void {
    if (this.log.length >= BACKLOG_MAX) this.log.shift();
    this.log.push({ scene: i, text: this.host.scene(i).text });
    this.host.shown(i);
  }
}
