// Where everything stands on a printed page, in points from the paper's top
// left, the same rules as the program's PDF: the page's own margins, a
// title, the name line, the set line, and the problems on a fixed grid whose
// columns keep "=" under "=". The size is kept; a row that does not fit
// takes fewer problems, and only a single problem wider than the paper
// makes the size smaller.

import {paperOf, pointsPerMm} from './papers.js';
import {Measure, MINUS} from './measure.js';

const mm = pointsPerMm;
export const k = {
  sideMargin: 20 * mm, topMargin: 15 * mm, bottomMargin: 15 * mm,
  pageNumberBaseline: 8 * mm, setLineBaseline: 9 * mm,
  titleScale: 1.25, titleBlock: 1.6 * 1.25,
  largestNameSize: 12, nameBlank: 30 * mm, nameFieldGap: 1, nameLinePitch: 1.4,
  rowPitch: 2.2, columnGap: 0.6, signSlot: 0.8,
  blankRoom: 1.8, blankPadding: 0.8, blankEdge: 0.15,
  // The column form, as parts of the size.
  cellWidth: 0.8, lineHeight: 1.5, firstBaseline: 1.5, ruleDrop: 0.45, firstWorkBaseline: 1.1,
  blockGap: 1.5, blockColumnGap: 1, signGap: 0.2, ruleOverhang: 0.2,
  bracketWidth: 0.55, bracketInset: 0.15, bracketDrop: 0.35, remainderGap: 0.3, strokeWidth: 0.8,
};

export const signs = {add: '+', sub: MINUS, mul: '×', div: '÷'};
export const relationSigns = {less: '<', equal: '=', greater: '>'};
export const CIRCLE = '○';

export const setLineSize = (size) => Math.max(8, size * 0.7);
export const footerSize = (size) => Math.max(8, size * 0.75);

function frameOf(paperName, size) {
  const paper = paperOf(paperName);
  const frame = {width: paper.width, height: paper.height, left: k.sideMargin, right: paper.width - k.sideMargin};
  const setSize = setLineSize(size);
  frame.setBaseline = Math.max(k.setLineBaseline, 1.1 * setSize);
  frame.top = Math.max(k.topMargin, frame.setBaseline + 0.6 * setSize);
  const pageNumber = footerSize(size);
  frame.footerBaseline = paper.height - Math.max(k.pageNumberBaseline, 0.35 * pageNumber);
  frame.bottom = Math.min(paper.height - k.bottomMargin, frame.footerBaseline - 1.6 * pageNumber);
  frame.nameSize = Math.min(size, k.largestNameSize);
  const field = 3 * frame.nameSize + k.nameBlank;
  const gap = k.nameFieldGap * frame.nameSize;
  frame.usable = frame.right - frame.left;
  frame.namesPerLine = 4;
  while (frame.namesPerLine > 1 && frame.namesPerLine * (field + gap) - gap > frame.usable)
    frame.namesPerLine /= 2;
  frame.nameLines = 4 / frame.namesPerLine;
  frame.rowsTop = frame.top + size * k.titleBlock + (1 + k.nameLinePitch * frame.nameLines) * frame.nameSize;
  frame.rowsHeight = frame.bottom - frame.rowsTop;
  return frame;
}

// Whole numbers as the sheets write them, the minus the signs' one.
export const wholeText = (value) => String(Math.trunc(value));
const printedNumber = (value) => wholeText(value).replace('-', MINUS);
export const remainderText = (value) => '……' + printedNumber(value);
export const oneLine = (text) => String(text).replace(/[\u0000-\u001f\u007f]/g, ' ');

export function serialPrefix(sheet, index) {
  return sheet.numbered ? String((sheet.first ?? 0) + index + 1).padStart(sheet.serialWidth, '0') + ') ' : '';
}

function valueAt(problem, spot) {
  return spot === 'first' ? problem.left : spot === 'second' ? problem.right : problem.result;
}

