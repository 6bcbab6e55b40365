// The game as `scriptwell --publish` writes it into game.js and scenes/N.js: every scene already
// resolved to pixels, colours and lines by the player's own rules, so this page only draws what
// it says.

/**
 * A stretch of a line that one font draws, as the player draws it: where it starts in the line's
 * text, which of the game's fonts draws it, and its x from the text area's left edge.
 */
export type Run = [number, number, number];

/** One line of a scene text: its characters, x and baseline on the 638×482 stage, its runs. */
export type Line = [string, number, number, Run[]];

/** A part of a font: the characters it holds, in one file of `bytes` bytes. */
export interface FontChunk {
  file: string;
  chars: string;
  bytes: number;
}

/** One of the fonts the texts are drawn in, cut to the characters it draws, in chunks. */
export interface Font {
  chunks: FontChunk[];
  bold?: 1; // the face is bold itself: the page makes it no bolder
  italic?: 1; // the face is italic itself: the page does not slant it
}

export interface Scene {
  bg: number; // index into pictures
  box: number;
  boxTop: number;
  textTop: number;
  size: number; // font size in pixels
  colour: string;
  text: string;
  lines: Line[];
  bold?: 1;
  italic?: 1;
  // For each font the text is drawn in: where it puts an underline below the baseline, and its
  // thickness. The player's line takes the lowest and thickest of its fonts'.
  underline?: Record<number, [number, number]>;
  reveal?: 1; // typed out one character per tick, when reached by a click
  wait?: 1; // the text takes no click until it is whole
}

export interface Game {
  id: string; // the key of what the reader's browser keeps of this game
  name: string;
  title: string;
  interval: number; // ms between two characters typed; 0: texts stand whole at once
  cut?: 1; // a click may cut typing short
  window: string;
  pictures: string[];
  pictureBytes: number[];
  closing: number; // -1: a black background
  music: string; // empty: none
  ending: string;
  fonts: Font[];
  count: number; // scenes in all
  chunks: number[]; // the first scene of each chunk of scenes
  chunkBytes: number[]; // the size of each chunk's file (the first is in game.js)
  scenes: Scene[]; // the first chunk
}

/** Where the parts of a scene stand, in pixels, as in the player's window. */
export const STAGE = { width: 638, height: 482, bgWidth: 641, bgHeight: 481 };
export const BOX = { left: 16, width: 600, height: 120, opacity: 0.4 };
export const TEXT = { left: 24, width: 580, height: 92 };

/** The chunk that holds scene `index`. */
export function chunkOf(game: Game, index: number): number {
  let low = 0;
  let high = game.chunks.length - 1;
  while (low < high) {
    const middle = (low + high + 1) >> 1;
    if (game.chunks[middle] <= index) low = middle;
    else high = middle - 1;
  }
  return low;
}

/** The scenes chunk `k` must hold. */
export function chunkLength(game: Game, k: number): number {
  const end = k + 1 < game.chunks.length ? game.chunks[k + 1] : game.count;
  return end - game.chunks[k];
}

/** The font chunks a scene's text is drawn from, as [font, chunk] pairs. */
export function fontsOf(scene: Scene, where: (font: number, char: string) => number): number[][] {
  const needed = new Map<string, number[]>();
  for (const [text, , , runs] of scene.lines) {
    runs.forEach(([start, font], k) => {
      const end = k + 1 < runs.length ? runs[k + 1][0] : text.length;
      for (const char of text.slice(start, end)) {
        const chunk = where(font, char);
        if (chunk >= 0) needed.set(`${font}:${chunk}`, [font, chunk]);
      }
    });
  }
  return [...needed.values()];
}
