// Plays a published page's game through the page's own logic, without a browser, on a list of
// the reader's commands, and prints where each command left the reader: the comparison with the
// player runs the same list through talerun's logic.
//
//   node steps.mjs PAGE_FOLDER "COMMAND COMMAND …"
//
// Commands: c a click (or Space), rN N ms pass, sN / lN save to / load from slot N, A auto,
// S skip, N neither, h hide the box (or show it), bN go back to the Nth newest scene of look
// back, R back to the start, all: skip passes over unread scenes too.
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { runInNewContext } from "node:vm";
import { Game, Scene } from "../src/game";
import { Play, SavedPlace } from "../src/play";
import { Store } from "../src/store";

const [folder, commands] = process.argv.slice(2);
const context: { window: { TALE_GAME?: Game }; TALE_SCENES?: (k: number, s: Scene[]) => void } = {
  window: {},
};
runInNewContext(readFileSync(join(folder, "game.js"), "utf8"), context);
const game = context.window.TALE_GAME!;
const scenes = [...game.scenes];
context.TALE_SCENES = (_k, chunk) => scenes.push(...chunk);
for (let k = 1; k < game.chunks.length; ++k)
  runInNewContext(readFileSync(join(folder, `scenes/${k}.js`), "utf8"), context);

const store = new Store(null, game.id, game.count);
const play = new Play({
  count: game.count,
  interval: game.interval,
  cut: !!game.cut,
  scene: (i) => scenes[i],
  seen: (i) => store.seen(i),
  shown: (i) => void store.sceneShown(i),
});
const slots = new Map<number, SavedPlace>();
let now = 0;
let nextTick = -1;
let waitAt = -1;
let pauseSeen = play.pauseSet;

// The page's timers, on a clock of its own: as main.ts starts them after each command.
function settle(): void {
  if (play.revealing()) {
    if (nextTick < 0) nextTick = now + play.interval();
  } else {
    nextTick = -1;
  }
  if (play.pauseSet !== pauseSeen) {
    pauseSeen = play.pauseSet;
    waitAt = play.pause >= 0 ? now + play.pause : -1;
  }
}

function runFor(ms: number): void {
  const until = now + ms;
  for (;;) {
    const tick = nextTick >= 0 && nextTick <= until;
    const wait = waitAt >= 0 && waitAt <= until;
    if (tick && (!wait || nextTick <= waitAt)) {
      now = nextTick;
      nextTick += play.interval();
      play.tick();
    } else if (wait) {
      now = waitAt;
      waitAt = -1;
      play.waitElapsed();
    } else {
      break;
    }
    settle();
  }
  now = until;
}

play.goTo(0);
settle();
const reached: (number | string)[] = [];
for (const command of commands.split(/\s+/).filter(Boolean)) {
  const n = Number(command.slice(1));
  if (command === "c") {
    if (play.mode === "auto") play.setMode("normal");
    if (play.boxHidden) play.setBoxHidden(false);
    else play.advance();
  } else if (command[0] === "r") {
    runFor(n);
  } else if (command[0] === "s") {
    const place = play.place(0);
    if (place) slots.set(n, place);
  } else if (command[0] === "l") {
    const place = slots.get(n);
    if (place) play.load(place);
  } else if (command === "A" || command === "S" || command === "N") {
    play.setMode(command === "A" ? "auto" : command === "S" ? "skip" : "normal");
  } else if (command === "h") {
    play.setBoxHidden(!play.boxHidden);
  } else if (command[0] === "b") {
    play.goTo(play.backlog[play.backlog.length - n].scene);
  } else if (command === "R") {
    play.goTo(0);
  } else if (command === "all") {
    play.setReaderSettings({ ...play.readerSettings, skipAll: true });
  } else {
    throw new Error(`unknown command ${command}`);
  }
  settle();
  reached.push(play.ended ? "end" : play.sceneIndex);
}
process.stdout.write(
  JSON.stringify({ reached, backlog: play.backlog.map((entry) => entry.scene) }) + "\n",
);
