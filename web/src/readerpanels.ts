import type { ReaderCommands } from "./commands";
import { drawScene } from "./draw";
import { STAGE } from "./game";
import { button, element } from "./panels";
import { SavedPlace } from "./play";
import { QUICK_SLOT, SLOTS } from "./store";
import { TEXTS } from "./texts";
import type { Visit } from "./visit";

/**
 * The panels the reader's commands open over the stage: the slots to save in or load from, look
 * back, the settings, and the ways on at the ending. Each stops auto and skip, and shows a hidden
 * box again, as it opens.
 */
export class ReaderPanels {
  private endingOffered = false;

  constructor(
    private readonly visit: Visit,
    private readonly commands: ReaderCommands,
  ) {}

  private get panels() {
    return this.visit.page.panels;
  }

  /** The reader turned to a panel: auto and skip stop, a hidden box shows. */
  private turned(): boolean {
    if (!this.visit.started) return false;
    this.commands.wake();
    this.commands.setMode("normal");
    return true;
  }

  /** At the ending, a click offers 回到开头, 读档 and 关闭, once at a time. */
  ending(): void {
    if (this.endingOffered) return;
    this.endingOffered = true;
    const panel = element("div", "ending");
    panel.appendChild(element("h2", "", TEXTS.ending));
    const row = element("div", "row");
    row.appendChild(
      button(TEXTS.restart, () => {
        this.panels.close();
        this.visit.course.goTo(0);
      }),
    );
    row.appendChild(button(TEXTS.load, () => this.slots(false)));
    row.appendChild(button(TEXTS.close, () => this.panels.close()));
    panel.appendChild(row);
    this.panels.show("ending", panel, TEXTS.ending, () => (this.endingOffered = false));
  }

  /** The slots, to save in (`saving`) or to load from (the quick save too); saving over a slot
   * asks first. */
  slots(saving: boolean): void {
    if (!this.turned()) return;
    const panel = element("div", "slots");
    const title = saving ? TEXTS.save : TEXTS.load;
    panel.appendChild(element("h2", "", title));
    const grid = element("div", "grid");
    const order: number[] = [];
    for (let n = 1; n <= SLOTS; ++n) order.push(n);
    if (!saving) order.push(QUICK_SLOT);
    for (const n of order) grid.appendChild(this.slot(n, saving));
    panel.appendChild(grid);
    const row = element("div", "row");
    row.appendChild(button(TEXTS.cancel, () => this.panels.close()));
    panel.appendChild(row);
    this.panels.show(saving ? "save" : "load", panel, title);
  }

  private slot(n: number, saving: boolean): HTMLButtonElement {
    const place = this.visit.store.slot(n);
    const name = TEXTS.slotName(n);
    const slot = button("", () => void this.slotChosen(n, saving));
    slot.dataset.slot = String(n);
    const thumb = element("canvas");
    thumb.width = 160;
    thumb.height = 121;
    thumb.setAttribute("aria-hidden", "true");
    slot.appendChild(thumb);
    const time = place ? new Date(place.time) : null;
    const label = `${name}${time ? ` ${formatTime(time)}` : ""}`;
    slot.appendChild(element("span", "", label));
    slot.appendChild(element("span", "text", place ? place.text : TEXTS.emptySlot));
    slot.setAttribute("aria-label", `${label} ${place ? place.text : TEXTS.emptySlot}`);
    if (place) this.drawThumbnail(thumb, place);
    else slot.disabled = !saving;
    return slot;
  }

  private async slotChosen(n: number, saving: boolean): Promise<void> {
    if (!saving) {
      this.commands.loadSlot(n);
      return;
    }
    this.panels.close();
    const question = TEXTS.overwriteSlot(TEXTS.slotName(n));
    if (this.visit.store.slot(n) && !(await this.panels.ask(question, TEXTS.save))) return;
    this.commands.saveSlot(n);
  }

  /** A slot's small picture: its scene drawn again, as it stands when reached. */
  private drawThumbnail(thumb: HTMLCanvasElement, place: SavedPlace): void {
    const { data, game } = this.visit;
    void data.prepare(Math.max(0, Math.min(place.scene, game.count - 1))).then((scene) => {
      if (!scene || !thumb.isConnected) return;
      const small = thumb.getContext("2d")!;
      small.setTransform(thumb.width / STAGE.width, 0, 0, thumb.height / STAGE.height, 0, 0);
      drawScene(small, game, scene, Infinity, true, (k) => data.picture(k));
      thumb.dataset.drawn = "1";
    });
  }

