// The game as `scriptwell --publish` writes it into game.js: every scene already resolved to
// pixels, colours and lines by the player's own rules, so this page only draws what it says.

/**
 * A stretch of a line that one font draws, as the player draws it: where it starts in the line's
 * text, which of the game's fonts draws it, and its x from the text area's left edge.
 */
export type Run = [number, number, number];

/** One line of a scene text: its characters, x and baseline on the 638×482 stage, its runs. */
export type Line = [string, number, number, Run[]];

/** One of the fonts the texts are drawn in, cut to the characters it draws. */
export interface Font {
  file: string;
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
  reveal?: 1; // typed out one character per tick
  wait?: 1; // the box takes no click until the text is whole
}

export interface Game {
  name: string;
  title: string;
  interval: number;
  window: string;
  pictures: string[];
  closing: number; // -1: a black background
  music: string; // empty: none
  ending: string;
  fonts: Font[];
  scenes: Scene[];
}

/** Where the parts of a scene stand, in pixels, as in the player's window. */
export const STAGE = { width: 638, height: 482, bgWidth: 641, bgHeight: 481 };
export const BOX = { left: 16, width: 600, height: 120, opacity: 0.4 };
export const TEXT = { left: 24, width: 580, height: 92 };
