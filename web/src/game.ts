// The game as `scriptwell --publish` writes it into game.js: every scene already resolved to
// pixels, colours and lines by the player's own rules, so this page only draws what it says.

/** One line of a scene text: its characters, x and baseline on the 638×482 stage. */
export type Line = [string, number, number];

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
  underline?: [number, number]; // offset below the baseline, thickness
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
  scenes: Scene[];
}

/** Where the parts of a scene stand, in pixels, as in the player's window. */
export const STAGE = { width: 638, height: 482, bgWidth: 641, bgHeight: 481 };
export const BOX = { left: 16, width: 600, height: 120, opacity: 0.4 };
export const TEXT = { left: 24, width: 580, height: 92 };
