import { BOX, Font, Game, Line, STAGE, Scene, TEXT } from "./game";

/** What a scene is drawn with: its pictures, loaded or not (null: none or not there). */
export type PictureOf = (index: number) => HTMLImageElement | null;

function usable(image: HTMLImageElement | null): image is HTMLImageElement {
  return !!image && image.complete && image.naturalWidth > 0;
}

/**
 * Draws a moment of the game on `context`, whose transform maps the 638×482 stage: `scene` with
 * `shown` characters of its text, its box and text when `boxVisible`; null draws the ending.
 */
export function drawScene(
  context: CanvasRenderingContext2D,
  game: Game,
  scene: Scene | null,
  shown: number,
  boxVisible: boolean,
  picture: PictureOf,
): void {
  context.globalAlpha = 1;
  context.fillStyle = game.window;
  context.fillRect(0, 0, STAGE.width, STAGE.height);
  context.fillStyle = "#000";
  context.fillRect(0, 0, STAGE.bgWidth, STAGE.bgHeight);
  const background = picture(scene ? scene.bg : game.closing);
  if (usable(background)) {
    context.save();
    context.beginPath();
    context.rect(0, 0, STAGE.bgWidth, STAGE.bgHeight);
    context.clip();
    context.drawImage(background, 0, 0);
    context.restore();
  }
  if (!scene || !boxVisible) return;
  const box = picture(scene.box);
  if (usable(box)) {
    context.save();
    context.beginPath();
    context.rect(BOX.left, scene.boxTop, BOX.width, BOX.height);
    context.clip();
    context.globalAlpha = BOX.opacity;
    context.drawImage(box, BOX.left, scene.boxTop);
    context.restore();
  }
  drawText(context, game, scene, shown);
}

function drawText(
  context: CanvasRenderingContext2D,
  game: Game,
  scene: Scene,
  shown: number,
): void {
  context.save();
  context.beginPath();
  context.rect(TEXT.left, scene.textTop, TEXT.width, TEXT.height);
  context.clip();
  context.strokeStyle = scene.colour;
  context.lineJoin = "round";
  context.fillStyle = scene.colour;
  context.textBaseline = "alphabetic";
  let left = shown;
  for (const line of scene.lines) {
    if (left <= 0) break;
    drawLine(context, game, scene, line, Math.min(left, line[0].length));
    left -= line[0].length;
  }
  context.restore();
}

/** The first `visible` characters of a line, each stretch in its font, and its underline. */
function drawLine(
  context: CanvasRenderingContext2D,
  game: Game,
  scene: Scene,
  [text, x, baseline, runs]: Line,
  visible: number,
): void {
  const lineX = TEXT.left + x;
  const lineY = scene.textTop + baseline;
  let inkEnd = lineX; // where the line's text ends, its trailing blanks left out
  let offset = -Infinity; // the underline's, below the baseline
  let thickness = 0;
  runs.forEach(([start, index, runX], k) => {
    const end = Math.min(k + 1 < runs.length ? runs[k + 1][0] : text.length, visible);
    if (end <= start) return;
    const part = text.slice(start, end);
    const partX = TEXT.left + runX;
    drawPart(context, scene, game.fonts[index], index, part, partX, lineY);
    const inked = part.replace(/\s+$/, "");
    if (inked) inkEnd = partX + context.measureText(inked).width;
    const underline = scene.underline && scene.underline[index];
    if (underline) {
      offset = Math.max(offset, underline[0]);
      thickness = Math.max(thickness, underline[1]);
    }
  });
  if (offset > -Infinity) {
    // Where the player's painter strokes it: whole pixels below the baseline, which glyphs
    // stand on rounded to a pixel row. The line's trailing blanks, where it wrapped, are not
    // underlined.
    // It is drawn without smoothing, so a fraction of a pixel's thickness adds nothing.
    const rows = Math.max(1, Math.floor(thickness));
    const top = Math.round(lineY) + Math.ceil(offset) - Math.floor(rows / 2);
    context.fillRect(lineX, top, inkEnd - lineX, rows);
  }
}

/** A stretch of a line in the game's font `index`, its left end at `x` on the baseline `y`; the
 * context's font is left set to it. */
function drawPart(
  context: CanvasRenderingContext2D,
  scene: Scene,
  font: Font,
  index: number,
  part: string,
  x: number,
  y: number,
): void {
  // A face without a bold face of its own is made bold by the player's FreeType, which
  // widens each outline by a 24th of the size, to the right and upwards; the same stroke
  // here, rather than the browser's own lighter emboldening.
  const embolden = scene.bold && !font.bold ? scene.size / 24 : 0;
  // Italic likewise: FreeType slants an upright face by this shear, a little less than the
  // browser would.
  const shear = scene.italic && !font.italic ? 0x0366a / 0x10000 : 0;
  context.font = `${scene.size}px TaleFont${index}, sans-serif`;
  context.lineWidth = embolden;
  context.save();
  context.transform(1, 0, -shear, 1, x + embolden / 2, y - embolden / 2);
  context.fillText(part, 0, 0);
  if (embolden) context.strokeText(part, 0, 0);
  context.restore();
}
