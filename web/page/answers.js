// What a pupil answers for a problem and how it is marked. Each kind of
// answer names its boxes, what they should hold and how the right answer is
// shown; the practice view draws a kind's boxes where its blank stands and
// hands `mark` their texts. A comparison's kind has no boxes but its signs:
// the practice view draws a button for each in the circle's place and hands
// `mark` the relation pressed.

import {printedProblem, remainderText, wholeText} from './plan.js';
import {MINUS} from './measure.js';

const printed = (value) => wholeText(value).replace('-', MINUS);

export const kinds = {
  // One number in the blank's place.
  number: {
    boxes: ['答案'],
    expected: (problem) => [problem.blank === 'first' ? problem.left : problem.blank === 'second' ? problem.right
      : problem.result],
    shown: ([value]) => printed(value),
  },
  // A division's quotient and remainder, an empty remainder read as 0.
  quotient: {
    boxes: ['商', '余数'],
    expected: (problem) => [problem.result, problem.remainder],
    emptyAs: [null, 0],
    shown: ([quotient, remainder]) => printed(quotient) + (remainder ? remainderText(remainder) : ''),
  },
  // ＞, ＜ or ＝ in a comparison's circle, read as its relation.
  // Each sign's button, its name read aloud, and the keys that press it.
  relation: {
    signs: {greater: ['＞', '大于'], less: ['＜', '小于'], equal: ['＝', '等于']},
    typed: {'>': 'greater', '＞': 'greater', '<': 'less', '＜': 'less', '=': 'equal', '＝': 'equal'},
    expected: (problem) => [problem.compare.relation],
    read: (text) => text,
    shown: ([relation]) => kinds.relation.signs[relation][0],
  },
};

// A division's answer takes its remainder where the sheet allows
// remainders, even when this one divides exactly.
export function answerKind(problem, remainders) {
  if (problem.compare)
    return 'relation';
  if (problem.blank === 'result' && problem.operation === 'div' && (remainders || problem.remainder))
    return 'quotient';
  return 'number';
}

// A box's text as a whole number: digits and minus of a Chinese input method
// (０-９, －) and the page's own minus taken as well; '' when left empty,
// NaN when it is no whole number.
export function readWhole(text) {
  const plain = String(text).replace(/[\uff10-\uff19]/g, (digit) => String(digit.charCodeAt(0) - 0xff10))
    .replace(/[\uff0d\u2212\u2013\u2014\ufe63]/g, '-').replace(/[\s\u3000]/g, '');
  if (plain === '')
    return '';
  return /^[-+]?\d{1,16}$/.test(plain) ? Number(plain) : NaN;
}

// 'right', 'wrong' or 'empty': empty only when every box is.
export function mark(kind, problem, texts) {
  const {expected, emptyAs = [], read = readWhole} = kinds[kind];
  const values = texts.map(read);
  if (values.every((value) => value === ''))
    return 'empty';
  const wanted = expected(problem);
  return values.every((value, i) => (value === '' ? emptyAs[i] ?? NaN : value) === wanted[i]) ? 'right' : 'wrong';
}

// The right answer as the answer sheet writes it.
export const rightAnswer = (kind, problem) => kinds[kind].shown(kinds[kind].expected(problem));

// The problem's text on either side of its blank: {before, after}.
export function around(sheet, index) {
  const p = printedProblem(sheet, index);
  // Brackets around the first two numbers, or the last two.
  const [open, close] = p.brackets === 'left' ? ['(', ')'] : ['', ''];
  const [inner, end] = p.brackets === 'right' ? ['(', ')'] : ['', ''];
  const tail = `${close}${p.third ? ` ${p.thenSign} ${p.third}` : ''}${end}`;
  if (p.relation)
    return {before: `${p.left} ${p.sign} ${p.right} `, after: ` ${p.answer}${p.otherSign ? ` ${p.otherSign} ${p.otherRight}` : ''}`};
  if (p.blank === 'first')
    return {before: open, after: ` ${p.sign} ${inner}${p.right}${tail} = ${p.answer}`};
  if (p.blank === 'second')
    return {before: `${open}${p.left} ${p.sign} ${inner}`, after: `${tail} = ${p.answer}`};
  return {before: `${open}${p.left} ${p.sign} ${inner}${p.right}${tail} = `, after: ''};
}

// Whether these problems hold numbers below zero, so that an answer may be
// one: their boxes get the page's own minus key, which a phone's number pad
// may lack. Sheets of numbers from zero up never show it.
export const anyNegative = (problems) =>
  problems.some(({left, right, result, third = 0}) => Math.min(left, right, result, third) < 0);