// A negative number after a sign is put in parentheses, except in a blank,
// which has its own.
function operandAfterSign(value, blank) {
  const text = printedNumber(value);
  return value < 0 && !blank ? `(${text})` : text;
}

export function printedProblem(sheet, index) {
  const problem = sheet.problems[index];
  const printed = {
    prefix: serialPrefix(sheet, index),
    blank: problem.blank,
    left: printedNumber(problem.left),
    sign: signs[problem.operation],
    right: operandAfterSign(problem.right, problem.blank === 'second'),
    thenSign: '',
    third: '',
    brackets: '', // 'left' around left and right, 'right' around right and third
    answer: printedNumber(problem.result),
  };
  if (problem.terms === 3) {
    printed.thenSign = signs[problem.then];
    printed.third = operandAfterSign(problem.third, false);
    printed.brackets = problem.brackets;
  }
  // A comparison: the circle in the place of "=", the sign it holds on the
  // answer pages, its other side in the place of the result.
  const other = problem.compare;
  if (other) {
    Object.assign(printed, {relation: relationSigns[other.relation], answer: printedNumber(other.left), otherSign: '', otherRight: ''});
    if (other.form === 'expression')
      Object.assign(printed, {otherSign: signs[other.operation], otherRight: operandAfterSign(other.right, false)});
    return printed;
  }
  if (problem.remainder)
    printed.answer += remainderText(problem.remainder);
  return printed;
}

// A sheet of sections has a range for each, told beside its heading on
// the text sheet; its title has none.
export function pageTitle(sheet, answers) {
  const range = sheet.sections?.length ? '' : `${oneLine(sheet.smallestText)} 到 ${oneLine(sheet.largestText)}　`;
  return `${answers ? '口算练习答案' : '口算练习'}　${oneLine(sheet.typeText)}　${range}${sheet.problems.length} 题`;
}

// The seed makes every sheet of the set again: the teacher's, on the answer pages only.
export function setLine(sheet, set, answers) {
  if (set.count <= 1)
    return '';
  return `第 ${set.number} 份，共 ${set.count} 份` + (answers ? ` · 种子 ${sheet.seed}` : '');
}

function planRows(sheet, size, measure, grid) {
  const slot = k.signSlot * size;
  let widestBlank = -1;
  for (const problem of sheet.problems) {
    if (problem.blank !== 'result')
      widestBlank = Math.max(widestBlank, measure.width(printedNumber(valueAt(problem, problem.blank))));
  }
  if (widestBlank >= 0)
    grid.blankWidth = 2 * k.blankEdge * size + measure.ink('（').width + measure.ink('）').width +
                      Math.max(k.blankRoom * size, widestBlank + k.blankPadding * size);
  const operandWidth = (text, blank) => blank ? grid.blankWidth : measure.width(text);
  for (let i = 0; i < sheet.problems.length; ++i) {
    const problem = printedProblem(sheet, i);
    grid.prefixWidth = Math.max(grid.prefixWidth, measure.width(problem.prefix));
    let expression = operandWidth(problem.left, problem.blank === 'first') + slot +
                     operandWidth(problem.right, problem.blank === 'second');
    if (problem.third)
      expression += slot + measure.width(problem.third);
    if (problem.brackets)
      expression += measure.width('(') + measure.width(')');
    grid.expressionWidth = Math.max(grid.expressionWidth, expression);
    const other = problem.otherSign ? slot + measure.width(problem.otherRight) : 0;
    grid.answerWidth = Math.max(grid.answerWidth, measure.width(problem.answer) + other);
  }
  grid.equalsWidth = slot;
  grid.columnWidth = grid.prefixWidth + grid.expressionWidth + grid.equalsWidth + grid.answerWidth + k.columnGap * size;
  grid.rowsPerPage = Math.max(1, Math.floor(grid.frame.rowsHeight / (size * k.rowPitch)));
}

const cellsOf = (value) => wholeText(value).length;
const digitsOf = (value) => cellsOf(Math.abs(value));

