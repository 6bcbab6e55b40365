import { loadScript } from "./data";
import { Panels, button, element } from "./panels";
import { TEXTS } from "./texts";

/** What a font of the page says of itself: its family, copyright, licence and its address. */
export interface FontLicence {
  family: string;
  copyright: string;
  licence: string;
  url: string;
}

declare global {
  interface Window {
    TALE_LICENCES?: FontLicence[];
  }
}

/**
 * The fonts' licences behind the cover's 字体许可: read from licences.js only when the reader asks
 * (the first load stays small), shown in a panel: what the page does with the fonts in our words,
 * then each font's own copyright and licence, whole, in the font's words.
 */
export class Licences {
  private loaded: Promise<FontLicence[] | null> | null = null;

  constructor(private readonly panels: Panels) {}

  async show(): Promise<void> {
    if (!this.loaded) {
      this.loaded = loadScript("licences.js").then((ran) =>
        ran && Array.isArray(window.TALE_LICENCES) ? window.TALE_LICENCES : null,
      );
    }
    const licences = await this.loaded;
    if (!licences) this.loaded = null; // asked again, it is fetched again
    const panel = element("div", "licences");
    // The panel opens at its top, its heading focused, however long the licences below.
    const heading = panel.appendChild(element("h2", "", TEXTS.licences));
    heading.tabIndex = -1;
    heading.autofocus = true;
    panel.appendChild(element("p", "", licences ? TEXTS.fontsUsed : TEXTS.licencesFault));
    for (const licence of licences || []) panel.appendChild(fontSection(licence));
    const row = element("div", "row");
    row.appendChild(button(TEXTS.close, () => this.panels.close()));
    panel.appendChild(row);
    this.panels.show("licences", panel, TEXTS.licences);
  }
}

function fontSection(licence: FontLicence): HTMLElement {
  const section = element("section");
  section.appendChild(element("h3", "", licence.family));
  if (licence.copyright) section.appendChild(ownWords("p", licence.copyright));
  if (licence.licence) section.appendChild(ownWords("pre", licence.licence));
  if (licence.url) {
    const line = element("p", "", TEXTS.licenceAddress);
    // Only a web address becomes a link: the words come from a font file, not from us.
    const web = /^https?:\/\//i.test(licence.url);
    const link = element(web ? "a" : "span", "", licence.url);
    if (link instanceof HTMLAnchorElement) {
      link.href = licence.url;
      link.target = "_blank";
      link.rel = "noopener";
    }
    line.appendChild(link);
    section.appendChild(line);
  }
  if (!licence.licence && !licence.url) section.appendChild(element("p", "", TEXTS.noLicence));
  return section;
}

/** A font's own words; marked as English where they hold Latin letters and signs only (© and
 * dashes included), for a screen reader and for the Latin font to draw them. */
function ownWords(tag: "p" | "pre", text: string): HTMLElement {
  const made = element(tag, "", text);
  // eslint-disable-next-line no-control-regex
  if (/^[\x00-\u024f\u2000-\u206f]*$/.test(text)) made.lang = "en";
  return made;
}
