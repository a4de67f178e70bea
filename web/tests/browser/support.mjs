// What the browser tests share: the built page served from localhost by a
// small server of their own, Debian's Chromium driven by puppeteer-core in
// a fresh profile, and the command line whose sheets the page must match.

import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync, statSync} from 'node:fs';
import {createServer} from 'node:http';
import {tmpdir} from 'node:os';
import {extname, join, normalize} from 'node:path';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';

export const root = fileURLToPath(new URL('../../..', import.meta.url));
export const webFolder = process.env.SUMLARK_WEB ?? join(root, 'build/wasm/web');
export const cli = process.env.SUMLARK_CLI ?? join(root, 'build/dev/cli/sumlark-cli');

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml',
  '.png': 'image/png', '.json': 'application/json',
};

// Serves folder on a free port of 127.0.0.1 until closed.
export async function serve(folder = webFolder) {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^\/+/, '');
    const file = join(folder, path === '' ? 'index.html' : path);
    try {
      if (!file.startsWith(folder) || !statSync(file).isFile())
        throw new Error('not a file');
      response.writeHead(200, {'Content-Type': types[extname(file)] ?? 'application/octet-stream', 'Cache-Control': 'no-cache'});
      response.end(readFileSync(file));
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  return {url: `http://localhost:${server.address().port}/`, close: () => new Promise((done) => {
    server.closeAllConnections();
    server.close(done);
  })};
}

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), 'sumlark-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.SUMLARK_CHROMIUM ?? '/usr/bin/chromium',
    args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
    headless: false, // the flag above asks for the new headless mode
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

// A page at width x height, ready; with a sheet or plan in the address, that sheet
// (or its refusal) shown.
export async function openSheet(browser, address, {width = 1280, height = 900} = {}) {
  const page = await browser.newPage();
  await page.setViewport({width, height});
  await page.goto(address);
  await page.waitForFunction(() => !document.getElementById('make').disabled);
  if (new URL(address).search || new URL(address).hash)
    await page.waitForFunction(() => performance.getEntriesByName('sheet-shown').length || document.querySelector('.refusal'));
  return page;
}

// Presses 生成 and waits until its sheet is drawn or its refusal shown.
export async function make(page) {
  const before = await page.evaluate(() => performance.getEntriesByName('sheet-shown').length);
  await page.click('#make');
  await page.waitForFunction((count) => performance.getEntriesByName('sheet-shown').length > count ||
                                        document.querySelector('.refusal'), {}, before);
}

// The UTF-8 sheets sumlark-cli writes for args: {name: text}.
export function cliSheets(args) {
  const folder = mkdtempSync(join(tmpdir(), 'sumlark-cli-'));
  try {
    execFileSync(cli, [...args, '--encoding', 'UTF-8', '--out', folder]);
    const names = execFileSync('ls', [folder], {encoding: 'utf8'}).split('\n').filter(Boolean);
    return Object.fromEntries(names.map((name) => [name, readFileSync(join(folder, name), 'utf8')]));
  } finally {
    rmSync(folder, {recursive: true, force: true});
  }
}

// 练习 pressed: the problems with their boxes shown, the clock running.
export async function practise(page) {
  await page.click('#practise');
  await page.waitForSelector('#hand-in:not([disabled])');
}

// The answers an answer sheet (numbered) writes, each problem's as its boxes
// take them: a blank's number, or a result and its remainder (none when exact);
// a comparison's sign.
export const answersIn = (text) => [...text.matchAll(/\d+\) (\S+)/g)].map(([, problem]) =>
  problem.match(/（(-?\d+)）/)?.slice(1) ?? problem.match(/[＜＝＞]/)?.slice(0, 1) ??
  problem.match(/=(-?\d+)(?:\.\.\.(\d+))?$/).slice(1));

// Types each row's answers into its boxes, or presses a comparison's sign
// (undefined leaves a box empty, a sign unpressed), then 交卷.
export async function handIn(page, answers) {
  const rows = await page.$$('.practice-problem');
  for (const [i, row] of rows.entries()) {
    for (const [j, box] of (await row.$$('.answer')).entries()) {
      const sign = await box.evaluate((control) => control.matches('button') && control.textContent);
      if (sign === false && answers[i][j] !== undefined)
        await box.type(answers[i][j]);
      else if (sign !== false && sign === answers[i][0])
        await box.click();
    }
  }
  await page.click('#hand-in');
}

// Each practised row: its number, text and mark.
export const practised = (page) => page.$$eval('.practice-problem', (rows) => rows.map((row) =>
  ({number: row.value, text: row.querySelector('.expression').textContent, verdict: row.dataset.verdict ?? '',
    words: row.querySelector('.verdict').textContent})));
