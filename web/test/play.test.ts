// The page's course of a game, against what the player does on the same clicks and ticks.
import { strict as assert } from "node:assert";
import { test } from "node:test";
import { Game, Scene } from "../src/game";
import { Play } from "../src/play";

function scene(text: string, flags: Partial<Scene> = {}): Scene {
  return { bg: 0, box: 0, boxTop: 336, textTop: 352, size: 19, colour: "#000000", text,
    lines: [[text, 0, 18, [[0, 0, 0]]]], ...flags };
}
function game(scenes: Scene[]): Game {
  return { name: "", title: "", interval: 100, window: "#efefef", pictures: ["BG/a.jpg"],
    closing: -1, music: "", ending: "终", fonts: [{ file: "font-1.woff2" }], scenes };
}

// Each step: "c" a click, "t" a tick; then what shows: scene index or "end", characters shown
// ("all" for the whole text) and whether the box takes a click.
const cases: [string, Scene[], string, [number | "end", number | "all", boolean]][] = [
  ["the first scene stands whole", [scene("一二"), scene("三四", { reveal: 1 })], "", [0, "all", true]],
  ["a click starts the next reveal", [scene("一"), scene("三四", { reveal: 1 })], "c", [1, 0, true]],
  ["one character per tick", [scene("一"), scene("三四", { reveal: 1 })], "ctt", [1, 2, true]],
  ["the tick past the end makes it whole", [scene("一"), scene("三四", { reveal: 1 })], "cttt",
    [1, "all", true]],
  ["a reveal that may not be skipped holds the box",
    [scene("一"), scene("三四", { reveal: 1, wait: 1 }), scene("五")], "ctc", [1, 1, false]],
  ["and lets go once whole", [scene("一"), scene("三四", { reveal: 1, wait: 1 }), scene("五")],
    "ctttc", [2, "all", true]],
  ["a reveal that may be skipped takes the click",
    [scene("一"), scene("三四", { reveal: 1 }), scene("五")], "ctc", [2, "all", true]],
  ["after the last scene the ending", [scene("一"), scene("二")], "cc", ["end", "all", false]],
  ["the ending takes no more clicks", [scene("一")], "ccc", ["end", "all", false]],
];

for (const [name, scenes, steps, [index, shown, enabled]] of cases) {
  test(name, () => {
    const play = new Play(game(scenes));
    for (const step of steps) {
      if (step === "c") play.advance();
      else play.tick();
    }
    const view = play.view();
    assert.equal(view.scene ? play.sceneIndex : "end", index);
    assert.equal(view.shown === Infinity ? "all" : view.shown, shown);
    assert.equal(view.boxEnabled, enabled);
    assert.equal(view.boxVisible, index !== "end");
  });
}
