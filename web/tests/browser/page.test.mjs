// The page in Debian's Chromium, as a teacher uses it: the form filled and
// 生成 pressed, the sheets saved, printed to PDF, opened from a link, from a
// file and offline, on a phone's width; and practised on screen, as a pupil does.

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {after, before, describe, it} from 'node:test';
import {unzipSync, strFromU8} from 'fflate';
import {answersIn, cliSheets, handIn, launch, make, openSheet, practise, practised, root, serve, webFolder} from './support.mjs';

let browser;
let server;
before(async () => {
  server = await serve();
  browser = await launch();
});
after(async () => {
  await browser?.close();
  await server?.close();
});

// Three sections, each of its own kind and grid.
const threeSections = {seed: '3', numbered: true, sections: [
  {heading: '一、二十以内加法', type: 'add', largest: '20', count: '12'},
  {heading: '二、表内乘法', type: 'mul', largest: '9', count: '8', 'per-line': '4'},
  {heading: '三、有余数的除法', type: 'div', largest: '50', count: '6', remainder: true, 'per-line': '3'},
]};
const planLink = `#plan=${Buffer.from(JSON.stringify(threeSections)).toString('base64url')}`;
// All four with blanks in any place and remainders, to practise.
const marked = '?seed=3&type=all&largest=50&remainder&blank=mixed&count=12&numbered';
// Expressions compared with expressions, to practise with ＞ ＜ ＝.
const compared = '?seed=4&compare=expression&type=add-sub&largest=20&count=9&numbered';

// Clicks each button and returns the files it saved: {name: text}.
async function saved(page, buttons) {
  const folder = mkdtempSync(join(tmpdir(), 'sumlark-saved-'));
  try {
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: folder});
    for (const button of buttons)
      await page.click(button);
    const done = () => readdirSync(folder).filter((name) => !name.endsWith('.crdownload'));
    for (let waited = 0; done().length < buttons.length || readdirSync(folder).length > done().length; waited += 50) {
      assert.ok(waited < 10_000, 'the downloads did not finish');
      await new Promise((wait) => setTimeout(wait, 50));
    }
    const files = {};
    for (const name of done()) {
      const bytes = readFileSync(join(folder, name));
      if (name.endsWith('.zip')) {
        for (const [inner, data] of Object.entries(unzipSync(bytes)))
          files[inner] = strFromU8(data);
      } else {
        files[name] = bytes.toString('utf8');
      }
    }
    return files;
  } finally {
    rmSync(folder, {recursive: true, force: true});
  }
}

// The first page as it prints: its texts and strokes, in points.
const firstPage = (page) => page.$eval('.page', (box) => box.innerHTML);

describe('the saved sheets are the command line\'s, byte for byte', () => {
  it('from the form filled by hand: 110 numbered problems, five a line, seed 1', async () => {
    const page = await openSheet(browser, server.url);
    await page.click('#c-count', {count: 3});
    await page.keyboard.type('110');
    await page.click('#c-numbered');
    await page.click('#more summary');
    await page.type('#c-seed', '1');
    await make(page);
    assert.deepEqual(await saved(page, ['#save-question', '#save-answer']),
                     cliSheets(['--seed', '1', '--count', '110', '--per-line', '5', '--numbered']));
    await page.close();
  });

  for (const [behaviour, query, args] of [
    ['all four, blanks in any place, remainders', 'seed=77&type=all&largest=50&remainder&blank=mixed&count=40',
     ['--seed', '77', '--type', 'all', '--largest', '50', '--remainder', '--blank', 'mixed', '--count', '40']],
    ['chains of three numbers, no answers', 'seed=5&type=add-sub&terms=3&no-answers&per-line=3',
     ['--seed', '5', '--type', 'add-sub', '--terms', '3', '--no-answers', '--per-line', '3']],
    ['比大小, each expression against a number', 'seed=6&compare=number&type=all&numbered&count=30',
     ['--seed', '6', '--compare', 'number', '--type', 'all', '--numbered', '--count', '30']],
    ['a set of three in one zip, the largest seed', 'seed=18446744073709551615&sheets=3&type=div&out=x&encoding=GBK&pdf',
     ['--seed', '18446744073709551615', '--sheets', '3', '--type', 'div']],
  ]) {
    it(`from a link: ${behaviour}`, async () => {
      const page = await openSheet(browser, `${server.url}index.html?${query}`);
      const set = await page.$eval('#save-set', (button) => !button.hidden);
      assert.deepEqual(await saved(page, set ? ['#save-set'] : ['#save-question', '#save-answer']), cliSheets(args));
      await page.close();
    });
  }
});

