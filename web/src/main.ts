// The published page: the cover, then the game as the player plays it, with the reader's menu,
// slots, look back, auto, skip and settings; the place kept in the browser. This file only puts
// the parts together:
//   cover.ts        the cover while the data arrives: 开始, 继续, the share loaded
//   visit.ts        one reader's visit, made once the data has run: all that changes as one reads
//   view.ts         the stage placed in the window and drawn
//   course.ts       the course in time: the reveal and wait timers, scenes shown once their data is there
//   commands.ts     the table of the reader's commands, and what they do
//   readerpanels.ts the slots, look back, the settings, the ending's ways on
//   input.ts        taps, presses, the mouse and the keys, turned into commands
//   keeper.ts, store.ts  what the browser keeps, and when it is written
//   licences.ts     the fonts' licences behind the cover's 字体许可
//   music.ts, notes.ts, offline.ts, panels.ts, data.ts, play.ts, draw.ts, game.ts, texts.ts
import { ReaderCommands } from "./commands";
import { Cover } from "./cover";
import { Input } from "./input";
import { Licences } from "./licences";
import { Notes } from "./notes";
import { offerOffline } from "./offline";
import { Panels } from "./panels";
import { StageView } from "./view";
import { Visit } from "./visit";

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

const notes = new Notes(byId("fault"), byId("notice"));
const panels = new Panels();
const view = new StageView({
  canvas: byId("stage"),
  heard: byId("heard"),
  bar: byId("bar"),
  full: byId("full"),
  modeLabel: byId("mode"),
  noticeBox: byId("notice"),
});
const cover = new Cover(
  {
    cover: byId("cover"),
    name: byId("name"),
    start: byId("start"),
    continue: byId("continue"),
    progress: byId("progress"),
    loadingText: byId("loading-text"),
    loading: byId("loading"),
    faultBox: byId("fault"),
  },
  notes,
);

/** The visit, once the data has run: the reader's commands and the page's events act on it. */
function visitMade(visit: Visit): void {
  const commands = new ReaderCommands(visit);
  new Input(commands, {
    surface: byId("surface"),
    bar: byId("bar"),
    menuButton: byId("menu-button"),
    full: byId("full"),
  });
  document.addEventListener("visibilitychange", () => visit.pageShown(!document.hidden));
  window.addEventListener("pagehide", () => {
    if (visit.started) visit.keeper.keepPlace();
  });
}

const licences = new Licences(panels);
const licenceLink = byId("licences");
licenceLink.addEventListener("click", () => void licences.show());

window.addEventListener("resize", () => view.fit());
view.fit();
void cover.load(
  (game) => {
    const visit = new Visit(game, { view, notes, panels, progress: cover.progress });
    licenceLink.hidden = !game.fonts.length;
    visitMade(visit);
    return visit;
  },
  offerOffline,
);
