import { Mode, ReaderSettings } from "./play";
import { element, button } from "./panels";
import { ReaderPanels } from "./readerpanels";
import { QUICK_SLOT } from "./store";
import { TEXTS } from "./texts";
import type { Visit } from "./visit";

export type CommandId =
  | "advance"
  | "menu"
  | "save"
  | "load"
  | "quickSave"
  | "quickLoad"
  | "backlog"
  | "auto"
  | "skip"
  | "hide"
  | "mute"
  | "settings"
  | "restart";

/** What a finger or a mouse does on the stage. */
export type Gesture = "tap" | "longPress" | "rightClick" | "middleClick" | "wheelUp";

/** One of the reader's commands. */
export interface ReaderCommand {
  id: CommandId;
  /** Its entry in the menu; "" when the menu does not offer it. */
  name: string;
  /** Its keys, as "Ctrl+S", "F5", "L", "Space"; the menu shows the first. A letter is the letter
   * with Caps Lock too, but not with Shift; another key is itself with Shift or without. */
  keys: string[];
  gestures: Gesture[];
  /** It acts while look back is open; if not, its letter key closes look back instead. */
  inLookBack: boolean;
  /** The menu offers it at the ending too (its key answers there as well). */
  atEnding: boolean;
  /** A line above it in the menu. */
  newGroup: boolean;
  /** What it does; `fromMenu`: chosen in the menu, which stopped auto and skip. */
  run(commands: ReaderCommands, fromMenu: boolean): void;
}

function entry(
  id: CommandId,
  name: string,
  keys: string[],
  gestures: Gesture[],
  inLookBack: boolean,
  atEnding: boolean,
  newGroup: boolean,
  run: (commands: ReaderCommands, fromMenu: boolean) => void,
): ReaderCommand {
  return { id, name, keys, gestures, inLookBack, atEnding, newGroup, run };
}

/**
 * The reader's commands, in the menu's order: the key handling, the gestures on the stage, the
 * menu and the keys it shows are all made from this table, so a key shown is the key that works.
 * A command that moves or hides the scene does not act while the reader looks back (its key
 * closes look back: the scene stays still meanwhile); what acts on the scene shown has nothing
 * to act on at the ending.
 */
export const READER_COMMANDS: readonly ReaderCommand[] = [
  //    id           menu entry       keys              gestures     look back ending line above
  entry("advance",   "",              ["Space", "Enter", "PageDown"], ["tap"], false, true, false,
        (c) => c.advance()),
  entry("menu",      "",              ["Escape", "ContextMenu"], ["longPress", "rightClick"],
                                                                      true,  true,  false,
        (c) => c.wakeOrMenu()),
  entry("save",      TEXTS.save,      ["Ctrl+S"],       [],              true,  false, false,
        (c) => c.panels.slots(true)),
  entry("load",      TEXTS.load,      ["Ctrl+O"],       [],              true,  true,  false,
        (c) => c.panels.slots(false)),
  entry("quickSave", TEXTS.quickSave, ["F5"],           [],              true,  false, false,
        (c) => c.saveSlot(QUICK_SLOT)),
  entry("quickLoad", TEXTS.quickLoad, ["F9"],           [],              true,  true,  false,
        (c) => c.quickLoad()),
  entry("backlog",   TEXTS.backlog,   ["L", "PageUp"],  ["wheelUp"],     false, true,  true,
        (c) => c.panels.backlog()),
  entry("auto",      TEXTS.auto,      ["A"],            [],              false, false, false,
        (c) => c.toggleMode("auto")),
  entry("skip",      TEXTS.skip,      ["S"],            [],              false, false, false,
        (c) => c.toggleMode("skip")),
  // From the menu it hides; its key shows a hidden box again.
  entry("hide",      TEXTS.hide,      ["H"],            ["middleClick"], false, false, false,
        (c, fromMenu) => c.hideBox(fromMenu || !c.visit.play.boxHidden)),
  entry("mute",      TEXTS.mute,      ["M"],            [],              true,  true,  false,
        (c) => c.toggleMute()),
  entry("settings",  TEXTS.settings,  ["Ctrl+P"],       [],              true,  true,  true,
        (c) => c.panels.settings()),
  entry("restart",   TEXTS.restart,   [],               [],              true,  true,  false,
        (c) => void c.restart()),
];