  /** Look back: the scenes shown since the page opened, the newest at the bottom, each with a
   * way back to it. A click beside the buttons or the wheel turned down past the end closes it. */
  backlog(): void {
    if (!this.turned()) return;
    const panel = element("div", "backlog");
    panel.appendChild(element("h2", "", TEXTS.backlog));
    const list = element("ol");
    list.setAttribute("aria-label", TEXTS.backlog);
    for (const entry of this.visit.play.backlog) {
      const item = element("li");
      item.appendChild(element("span", "", TEXTS.backlogEntry(entry.scene + 1, entry.text)));
      item.appendChild(button(TEXTS.backlogBack, () => void this.backTo(entry.scene)));
      list.appendChild(item);
    }
    panel.appendChild(list);
    panel.addEventListener("click", (event) => {
      if (!(event.target as HTMLElement).closest("button")) this.panels.close();
    });
    list.addEventListener("wheel", (event) => {
      if (event.deltaY > 0 && list.scrollTop + list.clientHeight >= list.scrollHeight - 1)
        this.panels.close();
    });
    this.panels.show("backlog", panel, TEXTS.backlog);
    list.scrollTop = list.scrollHeight;
    const buttons = list.querySelectorAll("button");
    if (buttons.length) buttons[buttons.length - 1].focus();
  }

  private async backTo(scene: number): Promise<void> {
    this.panels.close();
    if (await this.panels.ask(TEXTS.backToSceneQuestion(scene + 1), TEXTS.backlog))
      this.visit.course.goTo(scene);
    else this.backlog();
  }

  /** The reader's settings: the speeds, the volume, mute, skipping what was not read. */
  settings(): void {
    if (!this.turned()) return;
    const settings = this.visit.play.readerSettings;
    const panel = element("div", "settings");
    panel.appendChild(element("h2", "", TEXTS.settings));
    const textSpeed = speedBox(panel, TEXTS.textSpeed, settings.textSpeed);
    const autoSpeed = speedBox(panel, TEXTS.autoSpeed, settings.autoSpeed);
    const volume = field(panel, TEXTS.volume, "range");
    volume.min = "0";
    volume.max = "100";
    volume.value = String(settings.volume);
    const mute = field(panel, TEXTS.mute, "checkbox");
    mute.checked = settings.mute;
    const skipAll = field(panel, TEXTS.skipAll, "checkbox");
    skipAll.checked = settings.skipAll;
    const row = element("div", "row");
    const ok = button(TEXTS.ok, () => {
      this.panels.close();
      this.commands.applySettings({
        textSpeed: Number(textSpeed.value),
        autoSpeed: Number(autoSpeed.value),
        volume: Number(volume.value),
        mute: mute.checked,
        skipAll: skipAll.checked,
      });
    });
    row.append(ok, button(TEXTS.cancel, () => this.panels.close()));
    panel.appendChild(row);
    this.panels.show("settings", panel, TEXTS.settings);
  }
}

/** A row of `panel` with a choice of the reader's speeds, `value` chosen. */
function speedBox(panel: HTMLElement, label: string, value: number): HTMLSelectElement {
  const row = element("label", "", label);
  const box = element("select");
  for (const [name, speed] of TEXTS.speeds) {
    const option = element("option", "", name);
    option.value = String(speed);
    option.selected = speed === value;
    box.appendChild(option);
  }
  if (!TEXTS.speeds.some(([, speed]) => speed === value)) box.value = "100";
  row.appendChild(box);
  panel.appendChild(row);
  return box;
}

function field(panel: HTMLElement, label: string, type: "range" | "checkbox"): HTMLInputElement {
  const row = element("label", "", label);
  const input = element("input");
  input.type = type;
  row.appendChild(input);
  panel.appendChild(row);
  return input;
}

function formatTime(time: Date): string {
  const two = (n: number) => String(n).padStart(2, "0");
  const day = `${time.getFullYear()}-${two(time.getMonth() + 1)}-${two(time.getDate())}`;
  return `${day} ${two(time.getHours())}:${two(time.getMinutes())}`;
}
