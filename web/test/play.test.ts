// The page's course of a game, against what the player does on the same clicks, ticks and
// commands; what it keeps in the browser; where its data is found.
import { strict as assert } from "node:assert";
import { test } from "node:test";
import { Game, Scene, chunkOf, fontsOf } from "../src/game";
import { Play, PlayHost, SAVED_SCENE_GONE } from "../src/play";
import { KeyValues, QUICK_SLOT, SLOTS, Store } from "../src/store";

function scene(text: string, flags: Partial<Scene> = {}): Scene {
  return { bg: 0, box: 0, boxTop: 336, textTop: 352, size: 19, colour: "#000000", text,
    lines: [[text, 0, 18, [[0, 0, 0]]]], ...flags };
}

// A course over `scenes`, the scenes read kept in `read`; what it told the reader in `told`.
function course(scenes: Scene[], options: { cut?: boolean; read?: Set<number>; interval?: number } = {}) {
  const read = options.read ?? new Set<number>();
  const told: string[] = [];
  const host: PlayHost = {
    count: scenes.length,
    interval: options.interval ?? 100,
    cut: !!options.cut,
    scene: (i) => scenes[i],
    seen: (i) => read.has(i),
    shown: (i) => void read.add(i),
    tell: (text) => void told.push(text),
  };
  const play = new Play(host);
  play.goTo(0);
  return { play, read, told };
}

// Each step: "c" a click, "t" a tick; then what shows: scene index or "end", characters shown
// ("all" for the whole text) and whether the stage takes a click.
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
    const { play } = course(scenes);
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

// Skip: how far it runs from scene 0 and which scenes it typed, with the scenes read before, the
// reader's "skip all" and the game's "may a click cut typing short".
const typedGame = () => [0, 1, 2, 3, 4].map((i) => scene(`第${i}个`, i ? { reveal: 1, wait: 1 } : {}));
const skipCases: [string, number[], boolean, boolean, number | "end", number[]][] = [
  ["skip runs over scenes read and stops at the first unread, typing it", [1, 2], false, true, 3,
    [3]],
  ["it stops at once at an unread next scene", [2], false, false, 1, [1]],
  ["skip all passes over unread scenes a click may cut", [], true, true, "end", []],
  ["skip all types the unread scenes of a game that says 不能跳过", [2], true, false, "end", [1, 3, 4]],
];
for (const [name, readBefore, skipAll, cut, stop, typed] of skipCases) {
  test(name, () => {
    const { play } = course(typedGame(), { cut, read: new Set([0, ...readBefore]) });
    play.setReaderSettings({ ...play.readerSettings, skipAll });
    play.setMode("skip");
    const typing: number[] = [];
    for (let guard = 0; guard < 100 && play.mode === "skip"; ++guard) {
      if (play.revealing()) {
        if (!typing.includes(play.sceneIndex)) typing.push(play.sceneIndex);
        play.tick();
      } else {
        assert.equal(play.pause, 60);
        play.waitElapsed();
      }
    }
    if (play.revealing()) typing.push(play.sceneIndex); // where skip stopped, typing
    assert.equal(play.ended ? "end" : play.sceneIndex, stop);
    assert.deepEqual(typing, typed);
    assert.equal(play.mode, "normal");
  });
}

test("auto waits longer for longer texts, faster at a higher auto speed, and a click stops it", () => {
  const { play } = course([scene("一二三"), scene("四"), scene("五")]);
  play.setMode("auto");
  assert.equal(play.pause, 1500 + 3 * 80);
  play.waitElapsed();
  assert.equal(play.sceneIndex, 1);
  play.setReaderSettings({ ...play.readerSettings, autoSpeed: 200 });
  play.setMode("normal");
  play.setMode("auto");
  assert.equal(play.pause, (1500 + 80) / 2);
  play.advance();
  assert.equal(play.sceneIndex, 2);
  assert.equal(play.mode, "normal");
});

test("look back keeps the scenes shown, newest last; going back shows one whole and restarts after the ending", () => {
  let restarted = 0;
  const scenes = [scene("一"), scene("二", { reveal: 1 }), scene("三")];
  const { play } = course(scenes);
  (play as unknown as { host: PlayHost }).host.restarted = () => void ++restarted;
  play.advance();
  play.advance();
  play.advance();
  assert.ok(play.ended);
  assert.deepEqual(play.backlog.map((entry) => entry.scene), [0, 1, 2]);
  assert.equal(play.place(0), null);
  play.goTo(1);
  assert.equal(restarted, 1);
  assert.equal(play.view().shown, Infinity);
  assert.ok(play.view().boxVisible);
  assert.deepEqual(play.backlog.map((entry) => entry.text), ["一", "二", "三", "二"]);
});