/** Whether `spec` (a key of the table) is the key pressed. */
function isKey(spec: string, key: string, ctrl: boolean, shift: boolean): boolean {
  const withCtrl = spec.startsWith("Ctrl+");
  if (withCtrl !== ctrl) return false;
  const name = withCtrl ? spec.slice(5) : spec;
  if (name.length === 1) return !shift && key.toLowerCase() === name.toLowerCase();
  return (key === " " ? "Space" : key) === name;
}

/** The command of a key (Ctrl stands for Ctrl or ⌘); none with Alt. */
export function commandForKey(
  key: string,
  ctrl: boolean,
  alt: boolean,
  shift: boolean,
): ReaderCommand | undefined {
  if (alt) return undefined;
  return READER_COMMANDS.find((command) => command.keys.some((k) => isKey(k, key, ctrl, shift)));
}

/** Whether a key is a command's that the browser has a use of its own for (reload, save the page,
 * print): while a panel is open it stays off. */
export function browserKey(key: string, ctrl: boolean): boolean {
  return READER_COMMANDS.some((command) =>
    command.keys.some((k) =>
      k.startsWith("Ctrl+") ? ctrl && isKey(k, key, true, false) : /^F\d+$/.test(k) && k === key,
    ),
  );
}

/** Whether a key closes look back: the letter of a command that would move or hide the scene. */
export function closesLookBack(key: string, ctrl: boolean): boolean {
  // Not Space nor Enter: they press the list's buttons.
  if (ctrl || !/^[a-z]$/i.test(key)) return false;
  const command = commandForKey(key, false, false, false);
  return !!command && !command.inLookBack;
}

export function commandForGesture(gesture: Gesture): ReaderCommand | undefined {
  return READER_COMMANDS.find((command) => command.gestures.includes(gesture));
}

/** What the reader's commands do, on the visit: the menu made from the table, the slots, the
 * modes, the music's mute, going back to the start. */
export class ReaderCommands {
  readonly panels: ReaderPanels;

  constructor(readonly visit: Visit) {
    this.panels = new ReaderPanels(visit, this);
  }

  run(command: ReaderCommand, fromMenu = false): void {
    command.run(this, fromMenu);
  }

  /** A key or click of the reader's: it stops auto and shows a hidden box again; true when it
   * did the latter and is used up by it. */
  wake(): boolean {
    const { play, course } = this.visit;
    if (play.mode === "auto") this.setMode("normal");
    if (!play.boxHidden) return false;
    play.setBoxHidden(false);
    course.settle();
    return true;
  }

  /** The menu key or the right button: the menu, unless the press only shows a hidden box. */
  wakeOrMenu(): void {
    if (!this.wake()) this.openMenu();
  }

  /** A click on the stage: the next scene, or at the ending the ways on from there. */
  advance(): void {
    const { play, course, started, page } = this.visit;
    if (!started || page.panels.open) return;
    if (this.wake()) return;
    if (play.ended) {
      this.panels.ending();
      return;
    }
    if (!play.takesClick()) return;
    course.whenNextReady(() => play.advance());
  }

