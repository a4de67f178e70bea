// One printed page as texts on their baselines and strokes, in points, and
// as the HTML that shows it: each text absolutely placed (quicker for a
// browser to lay out than SVG text, and read by screen readers), the
// strokes in one SVG beneath. The question page leaves the answers out and
// its blanks empty; the answer page fills them in the same places, so that
// both keep every sign where it was.

import {baselineShift, Measure, MINUS, minusGap, numberFamily, signFamily, textWidth} from './measure.js';
import {
  CIRCLE, footerSize, k, oneLine, pageTitle, printedProblem, remainderText, serialPrefix, setLine,
  setLineSize, signs, stackedOperands, wholeText,
} from './plan.js';

const escapes = {'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'};
const escaped = (text) => String(text).replace(/[&<>"]/g, (c) => escapes[c]);
const n = (value) => Math.round(value * 100) / 100;

class PageDrawing {
  constructor(grid) {
    this.grid = grid;
    this.frame = grid.frame;
    this.size = grid.fontSize;
    this.measure = new Measure(this.size);
    this.texts = [];
    this.strokes = [];
  }

  // anchor: where x is, 'start', 'middle' or 'end' of the text; kept as
  // where the text starts, which a browser lays out quickest.
  text(x, baseline, text, {size = this.size, cls = 'n', anchor = 'start', bold = false} = {}) {
    if (text === '')
      return;
    const sign = cls === 's';
    if (anchor !== 'start')
      x -= textWidth(text, size, {sign, bold}) * (anchor === 'end' ? 1 : 0.5);
    this.texts.push({x, baseline, text, size, sign, bold, row: this.row, group: this.group});
  }

  // A stroke along SVG path data.
  stroke(d, width = k.strokeWidth) {
    this.strokes.push({d, width});
  }

  line(x1, y1, x2, y2, width = k.strokeWidth) {
    this.stroke(`M${n(x1)} ${n(y1)}H${n(x2)}`, width);
  }

  // Text in the problems' face, each minus from the signs' face; returns where it ends.
  number(x, baseline, text) {
    const runs = text.split(MINUS);
    runs.forEach((run, i) => {
      if (i > 0) {
        this.text(x, baseline, MINUS, {cls: 's'});
        x += this.measure.minusWidth();
      }
      this.text(x, baseline, run);
      x += this.measure.width(run);
    });
    return x;
  }

  // A sign's ink centred in the slot that starts at x.
  sign(x, baseline, sign) {
    const ink = this.measure.ink(sign, signFamily);
    this.text(x + (k.signSlot * this.size - ink.width) / 2 - ink.left, baseline, sign, {cls: 's'});
  }

  // Text made smaller only where it would not fit the width.
  fitted(text, size, bold) {
    const width = textWidth(text, size, {bold});
    const room = this.frame.usable * 0.97;
    return width > room ? size * room / width : size;
  }

  centred(text, baseline, size, bold = false) {
    this.text(this.frame.left + this.frame.usable / 2, baseline, text, {size: this.fitted(text, size, bold), anchor: 'middle', bold});
  }

  nameLine() {
    const frame = this.frame;
    const size = frame.nameSize;
    const fieldWidth = (frame.usable + k.nameFieldGap * size) / frame.namesPerLine;
    ['姓名：', '日期：', '用时：', '得分：'].forEach((label, field) => {
      const line = Math.floor(field / frame.namesPerLine);
      const x = frame.left + (field % frame.namesPerLine) * fieldWidth;
      const baseline = frame.top + this.size * k.titleBlock + size * (1.5 + k.nameLinePitch * line);
      this.text(x, baseline, label, {size});
      this.line(x + textWidth(label, size), baseline + 2, x + fieldWidth - k.nameFieldGap * size, baseline + 2, 0.6);
    });
  }

  // Right to left from the "=": the last operand, its sign, and so on.
  problemRow(problem, x, baseline, answers) {
    this.text(x, baseline, problem.prefix);
    const equals = x + this.grid.prefixWidth + this.grid.expressionWidth;
    let left = equals;
    const bracket = (side, text) => {
      if (problem.brackets === side)
        left = this.operandBefore(left, baseline, text, false, answers);
    };
    bracket('right', ')');
    if (problem.third) {
      left = this.operandBefore(left, baseline, problem.third, false, answers);
      left = this.signBefore(left, baseline, problem.thenSign);
    }
    bracket('left', ')');
    left = this.operandBefore(left, baseline, problem.right, problem.blank === 'second', answers);
    bracket('right', '(');
    left = this.signBefore(left, baseline, problem.sign);
    left = this.operandBefore(left, baseline, problem.left, problem.blank === 'first', answers);
    bracket('left', '(');
    if (problem.relation) {
      this.sign(equals, baseline, answers ? problem.relation : CIRCLE);
      const end = this.number(equals + this.grid.equalsWidth, baseline, problem.answer);
      if (problem.otherSign) {
        this.sign(end, baseline, problem.otherSign);
        this.number(end + k.signSlot * this.size, baseline, problem.otherRight);
      }
      return;
    }
    this.sign(equals, baseline, '=');
    if (answers || problem.blank !== 'result')
      this.number(equals + this.grid.equalsWidth, baseline, problem.answer);
  }

  operandBefore(end, baseline, text, blank, answers) {
    if (!blank) {
      const start = end - this.measure.width(text);
      this.number(start, baseline, text);
      return start;
    }
    const start = end - this.grid.blankWidth;
    const edge = k.blankEdge * this.size;
    const open = this.measure.ink('（');
    const close = this.measure.ink('）');
    const inside = start + edge + open.width;
    const outside = end - edge - close.width;
    this.text(inside - open.right, baseline, '（');
    this.text(outside - close.left, baseline, '）');
    if (answers)
      this.number(inside + (outside - inside - this.measure.width(text)) / 2, baseline, text);
    return start;
  }

  signBefore(end, baseline, sign) {
    const start = end - k.signSlot * this.size;
    this.sign(start, baseline, sign);
    return start;
  }

  // A number right-aligned on cells ending at end, each digit centred in its cell.
  cells(end, baseline, text) {
    const cell = this.grid.blocks.cellWidth;
    let cellStart = end - cell * text.length;
    for (const c of text) {
      if (c === '-') {
        const minus = this.measure.ink(MINUS, signFamily);
        this.text(cellStart + cell - minusGap * this.size - minus.right, baseline, MINUS, {cls: 's'});
      } else {
        this.text(cellStart + cell / 2, baseline, c, {anchor: 'middle'});
      }
      cellStart += cell;
    }
  }

  stackedBlock(problem, x, first, answers) {
    const size = this.size;
    const cell = this.grid.blocks.cellWidth;
    const second = first + k.lineHeight * size;
    const slot = k.signSlot * size;
    const end = x + slot + k.signGap * size + this.grid.blocks.numberCells * cell;
    const [top, bottom] = stackedOperands(problem);
    this.cells(end, first, wholeText(top));
    this.cells(end, second, wholeText(bottom));
    const operands = Math.max(wholeText(top).length, wholeText(bottom).length) * cell;
    const signStart = end - operands - k.signGap * size - slot;
    this.sign(signStart, second, signs[problem.operation]);
    const rule = second + k.ruleDrop * size;
    this.line(Math.min(signStart, end - wholeText(problem.result).length * cell), rule, end + k.ruleOverhang * size, rule);
    if (answers)
      this.cells(end, rule + k.firstWorkBaseline * size, wholeText(problem.result));
  }

  divisionBlock(problem, x, first, answers) {
    const size = this.size;
    const blocks = this.grid.blocks;
    const second = first + k.lineHeight * size;
    const divisorEnd = x + blocks.divisorCells * blocks.cellWidth;
    const cells = Math.max(wholeText(problem.left).length, wholeText(problem.result).length);
    const end = divisorEnd + k.bracketWidth * size + cells * blocks.cellWidth;
    this.cells(divisorEnd, second, wholeText(problem.right));
    this.cells(end, second, wholeText(problem.left));
    const line = first + k.bracketDrop * size;
    const foot = second + k.ruleDrop * size;
    const corner = divisorEnd + k.bracketInset * size;
    const bow = 0.3 * size;
    this.stroke(`M${n(end + k.ruleOverhang * size)} ${n(line)}H${n(corner)}C${n(corner + bow)} ` +
                `${n(line + (foot - line) * 0.3)} ${n(corner + bow)} ${n(line + (foot - line) * 0.75)} ` +
                `${n(corner - 0.05 * size)} ${n(foot)}`);
    if (answers) {
      this.cells(end, first, wholeText(problem.result));
      if (problem.remainder)
        this.number(end + k.remainderGap * size, first, remainderText(problem.remainder));
    }
  }

  // One problem in the cell whose top left is (x, top), its row pitch apart from the next.
  problem(sheet, i, x, top, pitchY, answers) {
    if (this.grid.layout === 'columns') {
      const baseline = top + k.firstBaseline * this.size;
      this.text(x, baseline, serialPrefix(sheet, i));
      const problem = sheet.problems[i];
      (problem.operation === 'div' ? this.divisionBlock : this.stackedBlock)
        .call(this, problem, x + this.grid.prefixWidth, baseline, answers);
    } else {
      this.problemRow(printedProblem(sheet, i), x, top + pitchY * 0.5 + this.size * 0.35, answers);
    }
  }

  problems(sheet, page, answers) {
    if (this.grid.parts)
      return this.sections(page, answers);
    const grid = this.grid;
    const frame = this.frame;
    const pitchX = frame.usable / grid.columns;
    const pitchY = frame.rowsHeight / grid.rowsPerPage;
    this.pitch = pitchY;
    const perPage = grid.columns * grid.rowsPerPage;
    const first = page * perPage;
    const end = Math.min(sheet.problems.length, first + perPage);
    for (let i = first; i < end; ++i) {
      this.row = grid.layout === 'columns' ? undefined : Math.floor((i - first) / grid.columns);
      this.problem(sheet, i, frame.left + ((i - first) % grid.columns) * pitchX,
                   frame.rowsTop + Math.floor((i - first) / grid.columns) * pitchY, pitchY, answers);
    }
    this.row = undefined;
  }

  // The page's lines of a sheet of sections: headings, and rows each on
  // the grid of its section; rows of one section merge into boxes of their own.
  sections(page, answers) {
    const outer = this.grid;
    const pitch = this.size * k.rowPitch;
    this.pitch = pitch;
    for (const line of outer.pageLines[page]) {
      this.row = this.group = undefined;
      if (line.heading !== undefined) {
        const heading = oneLine(line.heading);
        this.text(this.frame.left, line.top + pitch * 0.5 + this.size * 0.35, heading,
                  {size: this.fitted(heading, this.size, true), bold: true});
        continue;
      }
      const part = outer.parts[line.part];
      this.grid = part.grid;
      this.group = line.part;
      for (let i = line.first; i < line.end; ++i) {
        this.row = part.grid.layout === 'columns' ? undefined : line.first / part.grid.columns;
        this.problem(part.sheet, i, this.frame.left + (i - line.first) * this.frame.usable / part.grid.columns,
                     line.top, pitch, answers);
      }
    }
    this.grid = outer;
    this.row = this.group = undefined;
  }
}

// What page (from 0) of pages of one sheet's question or answer pages holds.
export function pageDrawing({sheet, grid, set, answers, page, pages}) {
  const drawing = new PageDrawing(grid);
  const {frame, fontSize: size} = grid;
  drawing.centred(pageTitle(sheet, answers), frame.top + size * k.titleScale * 1.1, size * k.titleScale, true);
  const setText = setLine(sheet, set, answers);
  if (setText) {
    const setSize = drawing.fitted(setText, setLineSize(size), false);
    drawing.text(frame.right, frame.setBaseline, setText, {size: setSize, anchor: 'end'});
  }
  if (!answers)
    drawing.nameLine();
  drawing.problems(sheet, page, answers);
  drawing.centred(`第 ${page + 1} 页，共 ${pages} 页`, frame.footerBaseline, footerSize(size));
  return {width: frame.width, height: frame.height, size, pitch: drawing.pitch, texts: drawing.texts, strokes: drawing.strokes};
}

// A text's box: no wider than nothing, its text starting at its left and,
// with no line height (see the style), its baseline below its top.
function placed(text, baseSize) {
  const top = text.baseline - baselineShift(text.sign ? signFamily : numberFamily) * text.size;
  const font = text.size === baseSize ? '' : `;font-size:${n(text.size)}pt`;
  const kind = text.sign ? ' class="s"' : text.bold ? ' class="b"' : '';
  return `<span${kind} style="left:${n(text.x)}pt;top:${n(top)}pt${font}">${escaped(text.text)}</span>`;
}

// The texts of the problem rows that start at one x in one face (and one
// section), one box of lines a row apart: a page of rows is some fifty
// boxes rather than five hundred, which a browser lays out and paints in a fraction of the time.
function rowColumns(drawing) {
  const columns = new Map();
  for (const text of drawing.texts) {
    if (text.row === undefined)
      continue;
    const key = `${text.group} ${n(text.x)} ${text.sign}`;
    columns.get(key)?.push(text) ?? columns.set(key, [text]);
  }
  return [...columns.values()].map((texts) => {
    const first = texts.reduce((a, b) => (a.row < b.row ? a : b));
    const lines = [];
    for (const text of texts)
      lines[text.row - first.row] = escaped(text.text);
    const top = first.baseline - drawing.pitch / 2 - baselineShift(first.sign ? signFamily : numberFamily) * first.size;
    return `<span${first.sign ? ' class="s"' : ''} style="left:${n(first.x)}pt;top:${n(top)}pt;line-height:${n(drawing.pitch)}pt">` +
           `${Array.from(lines, (line) => line ?? '').join('\n')}</span>`;
  });
}

// The page's own size is the problems'; other texts say theirs.
export function pageHtml(drawing) {
  const strokes = drawing.strokes.map(({d, width}) => `<path d="${d}" stroke-width="${width}"/>`).join('');
  const single = drawing.texts.filter((text) => text.row === undefined).map((text) => placed(text, drawing.size));
  return `<div class="paper" style="width:${n(drawing.width)}pt;height:${n(drawing.height)}pt;font-size:${n(drawing.size)}pt">` +
         `<svg viewBox="0 0 ${n(drawing.width)} ${n(drawing.height)}" aria-hidden="true">${strokes}</svg>` +
         `${single.join('')}${rowColumns(drawing).join('')}</div>`;
}
