import { TEXTS } from "./texts";

/** Makes an element with a class and text. */
export function element<K extends keyof HTMLElementTagNameMap>(
  tag: K,
  className = "",
  text = "",
): HTMLElementTagNameMap[K] {
  const made = document.createElement(tag);
  if (className) made.className = className;
  if (text) made.textContent = text;
  return made;
}

export function button(text: string, action: () => void): HTMLButtonElement {
  const made = element("button", "", text);
  made.type = "button";
  made.addEventListener("click", action);
  return made;
}

/**
 * One panel at a time over the stage, on a shade (the reader's menu, the slots, look back, the
 * settings, a question): modal, closed by Esc or a click on the shade, the focus given back to
 * where it was.
 */
export class Panels {
  private shade: HTMLDivElement | null = null;
  private closing: (() => void) | null = null;
  private returnFocus: HTMLElement | null = null;
  kind = "";

  get open(): boolean {
    return !!this.shade;
  }

  /**
   * Shows `panel` (labelled by its first heading or `label`); `closed` runs when it goes, however
   * it goes. A click on the shade closes it unless `keepOnShade`.
   */
  show(kind: string, panel: HTMLElement, label: string, closed?: () => void, keepOnShade = false) {
    this.close();
    this.returnFocus = document.activeElement as HTMLElement | null;
    const shade = element("div");
    shade.id = "shade";
    panel.classList.add("panel");
    panel.setAttribute("role", "dialog");
    panel.setAttribute("aria-modal", "true");
    panel.setAttribute("aria-label", label);
    panel.id = "panel";
    panel.dataset.kind = kind;
    shade.appendChild(panel);
    this.listen(shade, panel, keepOnShade);
    (document.querySelector("main") || document.body).appendChild(shade);
    this.shade = shade;
    this.kind = kind;
    this.closing = closed || null;
    // The element marked for it first (否 in a question), or else the first that takes a press.
    const first =
      panel.querySelector<HTMLElement>("[autofocus]") ||
      panel.querySelector<HTMLElement>("button:not(:disabled), select");
    (first || panel).focus();
  }

  private listen(shade: HTMLElement, panel: HTMLElement, keepOnShade: boolean): void {
    shade.addEventListener("pointerdown", (event) => {
      if (event.target === shade && !keepOnShade) {
        event.preventDefault();
        this.close();
      }
    });
    shade.addEventListener("contextmenu", (event) => event.preventDefault());
    // A press that began before the panel showed (the long press that opened the menu) does not
    // choose what lies under the finger when it is let go: a click counts only when its press
    // began here. Keys (a click of detail 0) always count.
    let pressedHere = false;
    shade.addEventListener("pointerdown", () => (pressedHere = true), true);
    shade.addEventListener(
      "click",
      (event) => {
        if (event.detail > 0 && !pressedHere) {
          event.preventDefault();
          event.stopPropagation();
        }
      },
      true,
    );
    panel.addEventListener("keydown", (event) => {
      if (event.key === "Escape") {
        event.preventDefault();
        event.stopPropagation(); // the page's own Escape (the menu) waits until the panel is gone
        this.close();
      } else if (event.key === "Tab") {
        tabRound(panel, event);
      }
    });
  }

  close(): void {
    if (!this.shade) return;
    this.shade.remove();
    this.shade = null;
    this.kind = "";
    const closed = this.closing;
    this.closing = null;
    if (this.returnFocus && document.contains(this.returnFocus)) this.returnFocus.focus();
    this.returnFocus = null;
    closed?.();
  }

  /** A question with 是 and 否 (the default); resolves true for 是. */
  ask(text: string, title: string): Promise<boolean> {
    return new Promise((resolve) => {
      let answer = false;
      const panel = element("div", "ask");
      panel.appendChild(element("h2", "", title));
      panel.appendChild(element("p", "", text));
      const row = element("div", "row");
      const yes = button(TEXTS.yes, () => {
        answer = true;
        this.close();
      });
      const no = button(TEXTS.no, () => this.close());
      no.autofocus = true;
      row.append(yes, no);
      panel.appendChild(row);
      this.show("ask", panel, title, () => resolve(answer), true);
    });
  }

  /** A message with 确定. */
  tell(text: string, title: string): Promise<void> {
    return new Promise((resolve) => {
      const panel = element("div", "ask");
      panel.appendChild(element("h2", "", title));
      panel.appendChild(element("p", "", text));
      const row = element("div", "row");
      row.appendChild(button(TEXTS.ok, () => this.close()));
      panel.appendChild(row);
      this.show("message", panel, title, resolve, true);
    });
  }
}

/** Tab goes round within the panel. */
function tabRound(panel: HTMLElement, event: KeyboardEvent): void {
  const focusable = [
    ...panel.querySelectorAll<HTMLElement>("button:not(:disabled), select, input, a[href]"),
  ];
  if (!focusable.length) return;
  const at = focusable.indexOf(document.activeElement as HTMLElement);
  const to = event.shiftKey
    ? at <= 0
      ? focusable.length - 1
      : at - 1
    : at < 0 || at === focusable.length - 1
      ? 0
      : at + 1;
  event.preventDefault();
  focusable[to].focus();
}
