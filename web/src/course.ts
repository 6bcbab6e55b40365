import type { Visit } from "./visit";
import { StageView } from "./view";

/** The next chunk of scenes is fetched when the reader is this near its start. */
const PREFETCH_SCENES = 12;

/**
 * The course of the game in time: the reveal's ticks and the pause of auto and skip as timers, a
 * scene shown only once everything it is drawn with is there (the command that shows it waits
 * meanwhile), and the next scenes' data fetched ahead of the reader.
 */
export class Course {
  private revealTimer = 0;
  private waitTimer = 0;
  private pauseSeen = -1;
  /** A command waiting for its scene's data. */
  private pending: (() => void) | null = null;
  /** Scenes whose data, pictures and fonts are all there. */
  private readonly prepared = new Set<number>();

  constructor(
    private readonly visit: Visit,
    private readonly view: StageView,
  ) {}

  /** After every command: timers as the game now needs them, the place, what is drawn. */
  settle(): void {
    const { play } = this.visit;
    this.visit.data.current = play.sceneIndex;
    window.clearInterval(this.revealTimer);
    this.revealTimer = 0;
    if (play.revealing()) {
      this.revealTimer = window.setInterval(() => {
        play.tick();
        if (!play.revealing()) this.settle();
        else this.view.draw();
      }, play.interval());
    }
    if (play.pauseSet !== this.pauseSeen) {
      this.pauseSeen = play.pauseSet;
      window.clearTimeout(this.waitTimer);
      this.waitTimer = 0;
      if (play.pause >= 0) {
        this.waitTimer = window.setTimeout(() => {
          this.waitTimer = 0;
          this.whenNextReady(() => play.waitElapsed());
        }, play.pause);
      }
    }
    this.view.showMode(play.mode);
    this.prefetch();
    this.view.draw();
  }

  /** Runs `action` (which shows the next scene) once that scene can be drawn. */
  whenNextReady(action: () => void): void {
    const { play, data } = this.visit;
    const next = play.next();
    if (next < 0 || this.ready(next)) {
      this.pending = null;
      action();
      this.settle();
      return;
    }
    this.pending = action;
    this.view.setWaiting(true);
    void data.prepare(next).then((scene) => {
      if (!scene) return;
      this.prepared.add(next);
      if (this.pending !== action || play.next() !== next) return;
      this.pending = null;
      this.view.setWaiting(false);
      action();
      this.settle();
    });
  }

  /** Shows scene `i` whole once it can be drawn (a start, a save, look back). */
  goTo(i: number, then?: () => void): void {
    this.whenReady(i, () => {
      this.visit.play.goTo(i);
      then?.();
    });
  }

  /** Runs `action`, which shows scene `i`, once that scene can be drawn. */
  whenReady(i: number, action: () => void): void {
    const show = () => {
      this.pending = null;
      action();
      this.settle();
    };
    if (this.ready(i)) {
      show();
      return;
    }
    this.pending = show;
    this.visit.data.current = i;
    void this.visit.data.prepare(i).then((scene) => {
      if (!scene) return;
      this.prepared.add(i);
      if (this.pending === show) show();
    });
  }

  /** Scene `i` was prepared before the course began (the cover's first scenes). */
  preparedBefore(i: number): void {
    this.prepared.add(i);
  }

  private ready(i: number): boolean {
    return this.prepared.has(i) && this.visit.data.has(i);
  }

  private prefetch(): void {
    const { play, data, game } = this.visit;
    const next = play.next();
    // The closing picture, once the last scene shows.
    if (next < 0) {
      if (!play.ended) data.picture(game.closing);
      return;
    }
    if (!this.ready(next))
      void data.prepare(next).then((scene) => scene && this.prepared.add(next));
    // The next chunk, well before the reader reaches it; quickly when skipping.
    const ahead = Math.min(game.count - 1, next + (play.mode === "skip" ? 4 : 1) * PREFETCH_SCENES);
    if (!data.has(ahead)) void data.loadChunk(ahead);
    if (this.prepared.size > 64) {
      for (const i of this.prepared)
        if (Math.abs(i - play.sceneIndex) > 32) this.prepared.delete(i);
    }
  }
}