describe('a refusal is shown beside the choice it concerns', () => {
  for (const [behaviour, query, key, also] of [
    ['a count that is not a number', 'count=abc', 'count', []],
    ['too few different problems: the count, and 题目不重复 in 更多出题条件', 'smallest=1&largest=2&distinct&count=50',
     'count', ['distinct']],
    ['the column form for 比大小: the layout, and 比大小 in 更多出题条件', 'compare=number&layout=vertical', 'layout', ['compare']],
  ]) {
    it(behaviour, async () => {
      const page = await openSheet(browser, `${server.url}index.html?${query}`);
      await page.waitForSelector('.refusal');
      const marked = await page.$eval(`#c-${key}`, (control) => ({
        invalid: control.getAttribute('aria-invalid'),
        words: document.getElementById(control.getAttribute('aria-describedby').split(' ')[0]).textContent,
        beside: control.closest('.field').querySelector('.refusal') !== null,
        seen: control.offsetParent !== null,
        focused: document.activeElement === control,
      }));
      assert.equal(marked.invalid, 'true');
      for (const other of also)
        assert.equal(await page.$eval(`#c-${other}`, (control) => control.getAttribute('aria-invalid')), 'true');
      assert.ok(marked.words.length > 4 && marked.beside && marked.seen && marked.focused, JSON.stringify(marked));
      assert.equal(await page.$('.page'), null);
      await page.close();
    });
  }
});

it('生成 without a seed writes the seed used into the address; the copied link makes the same sheet', async () => {
  await browser.defaultBrowserContext().overridePermissions(new URL(server.url).origin,
                                                           ['clipboard-read', 'clipboard-sanitized-write']);
  const page = await openSheet(browser, server.url);
  await page.click('#c-count', {count: 3});
  await page.keyboard.type('30');
  await make(page);
  await page.click('#copy-link');
  const link = await page.evaluate(() => navigator.clipboard.readText());
  assert.equal(link, page.url());
  assert.match(link, /\?seed=\d+&count=30$/);
  const again = await openSheet(browser, link, {width: 375, height: 800});
  assert.equal(await firstPage(again), await firstPage(page));
  await Promise.all([page.close(), again.close()]);
});

describe('printed to PDF: the chosen paper, never scaled, question pages then answer pages', () => {
  const points = 72 / 25.4;
  for (const [paper, width, height, query] of [
    ['a4', 210 * points, 297 * points, 'seed=1&count=110&numbered'],
    ['b5', 176 * points, 250 * points, 'seed=2&type=mul&largest=9999&per-line=8&numbered&count=60&paper=b5'],
    ['a4, three sections', 210 * points, 297 * points, planLink],
  ]) {
    it(paper, async () => {
      const page = await openSheet(browser, `${server.url}index.html?${query}`);
      const onScreen = await page.$$eval('.page', (pages) => pages.map((box) => box.getAttribute('aria-label')));
      await page.emulateMediaType('print');
      const file = join(mkdtempSync(join(tmpdir(), 'sumlark-pdf-')), 'sheet.pdf');
      await page.pdf({path: file, preferCSSPageSize: true});
      const words = execFileSync('pdftotext', ['-bbox', file, '-'], {encoding: 'utf8'});
      rmSync(file);
      const sizes = [...words.matchAll(/<page width="([\d.]+)" height="([\d.]+)"/g)];
      assert.equal(sizes.length, onScreen.length);
      assert.equal(words.match(/>口算练习(答案)?<\/word>/g).length, onScreen.length, 'every page drawn');
      for (const {heading} of query.startsWith('#') ? threeSections.sections : [])
        assert.equal(words.split(`>${heading}</word>`).length - 1, 2, `${heading} on the question and the answer page`);
      for (const [, w, h] of sizes) {
        assert.ok(Math.abs(w - width) < 1 && Math.abs(h - height) < 1, `page ${w} x ${h}`);
      }
      // Unscaled, the first serial stands at the page's 20 mm margin.
      const serial = words.match(/<word xMin="([\d.]+)"[^>]*>0*1\)<\/word>/);
      assert.ok(Math.abs(serial[1] - 20 * points) < 1, `first serial at ${serial[1]}`);
      assert.equal(onScreen.filter((label) => label.startsWith('答案纸')).length, onScreen.length / 2);
      assert.ok(onScreen[0].startsWith('答题纸') && onScreen.at(-1).startsWith('答案纸'));
      await page.close();
    });
  }
});

