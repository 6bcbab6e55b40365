import {
  Gesture,
  ReaderCommands,
  browserKey,
  closesLookBack,
  commandForGesture,
  commandForKey,
} from "./commands";

/** A press held this long opens the menu; Ctrl held alone this long skips. */
const LONG_PRESS_MS = 550;
const HOLD_MS = 250;
/** A press that moves further than this (CSS pixels) is no tap. */
const TAP_SLOP = 12;
/** The pointer resting this long, 菜单 and 全屏 fade where they stand over the stage. */
const REST_MS = 2000;

/** The elements the reader acts on. */
export interface InputElements {
  surface: HTMLElement; // over the whole stage
  bar: HTMLElement; // 菜单 and 全屏
  menuButton: HTMLButtonElement;
  full: HTMLButtonElement;
}

/** A press on the stage with the main button or a finger, until it is let go. */
interface Press {
  id: number;
  x: number;
  y: number;
  timer: number;
  used: boolean; // a long press or a move: its release is no tap
}

/**
 * The reader's hands on the page, turned into the reader's commands (commands.ts): taps, long
 * presses, the mouse's buttons and wheel on the whole stage, the keys, Ctrl held to skip, and
 * the 菜单 and 全屏 buttons.
 */
export class Input {
  private press: Press | null = null;
  private ctrlHeld = false;
  private ctrlTimer = 0;
  private restTimer = 0;

  constructor(
    private readonly commands: ReaderCommands,
    at: InputElements,
  ) {
    this.listenOnStage(at.surface);
    this.fadeWhenResting(at.bar);
    document.addEventListener("keydown", (event) => {
      // Where keys are pressed, the menu shows each command's key.
      document.documentElement.classList.add("keys");
      this.keyDown(event);
    });
    document.addEventListener("keyup", (event) => {
      if (event.key === "Control" && this.ctrlHeld) {
        this.ctrlHeld = false;
        window.clearTimeout(this.ctrlTimer);
        this.stopHeldSkip();
      }
    });
    window.addEventListener("blur", () => {
      if (this.ctrlHeld) this.stopHeldSkip();
      this.ctrlHeld = false;
    });
    this.listenOnButtons(at.menuButton, at.full);
  }

  private get visit() {
    return this.commands.visit;
  }

  private gesture(gesture: Gesture): void {
    const command = commandForGesture(gesture);
    if (!command) return;
    // A press of the mouse's other buttons or a long one first stops auto and shows a hidden box
    // again, and is used up by the latter; a tap does so itself, the wheel not at all.
    if (gesture !== "tap" && gesture !== "wheelUp" && this.commands.wake()) return;
    this.commands.run(command);
  }

  private listenOnStage(surface: HTMLElement): void {
    surface.addEventListener("pointerdown", (event) => this.pointerDown(event));
    surface.addEventListener("pointermove", (event) => {
      const press = this.press;
      if (press && press.id === event.pointerId &&
          Math.hypot(event.clientX - press.x, event.clientY - press.y) > TAP_SLOP) {
        window.clearTimeout(press.timer);
        press.used = true;
      }
    });
    const endPress = (event: PointerEvent) => {
      if (!this.press || this.press.id !== event.pointerId) return;
      window.clearTimeout(this.press.timer);
      const used = this.press.used;
      this.press = null;
      if (!used && event.type === "pointerup") this.gesture("tap");
    };
    surface.addEventListener("pointerup", endPress);
    surface.addEventListener("pointercancel", endPress);
    surface.addEventListener("contextmenu", (event) => {
      event.preventDefault();
      if (!this.visit.started) return;
      if (this.press) {
        window.clearTimeout(this.press.timer);
        this.press.used = true;
      }
      if (!this.visit.page.panels.open) this.gesture("rightClick");
    });
    surface.addEventListener("auxclick", (event) => event.preventDefault());
    surface.addEventListener(
      "wheel",
      (event) => {
        if (this.visit.started && !this.visit.page.panels.open && event.deltaY < 0) {
          event.preventDefault();
          this.gesture("wheelUp");
        }
      },
      { passive: false },
    );
  }

  private pointerDown(event: PointerEvent): void {
    if (!this.visit.started) return;
    if (event.button === 1) {
      event.preventDefault();
      this.gesture("middleClick");
      return;
    }
    if (event.button !== 0) return;
    const timer =
      event.pointerType === "mouse"
        ? 0
        : window.setTimeout(() => {
            if (this.press) this.press.used = true;
            this.gesture("longPress");
          }, LONG_PRESS_MS);
    this.press = { id: event.pointerId, x: event.clientX, y: event.clientY, timer, used: false };
  }

  private keyDown(event: KeyboardEvent): void {
    if (!this.visit.started) return;
    const key = event.key;
    if (key === "Control") {
      if (!event.repeat && !this.visit.page.panels.open) this.holdCtrl();
      return;
    }
    this.ctrlHeld = false;
    const ctrl = event.ctrlKey || event.metaKey;
    if (this.visit.page.panels.open) {
      this.keyInPanel(event, ctrl);
      return;
    }
    const command = commandForKey(key, ctrl, event.altKey, event.shiftKey);
    if (!command) return;
    // Space and Enter on a button beside the stage press that button.
    if (command.id === "advance" && key !== "PageDown" && (event.target as Element).closest?.("button"))
      return;
    event.preventDefault();
    if (!event.repeat) this.commands.run(command);
  }

  private keyInPanel(event: KeyboardEvent, ctrl: boolean): void {
    const panels = this.visit.page.panels;
    if (event.key === "Escape") {
      event.preventDefault();
      panels.close();
    } else if (panels.kind === "backlog" && closesLookBack(event.key, ctrl)) {
      // A key that moves or hides the scene only closes look back: the scene stays still.
      event.preventDefault();
      panels.close();
    } else if (browserKey(event.key, ctrl)) {
      event.preventDefault(); // the browser's own (reload, save the page) stay off meanwhile
    }
  }

  /** Ctrl alone, held a moment, skips: Ctrl+S and the other commands must not start skipping. */
  private holdCtrl(): void {
    this.ctrlHeld = true;
    window.clearTimeout(this.ctrlTimer);
    this.ctrlTimer = window.setTimeout(() => {
      if (this.ctrlHeld && !this.visit.page.panels.open) this.commands.setMode("skip");
    }, HOLD_MS);
  }

  private stopHeldSkip(): void {
    if (this.visit.started && this.visit.play.mode === "skip") this.commands.setMode("normal");
  }

  /** As a video player's controls: where the bar stands over the stage (the window has no room
   * beside it), it fades while the pointer rests, and lets taps through to the stage. */
  private fadeWhenResting(bar: HTMLElement): void {
    const moved = () => {
      bar.classList.remove("resting");
      window.clearTimeout(this.restTimer);
      this.restTimer = window.setTimeout(() => bar.classList.add("resting"), REST_MS);
    };
    document.addEventListener("pointermove", moved);
    document.addEventListener("pointerdown", moved);
    moved();
  }

  private listenOnButtons(menuButton: HTMLButtonElement, full: HTMLButtonElement): void {
    // Pressed with a pointer, a button gives the keys back to the stage: Space goes on, as before.
    for (const pressed of [menuButton, full])
      pressed.addEventListener("click", (event) => event.detail > 0 && pressed.blur());
    menuButton.addEventListener("click", () => {
      if (this.visit.started && !this.visit.page.panels.open) this.commands.openMenu();
    });
    full.addEventListener("click", () => {
      if (document.fullscreenElement) void document.exitFullscreen();
      else void document.documentElement.requestFullscreen().catch(() => undefined);
    });
  }
}