test("a save of a scene the game no longer has opens the nearest one and says so", () => {
  const { play, told } = course([scene("一"), scene("二")]);
  play.load({ scene: 7, count: 9, text: "八", time: 0 });
  assert.equal(play.sceneIndex, 1);
  assert.deepEqual(told, [SAVED_SCENE_GONE(8, 2)]);
});

test("hiding the box hides its text; the ending cannot be hidden", () => {
  const { play } = course([scene("一")]);
  play.setBoxHidden(true);
  assert.equal(play.view().boxVisible, false);
  assert.equal(play.advance(), false);
  play.setBoxHidden(false);
  play.advance();
  play.setBoxHidden(true);
  assert.equal(play.boxHidden, false);
});

test("the reader's text speed scales the game's; a game that shows texts at once keeps doing so", () => {
  assert.equal(course([scene("一")], { interval: 100 }).play.interval(), 100);
  const { play } = course([scene("一"), scene("二", { reveal: 1 })], { interval: 100 });
  play.setReaderSettings({ ...play.readerSettings, textSpeed: 400 });
  assert.equal(play.interval(), 25);
  play.instant = true; // the system asks for less motion
  play.advance();
  assert.equal(play.view().shown, Infinity);
  assert.equal(course([scene("一")], { interval: 0 }).play.interval(), 0);
});

class MemoryStorage implements KeyValues {
  values = new Map<string, string>();
  refuse = false;
  getItem(key: string) {
    return this.values.get(key) ?? null;
  }
  setItem(key: string, value: string) {
    if (this.refuse) throw new Error("QuotaExceededError");
    this.values.set(key, value);
  }
}

test("the place, the scenes read, the settings and the slots come back on the next visit, per game", () => {
  const storage = new MemoryStorage();
  const store = new Store(storage, "aaa", 4095);
  assert.equal(store.lastScene, -1);
  store.sceneShown(0);
  store.sceneShown(4094);
  store.sceneShown(17);
  assert.ok(store.keepPlace());
  assert.ok(store.save(3, { scene: 17, count: 4095, text: "十八", time: 5 }));
  assert.ok(store.writeSettings({ ...store.settings, textSpeed: 200, skipAll: true }));
  const again = new Store(storage, "aaa", 4095);
  assert.equal(again.lastScene, 17);
  assert.deepEqual([0, 1, 17, 4094].map((i) => again.seen(i)), [true, false, true, true]);
  assert.equal(again.slot(3)?.text, "十八");
  assert.equal(again.slot(4), undefined);
  assert.equal(again.settings.textSpeed, 200);
  assert.equal(again.settings.skipAll, true);
  const other = new Store(storage, "bbb", 10);
  assert.equal(other.lastScene, -1);
  assert.equal(other.slot(3), undefined);
});

test("the last of the 12 slots read back after a reload, as every other slot and the quick save", () => {
  const storage = new MemoryStorage();
  const store = new Store(storage, "aaa", 100);
  const slots = [QUICK_SLOT, ...Array.from({ length: SLOTS }, (_, k) => k + 1)];
  assert.equal(slots.at(-1), 12);
  for (const n of slots)
    assert.ok(store.save(n, { scene: 50 + n, count: 100, text: `第${n}格`, time: n }));
  const again = new Store(storage, "aaa", 100);
  assert.deepEqual(
    slots.map((n) => again.slot(n)?.text),
    slots.map((n) => `第${n}格`),
  );
});

test("where the browser refuses storage the page still plays and says it cannot keep the place", () => {
  const none = new Store(null, "aaa", 3);
  assert.equal(none.kept, false);
  none.sceneShown(2);
  assert.equal(none.seen(2), true);
  assert.equal(none.keepPlace(), false);
  const storage = new MemoryStorage();
  storage.values.set("tale.aaa.place", "{damaged");
  const full = new Store(storage, "aaa", 3);
  assert.equal(full.lastScene, -1);
  storage.refuse = true;
  full.sceneShown(1);
  assert.equal(full.keepPlace(), false);
  assert.equal(full.save(1, { scene: 1, count: 3, text: "", time: 0 }), false);
  assert.equal(full.slot(1)?.scene, 1); // kept for this visit
  assert.equal(full.kept, false);
});

test("a scene is found in its chunk, its characters in their fonts' chunks", () => {
  const game = { chunks: [0, 40, 41, 300], count: 400 } as unknown as Game;
  assert.deepEqual([0, 39, 40, 41, 299, 300, 399].map((i) => chunkOf(game, i)), [0, 0, 1, 2, 2, 3, 3]);
  const latin = "Ab";
  const text = scene(`灯${latin}塔`, { lines: [[`灯${latin}塔`, 0, 18, [[0, 0, 0], [1, 1, 20], [3, 0, 40]]]] });
  const where = (font: number, char: string) => (font === 0 ? (char === "灯" ? 0 : 2) : 0);
  assert.deepEqual(fontsOf(text, where).sort(), [[0, 0], [0, 2], [1, 0]]);
});
