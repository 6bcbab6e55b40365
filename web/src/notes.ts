import { TEXTS } from "./texts";

/** How long a note stays. */
const NOTICE_MS = 2500;

/** What kind of file a fault names: the game's data, a picture or a font. */
export type FileKind = "data" | "picture" | "font";

/**
 * The page's two ways of telling the reader something: a fault (what is missing, standing until
 * the page is left) and a notice (a moment over the stage, and said to a screen reader).
 */
export class Notes {
  private noticeTimer = 0;
  /** Runs after a fault is shown; `fatal`: nothing can start without what is missing. The cover
   * sets it while it shows. */
  faulted: ((fatal: boolean) => void) | null = null;

  constructor(
    private readonly faultBox: HTMLElement,
    private readonly noticeBox: HTMLElement,
  ) {}

  /** Says what is missing; `fatal`: nothing can start without it. */
  fault(text: string, fatal = true): void {
    this.faultBox.textContent = text;
    this.faultBox.hidden = false;
    this.faulted?.(fatal);
  }

  notice(text: string): void {
    this.noticeBox.textContent = text;
    window.clearTimeout(this.noticeTimer);
    this.noticeTimer = window.setTimeout(() => (this.noticeBox.textContent = ""), NOTICE_MS);
  }

  /** A file of the game missing or damaged: the data stops the game, a picture is drawn without,
   * a font gives way to the browser's. */
  fileFault(file: string, kind: FileKind): void {
    if (kind === "data") this.fault(TEXTS.dataFault(file));
    else if (kind === "picture") this.fault(TEXTS.pictureFault(file), false);
    else this.notice(TEXTS.fontFault(file));
  }
}
