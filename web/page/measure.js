// Widths of the page's texts in points, measured on a canvas in the fonts
// the page is drawn in, so that the grid planned here is the grid drawn.
// Digits are equally wide in text fonts, so texts of one shape (digits as 0)
// are measured once; every width scales with the size.

// The problems' face (CJK, for digits and the blanks' parentheses) and the
// signs' face, whose + − × ÷ = share one width and stroke.
export const numberFamily =
  '"Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei", "Microsoft YaHei", "PingFang SC", ' +
  '"Hiragino Sans GB", "SimSun", sans-serif';
export const signFamily = '"DejaVu Sans", "Noto Sans", "Liberation Sans", Arial, "Segoe UI", sans-serif';

export const MINUS = '\u2212';
// A negative number's minus stands this far (a part of the size) from its digits.
export const minusGap = 0.08;

const base = 100; // the pixel size measured at
let context = null;
const advances = new Map();
const inks = new Map();

function canvas() {
  if (!context) {
    const surface = typeof OffscreenCanvas === 'function' ? new OffscreenCanvas(8, 8) : document.createElement('canvas');
    context = surface.getContext('2d');
  }
  return context;
}

function fontOf(family, bold) {
  return `${bold ? 'bold ' : ''}${base}px ${family}`;
}

// The advance of text at size 1.
function advance(text, family, bold = false) {
  const key = `${bold ? 'b' : ''}${family === signFamily ? 's' : 'n'}${text}`;
  let width = advances.get(key);
  if (width === undefined) {
    const c = canvas();
    c.font = fontOf(family, bold);
    width = c.measureText(text).width / base;
    advances.set(key, width);
  }
  return width;
}

// A character's ink from its origin at size 1: left and right edges.
function inkAt1(character, family) {
  const key = (family === signFamily ? 's' : 'n') + character;
  let box = inks.get(key);
  if (!box) {
    const c = canvas();
    c.font = fontOf(family, false);
    const metrics = c.measureText(character);
    box = {left: -metrics.actualBoundingBoxLeft / base, right: metrics.actualBoundingBoxRight / base};
    inks.set(key, box);
  }
  return box;
}

// Where a face's baseline stands below the top of a box with no line height,
// as a part of the size: half its ascent less its descent.
const shifts = new Map();
export function baselineShift(family) {
  let shift = shifts.get(family);
  if (shift === undefined) {
    const c = canvas();
    c.font = fontOf(family, false);
    const metrics = c.measureText('0');
    shift = (metrics.fontBoundingBoxAscent - metrics.fontBoundingBoxDescent) / 2 / base;
    shifts.set(family, shift);
  }
  return shift;
}

// A plain text's advance at a size, in the signs' face or the problems' (bold for the title).
export function textWidth(text, size, {sign = false, bold = false} = {}) {
  return advance(text, sign ? signFamily : numberFamily, bold) * size;
}

export class Measure {
  constructor(size) {
    this.size = size;
    this.shapes = new Map();
  }

  // Text in the problems' face, each minus from the signs' face.
  width(text) {
    const shape = text.replace(/[0-9]/g, '0');
    let width = this.shapes.get(shape);
    if (width === undefined) {
      width = 0;
      for (const [i, run] of shape.split(MINUS).entries()) {
        if (i > 0)
          width += this.minusWidth();
        width += advance(run, numberFamily) * this.size;
      }
      this.shapes.set(shape, width);
    }
    return width;
  }

  // A negative number's minus: from its origin to the end of its ink, and the gap.
  minusWidth() {
    return (inkAt1(MINUS, signFamily).right + minusGap) * this.size;
  }

  ink(character, family = numberFamily) {
    const box = inkAt1(character, family);
    return {left: box.left * this.size, right: box.right * this.size, width: (box.right - box.left) * this.size};
  }
}
