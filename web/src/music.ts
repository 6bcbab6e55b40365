import { address } from "./data";
import { ReaderSettings } from "./play";

/**
 * The game's music: one file, played from the first scene and again from its start after the
 * ending is left; paused while the page is hidden and stopped at the ending.
 */
export class Music {
  private readonly audio = document.createElement("audio");
  /** Whether the music plays when the page is seen. */
  private wanted = false;

  /** `file`: the game's music, "" for none; `failed` runs when it cannot be played. */
  constructor(
    private readonly file: string,
    failed: () => void,
  ) {
    this.audio.addEventListener("error", () => {
      if (this.file) failed();
    });
    document.body.appendChild(this.audio);
  }

  /** Its address, nothing of it fetched yet: set at 开始, it would hold that click up. */
  point(): void {
    if (!this.file) return;
    this.audio.preload = "none";
    this.audio.src = address(this.file);
  }

  setVolume(settings: ReaderSettings): void {
    this.audio.volume = Math.max(0, Math.min(100, settings.volume)) / 100;
    this.audio.muted = settings.mute;
  }

  play(fromStart: boolean): void {
    if (!this.file) return;
    this.wanted = true;
    this.audio.preload = "auto";
    if (fromStart && this.audio.currentTime > 0) this.audio.currentTime = 0;
    if (!document.hidden) void this.audio.play().catch(() => undefined);
  }

  stop(): void {
    this.wanted = false;
    this.audio.pause();
  }

  /** The page was hidden or shown again. */
  pageShown(shown: boolean): void {
    if (!shown) this.audio.pause();
    else if (this.wanted) void this.audio.play().catch(() => undefined);
  }
}
