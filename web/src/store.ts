import { DEFAULT_SETTINGS, ReaderSettings, SavedPlace } from "./play";

/** Slot 0 is the quick save; slots 1 to SLOTS are the reader's own. */
export const SLOTS = 12;
export const QUICK_SLOT = 0;

/** The part of the browser's Storage this uses; a test hands in its own. */
export interface KeyValues {
  getItem(key: string): string | null;
  setItem(key: string, value: string): void;
}

/**
 * What the page keeps of one game for its reader, in the browser's storage under the game's id
 * (two games on one host never mix): the last scene shown, every scene read, the settings and the
 * save slots. Where the browser refuses storage (a private window, a page opened from the disk in
 * some browsers, a full storage) it all lives in memory for this visit, and `kept` is false.
 */
export class Store {
  private last = -1;
  private read: Uint8Array;
  private placeDirty = false;
  private readonly slots = new Map<number, SavedPlace>();
  private settingsValue: ReaderSettings = { ...DEFAULT_SETTINGS };
  /** False once the browser refused to keep something. */
  kept = true;

  constructor(
    private readonly storage: KeyValues | null,
    private readonly id: string,
    count: number,
  ) {
    this.read = new Uint8Array(Math.ceil(count / 8));
    if (!storage) {
      this.kept = false;
      return;
    }
    try {
      const place = this.json("place");
      if (place && typeof place.last === "number") this.last = place.last;
      if (place && typeof place.read === "string") {
        const bytes = atob(place.read);
        for (let i = 0; i < bytes.length && i < this.read.length; ++i)
          this.read[i] = bytes.charCodeAt(i);
      }
      const settings = this.json("settings");
      if (settings) this.settingsValue = { ...DEFAULT_SETTINGS, ...settings };
      for (let n = 0; n <= SLOTS; ++n) {
        const slot = this.json(`slot${n}`);
        if (slot && typeof slot.scene === "number") this.slots.set(n, slot);
      }
    } catch {
      this.kept = false;
    }
  }

  /** The last scene shown; -1 when the game was never played here. */
  get lastScene(): number {
    return this.last;
  }

  seen(i: number): boolean {
    return i >= 0 && (this.read[i >> 3] & (1 << (i & 7))) !== 0;
  }

  /** Scene `i` is shown: the last scene, and read from now on. Only in memory until keepPlace(). */
  sceneShown(i: number): boolean {
    const changed = this.last !== i || !this.seen(i);
    this.last = i;
    if (i >= 0 && i >> 3 < this.read.length) this.read[i >> 3] |= 1 << (i & 7);
    this.placeDirty = this.placeDirty || changed;
    return changed;
  }

  /** Writes the place and the scenes read if they changed; false when the browser refused. */
  keepPlace(): boolean {
    if (!this.placeDirty) return this.kept;
    this.placeDirty = false;
    let read = "";
    for (const byte of this.read) read += String.fromCharCode(byte);
    return this.write("place", { last: this.last, read: btoa(read) });
  }

  slot(n: number): SavedPlace | undefined {
    return this.slots.get(n);
  }

  /** Saves `place` in slot `n`, over what it held; false when the browser refused. */
  save(n: number, place: SavedPlace): boolean {
    this.slots.set(n, place);
    return this.write(`slot${n}`, place);
  }

  get settings(): ReaderSettings {
    return this.settingsValue;
  }

  writeSettings(settings: ReaderSettings): boolean {
    this.settingsValue = { ...settings };
    return this.write("settings", settings);
  }

  private key(name: string): string {
    return `tale.${this.id}.${name}`;
  }

  // eslint-disable-next-line @typescript-eslint/no-explicit-any
  private json(name: string): any {
    const text = this.storage!.getItem(this.key(name));
    if (!text) return null;
    try {
      return JSON.parse(text);
    } catch {
      return null; // a value damaged by hand counts as none
    }
  }

  private write(name: string, value: unknown): boolean {
    if (!this.storage) return false;
    try {
      this.storage.setItem(this.key(name), JSON.stringify(value));
      return true;
    } catch {
      this.kept = false;
      return false;
    }
  }
}

/** The browser's local storage, or null where it refuses it. */
export function browserStorage(): KeyValues | null {
  try {
    const storage = window.localStorage;
    const probe = "tale.probe";
    storage.setItem(probe, "1");
    storage.removeItem(probe);
    return storage;
  } catch {
    return null;
  }
}
