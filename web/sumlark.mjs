// The engine, for any JavaScript: the page, its worker and node load this
// module. Options go in by the command line's long names without "--" and its
// value spellings, switches as true: {type: 'all', count: '110', numbered: true};
// a plan of several sections lists them in "sections", as its file does.
import createEngine from './sumlark-engine.mjs';

let engine; // made once, on first use

// Under node the wasm is read from beside this module; a browser fetches it.
async function wasmForNode() {
  if (typeof process !== 'object' || !process.versions?.node) return undefined;
  const {readFile} = await import('node:fs/promises');
  return readFile(new URL('sumlark-engine.wasm', import.meta.url));
}

// The engine itself, for tools and benchmarks that time it alone.
export function loaded() {
  engine ??= wasmForNode().then((wasmBinary) => createEngine(wasmBinary ? {wasmBinary} : {}));
  return engine;
}

const encoder = new TextEncoder();

// The engine's request (exported for the same tools): each name and value as its UTF-8 bytes after their
// 4-byte length, so that a value may hold any character.
// A plan's sections follow the sheet's own options, each after a "section"
// pair that holds its heading.
export function request(options) {
  const texts = [];
  const add = (entries) => {
    for (const [name, value] of Object.entries(entries ?? {})) {
      if (value === false || value === undefined || value === null || name === 'sections') continue;
      texts.push(encoder.encode(name), encoder.encode(value === true ? '' : String(value)));
    }
  };
  add(options);
  for (const {heading, ...section} of Array.isArray(options?.sections) ? options.sections : []) {
    texts.push(encoder.encode('section'), encoder.encode(heading ?? ''));
    add(section);
  }
  const bytes = new Uint8Array(texts.reduce((size, text) => size + 4 + text.length, 0));
  const view = new DataView(bytes.buffer);
  let at = 0;
  for (const text of texts) {
    view.setUint32(at, text.length, true);
    bytes.set(text, at + 4);
    at += 4 + text.length;
  }
  return bytes;
}

const operations = ['add', 'sub', 'mul', 'div'];
const blanks = ['result', 'first', 'second'];
const compares = [undefined, 'number', 'expression'];
const relations = ['less', 'equal', 'greater'];
const problemNumbers = 15; // as the engine lays each problem out (web/engine/WebModel.h)
const decoder = new TextDecoder();

// A sheet's text, decoded at its known length rather than scanned for its end.
function textOf(made, sheet, answer) {
  const at = made._sumlark_text(sheet.number, answer ? 1 : 0);
  return decoder.decode(made.HEAPU8.subarray(at, at + made._sumlark_size()));
}

// A sheet's problems, read straight from the engine's memory.
function problemsOf(made, sheet) {
  const at = made._sumlark_problems(sheet.number) / 8;
  const numbers = made.HEAPF64.subarray(at, at + sheet.problems * problemNumbers);
  const problems = new Array(sheet.problems);
  for (let i = 0, n = 0; i < problems.length; ++i, n += problemNumbers) {
    const problem = {operation: operations[numbers[n]], left: numbers[n + 1], right: numbers[n + 2],
      result: numbers[n + 3], remainder: numbers[n + 4], terms: numbers[n + 5], blank: blanks[numbers[n + 8]]};
    if (problem.terms === 3) {
      problem.then = operations[numbers[n + 6]];
      problem.third = numbers[n + 7];
      problem.brackets = ['', 'left', 'right'][numbers[n + 14]];
    }
    // A comparison: {form, left, then (an expression's operation and right), relation}.
    if (numbers[n + 9]) {
      problem.compare = {form: compares[numbers[n + 9]], left: numbers[n + 10], relation: relations[numbers[n + 13]]};
      if (problem.compare.form === 'expression') {
        problem.compare.operation = operations[numbers[n + 11]];
        problem.compare.right = numbers[n + 12];
      }
    }
    problems[i] = problem;
  }
  return problems;
}

// A browser's clock counts whole milliseconds, so a seed taken from it would
// always end in six zeros; one drawn from the system's random source does not.
function withSeed(options) {
  if (options?.seed !== undefined || !globalThis.crypto?.getRandomValues) return options;
  return {...options, seed: crypto.getRandomValues(new BigUint64Array(1))[0].toString()};
}

// {question, answer, seed, model}: the first sheet's two texts, the set's seed
// (a decimal string, as 64 bits do not fit a JavaScript number) and every
// sheet with its texts and problems; or {refusal: {code, choices, text}}. An
// engine that failed (out of memory) is dropped, so the next call starts a
// fresh one.
export async function makeSheets(options) {
  const bytes = request(withSeed(options));
  try {
    const made = await loaded();
    const reply = JSON.parse(made.ccall('sumlark_make', 'string', ['array', 'number'], [bytes, bytes.length]));
    if (reply.refusal) return reply;
    for (const sheet of reply.model.sheets) {
      sheet.question = textOf(made, sheet, false);
      sheet.answer = textOf(made, sheet, true);
      sheet.problems = problemsOf(made, sheet);
    }
    const [first] = reply.model.sheets;
    return {question: first.question, answer: first.answer, ...reply};
  } catch (error) {
    engine = undefined;
    throw error;
  }
}

// Every choice with its kind, limits, first value and words, in --help's order.
export async function choiceTable() {
  return JSON.parse((await loaded()).ccall('sumlark_choices', 'string', [], []));
}
