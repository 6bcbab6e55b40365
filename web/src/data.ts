import { Game, Scene, chunkLength, chunkOf, fontsOf } from "./game";

declare global {
  interface Window {
    TALE_GAME?: Game;
    TALE_SCENES?: (chunk: number, scenes: Scene[]) => void;
  }
}

/** A file's address relative to the page, each part of its path encoded. */
export function address(path: string): string {
  return path.split("/").map(encodeURIComponent).join("/");
}

/** Loads a script file of the page; true when it ran (not when it was missing). */
export function loadScript(src: string): Promise<boolean> {
  return new Promise((resolve) => {
    const element = document.createElement("script");
    element.src = address(src);
    element.onload = () => {
      element.remove();
      resolve(true);
    };
    element.onerror = () => {
      element.remove();
      resolve(false);
    };
    document.head.appendChild(element);
  });
}

/** The CSS unicode-range of the characters in `chars`. */
export function unicodeRange(chars: string): string {
  const codes = [...new Set([...chars].map((c) => c.codePointAt(0)!))].sort((a, b) => a - b);
  const ranges: string[] = [];
  for (let i = 0; i < codes.length; ) {
    let j = i;
    while (j + 1 < codes.length && codes[j + 1] === codes[j] + 1) ++j;
    const hex = (code: number) => code.toString(16).toUpperCase();
    ranges.push(i === j ? `U+${hex(codes[i])}` : `U+${hex(codes[i])}-${hex(codes[j])}`);
    i = j + 1;
  }
  return ranges.join(",");
}

/** Progress over files of known sizes: what share of their bytes arrived. */
export class Progress {
  private total = 0;
  private done = 0;
  constructor(private readonly changed: (percent: number) => void) {}
  track<T>(bytes: number, work: Promise<T>): Promise<T> {
    this.total += bytes;
    this.changed(this.percent());
    return work.finally(() => {
      this.done += bytes;
      this.changed(this.percent());
    });
  }
  percent(): number {
    return this.total ? Math.floor((100 * this.done) / this.total) : 100;
  }
}

const KEPT_CHUNKS = 8;
const KEPT_PICTURES = 24;

/**
 * The game's data as the page loads it: scenes in chunks (scripts, so that a page opened from the
 * disk loads them too), the fonts a chunk of characters at a time, the pictures; each only as the
 * reader nears it, and dropped again when far behind. A file missing or damaged is said through
 * `fault`, once per file.
 */
export class GameData {
  private readonly chunks = new Map<number, Scene[]>();
  private readonly chunkLoads = new Map<number, Promise<boolean>>();
  private readonly arrived = new Map<number, Scene[]>();
  private readonly faces: FontFace[][];
  private readonly faceLoads = new Map<FontFace, Promise<void>>();
  private readonly fontChunkOf: Map<string, number>[];
  private readonly pictures = new Map<number, HTMLImageElement>();
  private readonly pictureLoads = new Map<HTMLImageElement, Promise<void>>();
  private readonly faulted = new Set<string>();
  /** Scenes kept in memory around this one. */
  current = 0;
  progress: Progress | null = null;

  constructor(
    readonly game: Game,
    private readonly fault: (file: string, kind: "data" | "picture" | "font") => void,
    private readonly pictureArrived: () => void,
  ) {
    this.chunks.set(0, game.scenes);
    window.TALE_SCENES = (k, scenes) => this.arrived.set(k, scenes);
    this.fontChunkOf = game.fonts.map((font) => {
      const where = new Map<string, number>();
      font.chunks.forEach((chunk, k) => {
        for (const char of chunk.chars) where.set(char, k);
      });
      return where;
    });
    // Each chunk of a font is a face of its own that holds its characters only: the browser
    // never fetches one for text that does not need it.
    this.faces = game.fonts.map((font, index) =>
      font.chunks.map((chunk) => {
        const face = new FontFace(`TaleFont${index}`, `url(${address(chunk.file)})`, {
          unicodeRange: unicodeRange(chunk.chars) || "U+0",
        });
        document.fonts.add(face);
        return face;
      }),
    );
  }

  has(i: number): boolean {
    return this.chunks.has(chunkOf(this.game, i));
  }

  scene(i: number): Scene {
    const k = chunkOf(this.game, i);
    return this.chunks.get(k)![i - this.game.chunks[k]];
  }