it('reloaded with the server gone, the kept page still makes sheets', async () => {
  const own = await serve();
  const page = await openSheet(browser, `${own.url}index.html?seed=4`);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  const sheet = await firstPage(page);
  await own.close();
  await page.reload();
  await page.waitForFunction(() => performance.getEntriesByName('sheet-shown').length > 0);
  assert.equal(await firstPage(page), sheet);
  await practise(page);
  await page.close();
});

it('the single file opens from file:// and makes the same sheet', async () => {
  const usb = mkdtempSync(join(tmpdir(), 'sumlark-usb-'));
  writeFileSync(join(usb, 'sheet.html'), readFileSync(join(webFolder, 'sumlark-offline.html')));
  const served = await openSheet(browser, `${server.url}index.html?seed=9&type=all`);
  const opened = await openSheet(browser, `file://${usb}/sheet.html?seed=9&type=all`);
  await opened.waitForFunction(() => performance.getEntriesByName('sheet-shown').length > 0);
  assert.equal(await firstPage(opened), await firstPage(served));
  await Promise.all([served.close(), opened.close()]);
  rmSync(usb, {recursive: true, force: true});
});

describe('plans: a sheet of three sections', () => {
  const folder = mkdtempSync(join(tmpdir(), 'sumlark-plans-'));
  const file = (name, text) => (writeFileSync(join(folder, name), text), join(folder, name));
  const importPlan = async (page, path) => {
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#plan-import')]);
    await chooser.accept([path]);
  };
  after(() => rmSync(folder, {recursive: true, force: true}));

  it('imported: the headings in order above their rows, the saved texts and the exported plan the command line\'s, ' +
     'the copied link the same sheet', async () => {
    await browser.defaultBrowserContext().overridePermissions(new URL(server.url).origin,
                                                             ['clipboard-read', 'clipboard-sanitized-write']);
    const page = await openSheet(browser, server.url);
    const plan = file('三段.json', JSON.stringify(threeSections));
    await importPlan(page, plan);
    await page.waitForFunction(() => performance.getEntriesByName('sheet-shown').length > 0);
    const headings = await page.$eval('.page', (box) => [...box.querySelectorAll('span')]
      .map((span) => [span.textContent, parseFloat(span.style.top)]).filter(([text]) => /^[一二三]、/.test(text)));
    assert.deepEqual(headings.map(([text]) => text), threeSections.sections.map((section) => section.heading));
    assert.ok(headings[0][1] < headings[1][1] && headings[1][1] < headings[2][1], JSON.stringify(headings));
    assert.match(await page.$eval('#plan-words', (words) => words.textContent), /分 3 段/);
    const sheets = cliSheets(['--plan', plan]);
    assert.deepEqual(await saved(page, ['#save-question', '#save-answer']), sheets);
    const exported = await saved(page, ['#plan-export']);
    assert.deepEqual(Object.keys(exported), ['三段.json']);
    assert.deepEqual(cliSheets(['--plan', file('exported.json', exported['三段.json'])]), sheets);
    await page.click('#copy-link');
    const link = await page.evaluate(() => navigator.clipboard.readText());
    assert.match(link, /#plan=[\w-]+$/);
    const again = await openSheet(browser, link, {width: 375, height: 800});
    assert.equal(await firstPage(again), await firstPage(page));
    await Promise.all([page.close(), again.close()]);
  });

  it('保存为方案 keeps it over a reload, chosen it makes the same sheet, 删除 forgets it', async () => {
    const page = await openSheet(browser, `${server.url}index.html${planLink}`);
    const sheet = await firstPage(page);
    await page.type('#plan-name', '周三练习');
    await page.click('#plan-save');
    await page.goto(server.url);
    await page.waitForFunction(() => !document.getElementById('make').disabled);
    await page.select('#plan-list', '周三练习');
    await make(page);
    assert.equal(await firstPage(page), sheet);
    await page.click('#plan-delete');
    await page.reload();
    await page.waitForFunction(() => !document.getElementById('make').disabled);
    assert.deepEqual(await page.$$eval('#plan-list option', (options) => options.map((option) => option.value)), ['']);
    await page.close();
  });

  for (const name of ['三位数加减（竖式）.json', '100 以内加减填空.json']) {
    it(`the ready-made ${name}, imported, makes the command line's sheets`, async () => {
      const page = await openSheet(browser, server.url);
      const plan = join(root, 'plans', name);
      await importPlan(page, plan);
      await page.waitForFunction(() => performance.getEntriesByName('sheet-shown').length > 0);
      const seed = new URL(page.url()).searchParams.get('seed');
      assert.deepEqual(await saved(page, ['#save-question', '#save-answer']), cliSheets(['--plan', plan, '--seed', seed]));
      await page.close();
    });
  }

  for (const [behaviour, text, words] of [
    ['a file that is not a plan', '{"count": 20', /不是方案文件/],
    ['a section the engine refuses', '{"sections": [{"type": "add"}, {"type": "zzz"}]}', /zzz/],
  ]) {
    it(`imported, ${behaviour} is refused in words, and no sheet made`, async () => {
      const page = await openSheet(browser, server.url);
      await importPlan(page, file('refused.json', text));
      await page.waitForFunction((pattern) => new RegExp(pattern).test(document.getElementById('status').textContent),
                                 {}, words.source);
      assert.equal(await page.$('.page'), null);
      await page.close();
    });
  }
});

it('nothing scrolls sideways on a phone (375 px) or a desktop, 更多出题条件 open', async () => {
  const pictures = process.env.SUMLARK_PICTURES;
  for (const [width, name, address] of [[375, 'web-phone.png', '?seed=1&count=110&numbered'],
    [1280, 'web-desktop.png', '?seed=1&count=110&numbered'], [375, 'web-phone-sections.png', planLink],
    [1280, 'web-desktop-sections.png', planLink], [375, 'web-practice-phone.png', marked], [1280, 'web-practice-desktop.png', marked],
    [375, 'web-practice-compare-phone.png', compared]]) {
    const page = await openSheet(browser, `${server.url}index.html${address}`, {width, height: 860});
    if (address === marked || address === compared) {
      const answers = answersIn(Object.values(await saved(page, ['#save-answer']))[0]);
      await practise(page);
      await page.type('#pupil-name', '王小明');
      const wrong = address === marked ? ['1'] : ['＝'];
      await handIn(page, answers.map((answer, i) => (i % 4 === 1 ? wrong : i === 6 ? [] : answer)));
      await page.$eval('#result-card', (card) => card.scrollIntoView({block: 'end'}));
    }
    if (pictures) {
      mkdirSync(pictures, {recursive: true});
      await page.screenshot({path: join(pictures, name)});
    }
    await page.evaluate(() => (document.getElementById('more').open = true));
    assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), `${width} px`);
    await page.close();
  }
});

