// The page's figures, measured in Debian's Chromium from the page itself:
//   node bench/web-bench.mjs
// - a 110-problem sheet on screen after 生成, the CPU slowed 4x;
// - a 32766-problem sheet on screen after 生成, and how many of its pages are drawn;
// - the engine on the worst settings in the browser, beside the same entry
//   built natively (build/release/bench/web_engine_time, when built) in the
//   same run, and makeSheets as a whole;
// - the module and its loader, and the single file, gzipped.
// Medians of 9 runs.

import {execFileSync} from 'node:child_process';
import {existsSync, readFileSync} from 'node:fs';
import {join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {gzipSync} from 'node:zlib';
import {launch, make, openSheet, serve, webFolder} from '../web/tests/browser/support.mjs';

const runs = 9;
// The run benchmark's division and the slowest setting of the worst-case sweep.
const worstSettings = [
  ['32766 divisions on 1..100, 8 a line, numbered',
   {type: 'div', count: '32766', 'per-line': '8', numbered: true, smallest: '1', largest: '100', seed: '1'}],
  ['32766 of all four, 15260 to 4770, no borrowing, distinct',
   {type: 'all', count: '32766', smallest: '15260', largest: '4770', borrow: 'without', distinct: true, seed: '1'}],
];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(1)} ms`;

async function shownAfterMake(browser, address, throttling) {
  const page = await openSheet(browser, address);
  const session = await page.createCDPSession();
  await session.send('Emulation.setCPUThrottlingRate', {rate: throttling});
  const times = [];
  for (let i = 0; i < runs; ++i) {
    await make(page);
    times.push(await page.evaluate(() => {
      const shown = performance.getEntriesByName('sheet-shown').at(-1).startTime;
      return shown - performance.getEntriesByName('make-pressed').at(-1).startTime;
    }));
  }
  const drawn = await page.$$eval('.page', (pages) => [pages.filter((box) => box.firstChild).length, pages.length]);
  await page.close();
  return {time: median(times), drawn};
}

const server = await serve();
const browser = await launch();
try {
  const small = await shownAfterMake(browser, `${server.url}index.html?count=110&per-line=5&numbered`, 4);
  console.log(`110 problems on screen after 生成, CPU slowed 4x: ${ms(small.time)} (target 100 ms)`);
  const worst = 'type=div&count=32766&per-line=8&numbered&smallest=1&largest=100';
  const large = await shownAfterMake(browser, `${server.url}index.html?${worst}`, 1);
  console.log(`32766 problems on screen after 生成: ${ms(large.time)}, ${large.drawn[0]} of ${large.drawn[1]} pages drawn`);

  const page = await openSheet(browser, server.url);
  const root = fileURLToPath(new URL('..', import.meta.url));
  const native = join(root, 'build/release/bench/web_engine_time');
  for (const [name, options] of worstSettings) {
    // The engine alone makes the calls web_engine_time makes natively: the run,
    // each sheet's texts and its problems; makeSheets also turns them into
    // the page's strings and objects.
    const [engineTimes, wholeTimes] = await page.evaluate(async (given, count) => {
      const {loaded, makeSheets, request} = await import('./sumlark.mjs');
      const made = await loaded();
      const bytes = request(given);
      const timed = async (call) => {
        const times = [];
        for (let i = 0; i < count; ++i) {
          const start = performance.now();
          await call();
          times.push(performance.now() - start);
        }
        return times;
      };
      const engine = await timed(() => {
        made.ccall('sumlark_make', 'string', ['array', 'number'], [bytes, bytes.length]);
        for (let sheet = 1; sheet <= Number(given.sheets ?? 1); ++sheet) {
          made._sumlark_text(sheet, 0);
          made._sumlark_text(sheet, 1);
          made._sumlark_problems(sheet);
        }
      });
      return [engine, await timed(() => makeSheets(given))];
    }, options, runs);
    let line = `${name}: the engine in the browser ${ms(median(engineTimes))}, makeSheets ${ms(median(wholeTimes))}`;
    if (existsSync(native)) {
      const args = Object.entries(options).flatMap(([key, value]) => [key, value === true ? '' : value]);
      const {medianMs} = JSON.parse(execFileSync(native, args, {encoding: 'utf8'}));
      line += `, natively ${ms(medianMs)}: the engine ${(median(engineTimes) / medianMs).toFixed(2)}x (target 1.5x),` +
              ` makeSheets ${(median(wholeTimes) / medianMs).toFixed(2)}x`;
    } else {
      line += ' (no native figure: build the release preset\'s web_engine_time)';
    }
    console.log(line);
  }
  await page.close();
} finally {
  await browser.close();
  await server.close();
}

const gzipped = (...names) => gzipSync(Buffer.concat(names.map((name) => readFileSync(join(webFolder, name)))), {level: 9}).length;
const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
console.log(`sumlark.mjs, sumlark-engine.mjs and sumlark-engine.wasm gzipped: ` +
            `${kb(gzipped('sumlark.mjs', 'sumlark-engine.mjs', 'sumlark-engine.wasm'))} (target 80 KB)`);
console.log(`sumlark-offline.html gzipped: ${kb(gzipped('sumlark-offline.html'))} (target 110 KB)`);