  /** Loads the chunk holding scene `i`; false when its file is missing or damaged. */
  loadChunk(i: number): Promise<boolean> {
    const k = chunkOf(this.game, i);
    if (this.chunks.has(k)) return Promise.resolve(true);
    let load = this.chunkLoads.get(k);
    if (!load) {
      const file = `scenes/${k}.js`;
      const work = loadScript(file).then((ran) => {
        const scenes = this.arrived.get(k);
        this.arrived.delete(k);
        this.chunkLoads.delete(k);
        if (!ran || !scenes || scenes.length !== chunkLength(this.game, k)) {
          this.say(file, "data");
          return false;
        }
        this.chunks.set(k, scenes);
        this.forget(k);
        return true;
      });
      load = this.progress ? this.progress.track(this.game.chunkBytes[k] || 0, work) : work;
      this.chunkLoads.set(k, load);
    }
    return load;
  }

  /**
   * Everything scene `i` is drawn with: its chunk, the parts of the fonts its text needs, its
   * pictures; the scene, or null when its data cannot be had; a picture or font that cannot is said, and the
   * scene drawn without it.
   */
  async prepare(i: number): Promise<Scene | null> {
    if (!(await this.loadChunk(i))) return null;
    const scene = this.scene(i);
    await Promise.all([
      ...fontsOf(scene, (font, char) => this.fontChunkOf[font]?.get(char) ?? -1).map(
        ([font, chunk]) => this.loadFace(font, chunk),
      ),
      this.loadPicture(scene.bg),
      this.loadPicture(scene.box),
    ]);
    return scene;
  }

  /** The parts of the fonts that the characters of `text` need (the game's name). */
  loadText(text: string): Promise<unknown> {
    const needed = new Set<string>();
    for (const char of text) {
      this.fontChunkOf.forEach((where, font) => {
        const chunk = where.get(char);
        if (chunk !== undefined) needed.add(`${font}:${chunk}`);
      });
    }
    return Promise.all(
      [...needed].map((key) => {
        const [font, chunk] = key.split(":").map(Number);
        return this.loadFace(font, chunk);
      }),
    );
  }

  private loadFace(font: number, chunk: number): Promise<void> {
    const face = this.faces[font][chunk];
    let load = this.faceLoads.get(face);
    if (!load) {
      const work = face.load().then(
        () => undefined,
        () => this.say(this.game.fonts[font].chunks[chunk].file, "font"),
      );
      load = this.progress
        ? this.progress.track(this.game.fonts[font].chunks[chunk].bytes, work)
        : work;
      this.faceLoads.set(face, load);
    }
    return load;
  }

  /** The picture `index` (-1: none), loading from now if it is not yet. */
  picture(index: number): HTMLImageElement | null {
    if (index < 0 || index >= this.game.pictures.length) return null;
    let image = this.pictures.get(index);
    if (image) {
      // The most recently used stand last, so the oldest go first.
      this.pictures.delete(index);
      this.pictures.set(index, image);
      return image;
    }
    image = new Image();
    const element = image;
    const work = new Promise<void>((resolve) => {
      element.onload = () => {
        resolve();
        this.pictureArrived();
      };
      element.onerror = () => {
        this.say(this.game.pictures[index], "picture");
        resolve();
        this.pictureArrived();
      };
    });
    this.pictureLoads.set(
      image,
      this.progress ? this.progress.track(this.game.pictureBytes[index] || 0, work) : work,
    );
    image.src = address(this.game.pictures[index]);
    this.pictures.set(index, image);
    while (this.pictures.size > KEPT_PICTURES) {
      const oldest = this.pictures.keys().next().value as number;
      this.pictureLoads.delete(this.pictures.get(oldest)!);
      this.pictures.delete(oldest);
    }
    return image;
  }

  loadPicture(index: number): Promise<void> {
    const image = this.picture(index);
    return (image && this.pictureLoads.get(image)) || Promise.resolve();
  }

  /** Whether the picture `index` was found missing or damaged. */
  failed(index: number): boolean {
    return index >= 0 && this.faulted.has(this.game.pictures[index]);
  }

  // Chunks far from the reader are dropped; look back keeps its own texts.
  private forget(loaded: number): void {
    const here = chunkOf(this.game, this.current);
    const next = chunkOf(this.game, Math.min(this.current + 1, this.game.count - 1));
    const kept = [0, here, next, loaded];
    const chunks = [...this.chunks.keys()].filter((k) => !kept.includes(k));
    chunks.sort((a, b) => Math.abs(b - here) - Math.abs(a - here));
    while (chunks.length > KEPT_CHUNKS - kept.length) this.chunks.delete(chunks.shift()!);
  }

  private say(file: string, kind: "data" | "picture" | "font"): void {
    if (this.faulted.has(file)) return;
    this.faulted.add(file);
    this.fault(file, kind);
  }
}