// In the column form a product has the factor with more digits on top.
export function stackedOperands(problem) {
  if (problem.operation === 'mul' && digitsOf(problem.right) > digitsOf(problem.left))
    return [problem.right, problem.left];
  return [problem.left, problem.right];
}

function blockBase(size) {
  return (k.firstBaseline + k.lineHeight + k.ruleDrop) * size;
}

function blockHeight(size, workLines) {
  return blockBase(size) + (workLines * k.lineHeight + k.blockGap) * size;
}

function planColumns(sheet, size, measure, grid) {
  const blocks = grid.blocks;
  let stacked = false;
  let division = false;
  sheet.problems.forEach((problem, i) => {
    grid.prefixWidth = Math.max(grid.prefixWidth, measure.width(serialPrefix(sheet, i)));
    if (problem.operation === 'div') {
      division = true;
      blocks.divisorCells = Math.max(blocks.divisorCells, cellsOf(problem.right));
      blocks.dividendCells = Math.max(blocks.dividendCells, cellsOf(problem.left), cellsOf(problem.result));
      if (problem.remainder)
        blocks.remainderWidth = Math.max(blocks.remainderWidth, measure.width(remainderText(problem.remainder)));
      blocks.workLines = Math.max(blocks.workLines, 2 * digitsOf(problem.result));
      return;
    }
    stacked = true;
    blocks.numberCells = Math.max(blocks.numberCells, cellsOf(problem.left), cellsOf(problem.right), cellsOf(problem.result));
    const multiplier = stackedOperands(problem)[1];
    if (problem.operation === 'mul' && digitsOf(multiplier) > 1)
      blocks.workLines = Math.max(blocks.workLines, digitsOf(multiplier) + 1);
  });
  const room = grid.frame.rowsHeight;
  while (blocks.workLines > 1 && blockHeight(size, blocks.workLines) > room)
    --blocks.workLines;
  const usable = grid.frame.usable;
  const stackedFixed = (k.signSlot + k.signGap + k.ruleOverhang) * size;
  const divisionFixed = (k.bracketWidth + k.ruleOverhang) * size +
                        (blocks.remainderWidth > 0 ? k.remainderGap * size + blocks.remainderWidth : 0);
  const divisionCells = blocks.divisorCells + blocks.dividendCells;
  blocks.cellWidth = k.cellWidth * size;
  if (stacked && blocks.numberCells > 0)
    blocks.cellWidth = Math.min(blocks.cellWidth, (usable - grid.prefixWidth - stackedFixed) / blocks.numberCells);
  if (division && divisionCells > 0)
    blocks.cellWidth = Math.min(blocks.cellWidth, (usable - grid.prefixWidth - divisionFixed) / divisionCells);
  blocks.cellWidth = Math.max(blocks.cellWidth, measure.width('0'), measure.minusWidth());
  let form = 0;
  if (stacked)
    form = stackedFixed + blocks.numberCells * blocks.cellWidth;
  if (division)
    form = Math.max(form, divisionFixed + divisionCells * blocks.cellWidth);
  grid.columnWidth = grid.prefixWidth + form + k.blockColumnGap * size;
  grid.blockHeight = blockHeight(size, blocks.workLines);
  grid.rowsPerPage = Math.max(1, Math.floor(room / grid.blockHeight));
}

function columnFormShows(sheet) {
  return sheet.problems.every((problem) => problem.terms === 2 && problem.blank === 'result' && !problem.compare);
}

function planAtSize(sheet, page, size) {
  const grid = {
    paper: page.paper, fontSize: size, requestedColumns: Math.max(1, sheet.perLine), frame: frameOf(page.paper, size),
    layout: page.layout === 'columns' && columnFormShows(sheet) ? 'columns' : 'rows',
    prefixWidth: 0, expressionWidth: 0, blankWidth: 0, equalsWidth: 0, answerWidth: 0, columnWidth: 0,
    blocks: {cellWidth: 0, numberCells: 0, divisorCells: 0, dividendCells: 0, remainderWidth: 0, workLines: 1},
  };
  const measure = new Measure(size);
  (grid.layout === 'columns' ? planColumns : planRows)(sheet, size, measure, grid);
  const gap = (grid.layout === 'columns' ? k.blockColumnGap : k.columnGap) * size;
  const usable = grid.frame.usable;
  grid.columns = Math.min(Math.max(Math.floor((usable + gap) / grid.columnWidth), 1), grid.requestedColumns);
  grid.fits = grid.columnWidth - gap <= usable;
  return grid;
}

