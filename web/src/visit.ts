import { Course } from "./course";
import { GameData, Progress } from "./data";
import { Game } from "./game";
import { Keeper } from "./keeper";
import { Music } from "./music";
import { Notes } from "./notes";
import { Panels } from "./panels";
import { Play } from "./play";
import { Store, browserStorage } from "./store";
import { TEXTS } from "./texts";
import { StageView } from "./view";

/** What the page has for every visit, before the game's data is there. */
export interface PageParts {
  view: StageView;
  notes: Notes;
  panels: Panels;
  progress: Progress;
}

/**
 * One reader's visit of a game, made once the game's data (game.js) has run: everything that
 * changes while the reader reads lives here or in the parts it owns — the data as it arrives,
 * what the browser keeps, the course of the game with its timers, the music — and `started`
 * once 开始 or 继续 went to the first scene. The page (main.ts) makes one and hands it to the
 * cover, the reader's commands and the page's own events.
 */
export class Visit {
  started = false;
  readonly data: GameData;
  readonly store: Store;
  readonly keeper: Keeper;
  readonly music: Music;
  readonly play: Play;
  readonly course: Course;

  constructor(
    readonly game: Game,
    readonly page: PageParts,
  ) {
    const { view, notes, panels } = page;
    this.data = new GameData(game, (file, kind) => notes.fileFault(file, kind), () => view.draw());
    this.data.progress = page.progress;
    this.store = new Store(browserStorage(), game.id, game.count);
    this.keeper = new Keeper(this.store, () => notes.notice(TEXTS.placeNotKept));
    this.play = new Play({
      count: game.count,
      interval: game.interval,
      cut: !!game.cut,
      scene: (i) => this.data.scene(i),
      seen: (i) => this.store.seen(i),
      shown: (i) => this.keeper.sceneShown(i),
      modeChanged: () => view.showMode(this.started ? this.play.mode : "normal"),
      restarted: () => this.music.play(true),
      ended: () => this.music.stop(),
      tell: (text) => void panels.tell(text, TEXTS.load),
    });
    this.play.setReaderSettings(this.store.settings);
    const motion = window.matchMedia("(prefers-reduced-motion: reduce)");
    this.play.instant = motion.matches;
    motion.addEventListener?.("change", () => (this.play.instant = motion.matches));
    this.music = new Music(game.music, () => notes.notice(TEXTS.musicFault(game.music)));
    this.music.setVolume(this.play.readerSettings);
    this.course = new Course(this, view);
  }

  /** The scene 继续 goes to; -1 when the game was never read here. */
  get lastScene(): number {
    return Math.min(this.store.lastScene, this.game.count - 1);
  }

  /** Shows scene `scene` as the game's first, the stage and its bar in place of the cover. */
  start(scene: number): void {
    this.started = true;
    this.page.view.visit = this;
    this.page.view.showBar();
    // The music once the first scene stands: before, it would take the link from it.
    this.course.goTo(scene, () => this.music.play(true));
    this.keeper.started();
  }

  /** The page was hidden or shown again: the music pauses, the place is written. */
  pageShown(shown: boolean): void {
    this.music.pageShown(shown);
    if (!shown && this.started) this.keeper.keepPlace();
  }
}