  /** The reader's menu: the table's commands with their keys; at the ending only those that
   * have something to act on. Up and down go through it. */
  openMenu(): void {
    if (!this.visit.started) return;
    // The menu stops auto and skip: the reader has turned to something else.
    this.setMode("normal");
    const panel = element("div", "menu");
    panel.appendChild(element("h2", "", TEXTS.menu));
    for (const command of READER_COMMANDS) {
      if (!command.name) continue;
      if (command.newGroup) panel.appendChild(element("hr"));
      panel.appendChild(this.menuItem(command));
    }
    this.visit.page.panels.show("menu", panel, TEXTS.menu);
    panel.addEventListener("keydown", (event) => {
      if (event.key !== "ArrowDown" && event.key !== "ArrowUp") return;
      const items = [...panel.querySelectorAll<HTMLButtonElement>("button:not(:disabled)")];
      const at = items.indexOf(document.activeElement as HTMLButtonElement);
      const to = (at + (event.key === "ArrowDown" ? 1 : items.length - 1)) % items.length;
      items[to].focus();
      event.preventDefault();
    });
  }

  private menuItem(command: ReaderCommand): HTMLButtonElement {
    const muted = command.id === "mute" && this.visit.play.readerSettings.mute;
    const made = button("", () => {
      this.visit.page.panels.close();
      this.run(command, true);
    });
    made.appendChild(element("span", "", muted ? TEXTS.unmute : command.name));
    const key = command.keys[0];
    if (key) {
      made.appendChild(element("kbd", "", key));
      made.setAttribute("aria-keyshortcuts", key.replace("Ctrl", "Control"));
    }
    made.disabled = this.visit.play.ended && !command.atEnding;
    return made;
  }

  setMode(mode: Mode): void {
    const { play, course, page } = this.visit;
    const was = play.mode;
    play.setMode(mode);
    if (play.mode !== was)
      page.notes.notice(
        play.mode === "auto" ? TEXTS.autoOn : play.mode === "skip" ? TEXTS.skipOn : TEXTS.modeOff,
      );
    course.settle();
  }

  toggleMode(mode: Mode): void {
    this.setMode(this.visit.play.mode === mode ? "normal" : mode);
  }

  hideBox(hidden: boolean): void {
    this.visit.play.setBoxHidden(hidden);
    this.visit.course.settle();
  }

  /** Saves the scene shown in slot `n` (QUICK_SLOT: the quick save), over what it held. */
  saveSlot(n: number): boolean {
    const { play, store, page } = this.visit;
    const place = play.place(Date.now());
    if (!place) {
      void page.panels.tell(TEXTS.nothingToSave, TEXTS.save);
      return false;
    }
    if (!store.save(n, place)) {
      void page.panels.tell(TEXTS.cannotSave, TEXTS.save);
      return false;
    }
    page.notes.notice(n === QUICK_SLOT ? TEXTS.quickSaved : TEXTS.savedToSlot(n));
    return true;
  }

  /** Goes to the place saved in slot `n`; false when it is empty. */
  loadSlot(n: number): boolean {
    const { play, store, page, course, game } = this.visit;
    const place = store.slot(n);
    if (!place) return false;
    page.panels.close();
    if (n === QUICK_SLOT) page.notes.notice(TEXTS.quickLoaded); // said before the scene it opens
    course.whenReady(Math.max(0, Math.min(place.scene, game.count - 1)), () => play.load(place));
    return true;
  }

  quickLoad(): void {
    if (!this.loadSlot(QUICK_SLOT)) this.visit.page.notes.notice(TEXTS.noQuickSave);
  }

  toggleMute(): void {
    const settings = { ...this.visit.play.readerSettings };
    settings.mute = !settings.mute;
    this.applySettings(settings);
    this.visit.page.notes.notice(settings.mute ? TEXTS.muted : TEXTS.unmuted);
  }

  applySettings(settings: ReaderSettings): void {
    const { play, music, keeper, course } = this.visit;
    play.setReaderSettings(settings);
    music.setVolume(play.readerSettings);
    keeper.writeSettings(settings);
    course.settle();
  }

  async restart(): Promise<void> {
    if (await this.visit.page.panels.ask(TEXTS.restartQuestion, TEXTS.restart))
      this.visit.course.goTo(0);
  }
}