// Each section is a sheet of its own problems (its count of the sheet's,
// in order), numbered on from the sections before it.
function planSectionsAtSize(sheet, page, size) {
  let first = 0;
  const parts = sheet.sections.map((section, index) => {
    const problems = sheet.problems.slice(first, first + section.problems);
    const part = {...sheet, problems, perLine: section.perLine, numbered: section.numbered, first};
    first += problems.length;
    // The first section stands as the page does; the others as they chose.
    const own = index === 0 ? page : {...page, layout: section.layout};
    return {heading: section.heading, sheet: part, grid: planAtSize(part, own, size)};
  });
  return {paper: page.paper, fontSize: size, frame: parts[0].grid.frame, parts, fits: parts.every((part) => part.grid.fits)};
}

// A section's lines poured onto pages, as the text sheet has them: its
// heading on a line of its own, kept with its first row, then its rows on
// its own grid, half a line between sections. Rows are a fixed pitch apart
// rather than spread over the page, as sections of different grids share it.
function pourSections(grid) {
  const {frame, fontSize: size} = grid;
  const pitch = size * k.rowPitch;
  const pages = [[]];
  let y = frame.rowsTop;
  const place = (line, height, keep = 0) => {
    if (y + height + keep > frame.bottom && pages.at(-1).length) {
      pages.push([]);
      y = frame.rowsTop;
    }
    pages.at(-1).push({...line, top: y});
    y += height;
  };
  grid.parts.forEach((part, index) => {
    const {columns, layout, blockHeight} = part.grid;
    const height = layout === 'columns' ? blockHeight : pitch;
    if (index > 0 && pages.at(-1).length)
      y += pitch / 2;
    if (part.heading)
      place({heading: part.heading}, pitch, height);
    for (let first = 0; first < part.sheet.problems.length; first += columns)
      place({part: index, first, end: Math.min(first + columns, part.sheet.problems.length)}, height);
  });
  grid.pageLines = pages;
}

// The grid of one sheet: its question and answer pages share it.
export function planSheet(sheet, page) {
  const planner = sheet.sections?.length ? planSectionsAtSize : planAtSize;
  let size = page.fontSize;
  let grid = planner(sheet, page, size);
  while (!grid.fits && size > 1) {
    size -= 0.5;
    grid = planner(sheet, page, size);
  }
  grid.requestedFontSize = page.fontSize;
  if (grid.parts)
    pourSections(grid);
  return grid;
}

export function pageCount(grid, problems) {
  return grid.pageLines?.length ?? Math.max(1, Math.ceil(problems / (grid.columns * grid.rowsPerPage)));
}

const pointsText = (points) => String(Math.round(points * 2) / 2);

// What the user is told when the page takes fewer problems a row than asked.
export function fewerNote(grid) {
  if (grid.fontSize < grid.requestedFontSize)
    return `纸上放不下 ${pointsText(grid.requestedFontSize)} 磅的题，打印时字号改为 ${pointsText(grid.fontSize)} 磅` +
           (grid.parts ? '' : `，每行 ${grid.columns} 题`);
  const fewer = (part) => part.columns < part.requestedColumns
    ? `每行放不下 ${part.requestedColumns} 题，打印时每行改为 ${part.columns} 题` : null;
  if (!grid.parts)
    return fewer(grid);
  const notes = grid.parts.map((part, i) => fewer(part.grid) && `${oneLine(part.heading) || `第 ${i + 1} 段`}：${fewer(part.grid)}`);
  return notes.filter(Boolean).join('；') || null;
}
