import { ReaderSettings } from "./play";
import { Store } from "./store";

/** How long after a scene shows the place is written. */
const KEEP_PLACE_MS = 1000;

/**
 * Writes what the page keeps of a visit (Store) at the right moments: the place a second after a
 * scene shows and whenever the page is hidden or left, the settings at once. The first time the
 * browser refuses, the reader is told, once a visit.
 */
export class Keeper {
  private placeTimer = 0;
  private refusalSaid = false;

  constructor(
    readonly store: Store,
    private readonly refused: () => void,
  ) {}

  /** The game has started: says at once if nothing can be kept. */
  started(): void {
    if (!this.store.kept) this.sayRefused();
  }

  sceneShown(i: number): void {
    if (this.store.sceneShown(i) && !this.placeTimer) {
      this.placeTimer = window.setTimeout(() => this.keepPlace(), KEEP_PLACE_MS);
    }
  }

  keepPlace(): void {
    window.clearTimeout(this.placeTimer);
    this.placeTimer = 0;
    if (!this.store.keepPlace()) this.sayRefused();
  }

  writeSettings(settings: ReaderSettings): void {
    if (!this.store.writeSettings(settings)) this.sayRefused();
  }

  private sayRefused(): void {
    if (this.refusalSaid) return;
    this.refusalSaid = true;
    this.refused();
  }
}
