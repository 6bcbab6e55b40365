import { Progress, loadScript } from "./data";
import { Game, chunkLength } from "./game";
import { Notes } from "./notes";
import { TEXTS } from "./texts";
import type { Visit } from "./visit";

/** The elements of the cover. */
export interface CoverElements {
  cover: HTMLElement;
  name: HTMLElement;
  start: HTMLButtonElement;
  continue: HTMLButtonElement;
  progress: HTMLProgressElement;
  loadingText: HTMLElement;
  loading: HTMLElement;
  faultBox: HTMLElement;
}

/** Which of the cover's buttons the reader pressed. */
type Wanted = "start" | "continue";

/**
 * The cover while the game's data arrives: the game's name, 开始 and 继续, the share of the
 * first scenes' files loaded. A button pressed before the first scene can be drawn is kept and
 * acted on once it can ("载入中…,载入后就开始"). A fault said meanwhile stands on the cover, and
 * one that nothing can start without turns its buttons off.
 */
export class Cover {
  readonly progress: Progress;
  private visit: Visit | null = null;
  private wanted: Wanted | null = null;
  private ready = false;
  private begun = false;

  constructor(
    private readonly at: CoverElements,
    private readonly notes: Notes,
  ) {
    this.progress = new Progress((percent) => this.showProgress(percent));
    notes.faulted = (fatal) => this.faulted(fatal);
    at.start.addEventListener("click", () => this.begin("start"));
    at.continue.addEventListener("click", () => this.begin("continue"));
  }

  /**
   * Loads the game's data and the first scene's files (and 继续's), making the visit with
   * `makeVisit` as soon as the data has run; `arrived` runs once the first scene can be drawn,
   * before a button pressed meanwhile is acted on. A file missing or damaged is said.
   */
  async load(makeVisit: (game: Game) => Visit, arrived: () => void): Promise<void> {
    const { at } = this;
    const ran = await this.progress.track(Number(document.body.dataset.bytes) || 0, loadScript("game.js"));
    const candidate = window.TALE_GAME;
    if (!ran || !usable(candidate)) {
      this.notes.fault(TEXTS.dataFault("game.js"));
      return;
    }
    const visit = makeVisit(candidate);
    this.visit = visit;
    // Shown already by the page while it loaded, where the browser keeps a place.
    const last = visit.lastScene;
    at.continue.hidden = last < 0;
    at.name.style.fontFamily = candidate.fonts
      .map((_, index) => `TaleFont${index}`)
      .concat("sans-serif")
      .join(", ");
    const first = [visit.data.prepare(0), visit.data.loadText(candidate.name || candidate.title)];
    if (!at.continue.hidden) first.push(visit.data.prepare(last));
    const scenes = await Promise.all(first);
    if (!scenes[0] || (scenes.length > 2 && !scenes[2])) return; // said by the data
    visit.course.preparedBefore(0);
    if (!at.continue.hidden) visit.course.preparedBefore(last);
    this.ready = true;
    visit.music.point();
    this.showProgress(100);
    at.loading.hidden = true;
    arrived();
    if (this.wanted) this.begin(this.wanted);
  }

  private showProgress(percent: number): void {
    this.at.progress.value = percent;
    this.at.loadingText.textContent = this.wanted
      ? TEXTS.loadingThenStart(percent)
      : TEXTS.loading(percent);
  }

  private begin(wanted: Wanted): void {
    if (this.begun) return;
    const { at } = this;
    if (!this.ready || !this.visit) {
      this.wanted = wanted;
      at.start.setAttribute("aria-busy", "true");
      this.showProgress(this.visit ? at.progress.value : 0);
      return;
    }
    this.begun = true;
    if (at.faultBox.parentElement === at.cover) at.cover.after(at.faultBox);
    at.cover.remove();
    at.loading.hidden = true;
    this.visit.start(wanted === "continue" ? Math.max(0, this.visit.lastScene) : 0);
  }

  private faulted(fatal: boolean): void {
    if (this.begun) return;
    // On the cover, it stands where the reader looks: below the buttons.
    const { at } = this;
    at.cover.insertBefore(at.faultBox, at.loading);
    if (fatal) {
      at.loading.hidden = true;
      at.start.disabled = true;
      at.continue.disabled = true;
    }
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
