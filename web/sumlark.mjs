// The engine, for any JavaScript: the page, its worker and node load this
// module. Options go in by the command line's long names without "--" and its
// value spellings, switches as true: {type: 'all', count: '110', numbered: true}.
import createEngine from './sumlark-engine.mjs';

let engine; // made once, on first use

// Under node the wasm is read from beside this module; a browser fetches it.
async function wasmForNode() {
  if (typeof process !== 'object' || !process.versions?.node) return undefined;
  const {readFile} = await import('node:fs/promises');
  return readFile(new URL('sumlark-engine.wasm', import.meta.url));
}

function loaded() {
  engine ??= wasmForNode().then((wasmBinary) => createEngine(wasmBinary ? {wasmBinary} : {}));
  return engine;
}

const encoder = new TextEncoder();

// The engine's request: each name and value as its UTF-8 bytes after their
// 4-byte length, so that a value may hold any character.
function request(options) {
  const texts = [];
  for (const [name, value] of Object.entries(options ?? {})) {
    if (value === false || value === undefined || value === null) continue;
    texts.push(encoder.encode(name), encoder.encode(value === true ? '' : String(value)));
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

// {question, answer, seed, model}, or {refusal: {code, choices, text}}; the
// seed is a decimal string, as 64 bits do not fit a JavaScript number.
// An engine that failed (out of memory) is dropped, so the next call starts
// a fresh one.
export async function makeSheets(options) {
  const bytes = request(options);
  try {
    const reply = (await loaded()).ccall('sumlark_make', 'string', ['array', 'number'], [bytes, bytes.length]);
    return JSON.parse(reply);
  } catch (error) {
    engine = undefined;
    throw error;
  }
}

// Every choice with its kind, limits, first value and words, in --help's order.
export async function choiceTable() {
  return JSON.parse((await loaded()).ccall('sumlark_choices', 'string', [], []));
}