describe('练习 on screen: answered, marked at once, kept on this device only', () => {
  const answersOf = async (page) => answersIn(Object.values(await saved(page, ['#save-answer']))[0]);
  const result = (page) => page.$eval('#practice-result', (words) => words.textContent);
  const clock = (page) => page.$eval('[role="timer"]', (time) => time.textContent);
  const fullWidth = (text) => text.replace(/\d/g, (digit) => String.fromCharCode(0xff10 + Number(digit))).replace('-', '－');

  for (const [behaviour, query, typed, label, quotients] of [
    ['every answer right, blanks in any place: full marks, the clock stopped', marked, (text) => text, '第 1 题的答案', 1],
    ['digits and minus of a Chinese input method, the page\'s minus key beside answers below zero',
     '?seed=8&type=add-sub&smallest=-20&largest=20&blank=mixed&count=10&numbered', fullWidth, '第 1 题的答案', 0],
    ['the column form in rows, a remainder in its own box, one left empty read as 0',
     '?seed=5&type=div&remainder&largest=30&count=12&numbered&layout=vertical', (text) => text, '第 1 题的商', 12],
    ['three sections under their headings, a remainder\'s box only where its section allows one', planLink,
     (text) => text, '第 1 题的答案', 6],
  ]) {
    it(behaviour, async () => {
      const page = await openSheet(browser, `${server.url}index.html${query}`, {width: 375, height: 800});
      const answers = await answersOf(page);
      await practise(page);
      const boxes = await page.$$eval('input.answer', (all) => all.map((box) => [box.getAttribute('aria-label'), box.inputMode]));
      assert.deepEqual(boxes[0], [label, 'numeric']);
      assert.equal((await page.$$('.minus')).length > 0, answers.flat().some((answer) => answer?.startsWith('-')));
      assert.equal((await page.$$('input.answer-1')).length, quotients);
      assert.ok(quotients < answers.length || answers.some(([, remainder]) => remainder === undefined), 'an exact division');
      assert.deepEqual(await page.$$eval('.practice h3', (all) => all.map((heading) => heading.textContent)),
                       query === planLink ? threeSections.sections.map((section) => section.heading) : []);
      await page.waitForFunction(() => document.querySelector('[role="timer"]').textContent !== '00:00');
      await handIn(page, answers.map((answer) => answer.map((text) => text && typed(text))));
      assert.match(await result(page), new RegExp(`^答对 ${answers.length} 题，共 ${answers.length} 题，用时 ${await clock(page)}。全部做对了`));
      assert.deepEqual(new Set((await practised(page)).map((row) => row.verdict)), new Set(['right']));
      const stopped = await clock(page);
      await new Promise((wait) => setTimeout(wait, 1100));
      assert.equal(await clock(page), stopped);
      assert.equal(await page.$('#redo'), null);
      await page.close();
    });
  }

  it('two missed: each marked with its right answer, 再做错题 gives exactly those two until none is left; ' +
     'the result card copied; the record kept over a reload, deleted after asking', async () => {
    await browser.defaultBrowserContext().overridePermissions(new URL(server.url).origin,
                                                             ['clipboard-read', 'clipboard-sanitized-write']);
    const page = await openSheet(browser, `${server.url}index.html${marked}`);
    const answers = await answersOf(page);
    await practise(page);
    await page.type('#pupil-name', '陈小雨');
    await handIn(page, answers.map((answer, i) => (i === 1 ? [String(Number(answer[0]) + 1)] : i === 4 ? [] : answer)));
    const rows = await practised(page);
    assert.deepEqual(rows.filter((row) => row.verdict !== 'right').map(({number, verdict, words}) => [number, verdict, words]),
                     [[2, 'wrong', `✗ 错，正确答案 ${answers[1][0]}`], [5, 'empty', `未答，正确答案 ${answers[4][0]}`]]);
    assert.match(await result(page), /^答对 10 题，共 12 题，用时 \d\d:\d\d。错 1 题，没答 1 题。$/);
    await page.click('#copy-result');
    const card = await page.evaluate(() => navigator.clipboard.readText());
    assert.match(card, /^口算练习成绩\n姓名：陈小雨\n日期：\d{4}-\d\d-\d\d \d\d:\d\d\n练习：.+12 题\n成绩：答对 10 题，共 12 题\n用时：\d\d:\d\d\n链接：http.+seed=3/);
    await page.click('#redo');
    assert.deepEqual((await practised(page)).map((row) => [row.number, row.verdict]), [[2, ''], [5, '']]);
    await handIn(page, [answers[1], answers[4]]);
    assert.match(await result(page), /^答对 2 题，共 2 题.*全部做对了/);
    assert.equal(await page.$('#redo'), null);
    await page.reload();
    await page.waitForFunction(() => performance.getEntriesByName('sheet-shown').length > 0);
    await page.click('#records summary');
    await page.waitForSelector('.record-name li');
    assert.match(await page.$eval('#record-list', (list) => list.textContent), /陈小雨.*答对 10\/12　用时 \d\d:\d\d/);
    const mine = '.record-name button[aria-label*="陈小雨"]';
    for (const [button, answer, left] of [[mine, false, 1], ['#records-clear', true, 0]]) {
      page.once('dialog', (dialog) => (answer ? dialog.accept() : dialog.dismiss()));
      await page.click(button);
      assert.equal((await page.$$(mine)).length, left);
    }
    await page.close();
  });

  it('比大小: ＞ ＜ ＝ as large buttons in the Tab order, typed on the row as well; one wrong marked with its right sign ' +
     'and given again', async () => {
    const page = await openSheet(browser, `${server.url}index.html${compared}`, {width: 375, height: 800});
    const answers = await answersOf(page);
    await practise(page);
    assert.deepEqual(await page.$$eval('.practice-problem:first-child button', (all) => all.map((button) =>
      [button.textContent, button.getAttribute('aria-pressed'), button.tabIndex, button.offsetWidth >= 44 && button.offsetHeight >= 48])),
      ['＞', '＜', '＝'].map((sign) => [sign, 'false', 0, true]));
    await page.keyboard.type({'＜': '<', '＝': '=', '＞': '>'}[answers[0][0]]);
    assert.deepEqual(await page.evaluate(() => [document.querySelector('[aria-pressed="true"]').textContent,
      document.activeElement.closest('li').value, document.activeElement.textContent]), [answers[0][0], 2, '＞']);
    const wrong = {'＜': '＞', '＞': '＝', '＝': '＜'}[answers[2][0]];
    await handIn(page, answers.map((answer, i) => (i === 0 ? [] : i === 2 ? [wrong] : answer)));
    const rows = await practised(page);
    assert.deepEqual(rows.filter((row) => row.verdict !== 'right').map(({number, verdict, words}) => [number, verdict, words]),
                     [[3, 'wrong', `✗ 错，正确答案 ${answers[2][0]}`]]);
    assert.match(rows[2].text, /^\d+ [+−] \d+ ＞＜＝ \d+ [+−] \d+$/);
    assert.match(await result(page), /^答对 8 题，共 9 题.*错 1 题，没答 0 题。$/);
    await page.click('#redo');
    assert.deepEqual((await practised(page)).map((row) => [row.number, row.verdict]), [[3, '']]);
    await handIn(page, [answers[2]]);
    assert.match(await result(page), /^答对 1 题，共 1 题.*全部做对了/);
    await page.close();
  });

  it('每人不同: the same name makes the same sheet, two names differ, the teacher\'s 答案 for a name are its answers', async () => {
    const link = `${server.url}index.html?seed=11&type=all&largest=20&count=8&numbered&each-pupil`;
    const pupil = async (name) => {
      const page = await openSheet(browser, link, {width: 375, height: 800});
      await page.type('#pupil-name', name);
      await practise(page);
      return {page, rows: await practised(page)};
    };
    const [first, again, other] = [await pupil('张小红'), await pupil(' 张小红 '), await pupil('李明')];
    assert.deepEqual(again.rows, first.rows);
    assert.notDeepEqual(other.rows.map((row) => row.text), first.rows.map((row) => row.text));
    const teacher = await openSheet(browser, link);
    await teacher.click('#practise');
    assert.match(await teacher.$eval('#status', (status) => status.textContent), /请先填姓名/);
    await teacher.type('#pupil-name', '张小红');
    await make(teacher);
    await teacher.waitForFunction(() => location.search.endsWith('&each-pupil'));
    assert.match(teacher.url(), /\?seed=11&/);
    const answers = await answersOf(teacher);
    await first.page.bringToFront();
    await handIn(first.page, answers);
    assert.match(await result(first.page), /^答对 8 题，共 8 题/);
    await Promise.all([first, again, other].map(({page}) => page.close()).concat(teacher.close()));
  });
});
