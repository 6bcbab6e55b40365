import { Game, Scene } from "./game";

/** What the reader sees at a moment: which scene, how much of its text, and the box's state. */
export interface View {
  scene: Scene | null; // null: the ending
  shown: number; // characters of the text shown
  boxVisible: boolean;
  boxEnabled: boolean;
}

/**
 * The course of a game as the player runs it: the first scene whole, then on each click the next
 * scene, typed out one character per tick where the data says so, and after the last scene the
 * closing picture. Timing is left to the caller, which calls tick() every `interval` ms while
 * revealing() is true.
 */
export class Play {
  private index = 0;
  private shownChars = Infinity;
  private enabled = true;
  private ended = false;

  constructor(private readonly game: Game) {}

  get sceneIndex(): number {
    return this.index;
  }

  view(): View {
    return {
      scene: this.ended ? null : this.game.scenes[this.index],
      shown: this.shownChars,
      boxVisible: !this.ended,
      boxEnabled: !this.ended && this.enabled,
    };
  }

  revealing(): boolean {
    return !this.ended && this.shownChars !== Infinity;
  }

  /** One tick of the reveal: one more character, or the whole text and the box enabled. */
  tick(): void {
    if (!this.revealing()) return;
    const text = this.game.scenes[this.index].text;
    this.shownChars += 1;
    if (this.shownChars > text.length) {
      this.shownChars = Infinity;
      this.enabled = true;
    }
  }

  /** A click on the box (or its key): the next scene, or the ending. False if it takes none. */
  advance(): boolean {
    if (this.ended || !this.enabled) return false;
    this.index += 1;
    if (this.index >= this.game.scenes.length) {
      this.ended = true;
      this.shownChars = Infinity;
      return true;
    }
    const scene = this.game.scenes[this.index];
    if (scene.reveal) {
      this.shownChars = 0;
      if (scene.wait) this.enabled = false;
    } else {
      this.shownChars = Infinity;
    }
    return true;
  }
}
