// Where the page's data comes from (GameData), on a stand-in for the browser's pictures, fonts
// and script files: a file that is missing is said once, however often the reader's way asks
// for it again.
import { strict as assert } from "node:assert";
import { test } from "node:test";
import { GameData } from "../src/data";
import { Game, Scene } from "../src/game";

/** The files the stand-in browser does not find. */
const missing = new Set<string>();
const later = (work: () => void) => setTimeout(work, 0);

class StandInImage {
  onload: (() => void) | null = null;
  onerror: (() => void) | null = null;
  complete = false;
  naturalWidth = 0;
  set src(file: string) {
    later(() => {
      this.complete = true;
      if (missing.has(file)) this.onerror?.();
      else {
        this.naturalWidth = 1;
        this.onload?.();
      }
    });
  }
}

class StandInFontFace {
  constructor(
    readonly family: string,
    readonly source: string,
  ) {}
  load(): Promise<unknown> {
    const file = this.source.slice(4, -1); // url(…)
    return missing.has(file) ? Promise.reject(new Error(file)) : Promise.resolve(this);
  }
}

/** Scene chunk k, as its file would hand it in when it runs. */
let chunkOf: (k: number) => Scene[] = () => [];

const standIn = globalThis as unknown as Record<string, unknown>;
standIn.window = globalThis;
standIn.Image = StandInImage;
standIn.FontFace = StandInFontFace;
standIn.document = {
  fonts: { add: () => undefined },
  head: {
    appendChild(script: { src: string; onload(): void; onerror(): void }) {
      later(() => {
        if (missing.has(script.src)) return script.onerror();
        const k = Number(script.src.match(/^scenes\/(\d+)\.js$/)![1]);
        (globalThis as unknown as Window).TALE_SCENES!(k, chunkOf(k));
        script.onload();
      });
    },
  },
  createElement: () => ({ remove: () => undefined }),
};

const COUNT = 30;
function scene(i: number): Scene {
  // Every tenth scene is drawn in the font's second chunk: 乙.
  const text = i % 10 === 5 ? "乙" : "甲";
  return { bg: i, box: -1, boxTop: 336, textTop: 352, size: 19, colour: "#000000", text,
    lines: [[text, 0, 18, [[0, 0, 0]]]] };
}
chunkOf = (k) => Array.from({ length: 10 }, (_, j) => scene(k * 10 + j));

function game(): Game {
  return {
    id: "aaa", name: "", title: "", interval: 0, window: "#000000", closing: -1, music: "",
    ending: "", count: COUNT, chunks: [0, 10, 20], chunkBytes: [0, 10, 10],
    pictures: Array.from({ length: COUNT + 1 }, (_, i) => `BG/${i}.png`),
    pictureBytes: Array.from({ length: COUNT + 1 }, () => 1),
    fonts: [{ chunks: [{ file: "font-1-1.woff2", chars: "甲", bytes: 1 },
      { file: "font-1-2.woff2", chars: "乙", bytes: 1 }] }],
    scenes: chunkOf(0),
  };
}

// Each row: what is missing, and the reader's way asking for it again and again; the data must
// say that file once.
const rows: [string, string, "data" | "picture" | "font", (data: GameData) => Promise<unknown>][] = [
  ["a picture, asked for again after 24 others pushed it out", "BG/5.png", "picture", async (data) => {
    for (let round = 0; round < 3; ++round)
      for (let i = 5; i <= COUNT; ++i) await data.loadPicture(i);
  }],
  ["a chunk of scenes, asked for at each step on", "scenes/1.js", "data", async (data) => {
    for (let i = 10; i < 14; ++i) await data.loadChunk(i);
    await data.prepare(12);
  }],
  ["a font's chunk, for each scene drawn in it", "font-1-2.woff2", "font", async (data) => {
    for (const i of [5, 25, 5, 25]) await data.prepare(i);
    await data.loadText("乙乙");
  }],
];

for (const [name, file, kind, askAgain] of rows) {
  test(`a missing file said once: ${name}`, async () => {
    missing.clear();
    missing.add(file);
    const said: string[] = [];
    const data = new GameData(game(), (f, k) => void said.push(`${k} ${f}`), () => undefined);
    await askAgain(data);
    assert.deepEqual(said, [`${kind} ${file}`]);
  });
}
