// makeSheets under node: the sheets it returns are the bytes the engine has
// always made (the golden sheets) and the bytes sumlark-cli writes, refusals
// included; its model holds the problems its texts show.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync, mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {pathToFileURL} from 'node:url';

const webDir = process.env.SUMLARK_WEB_DIR;
const goldenDir = process.env.SUMLARK_GOLDEN_DIR;
const cli = process.env.SUMLARK_CLI;
const {makeSheets, choiceTable} = await import(pathToFileURL(join(webDir, 'sumlark.mjs')));

const add = (options) => ({'per-line': '5', ...options});

// The engine suite's golden rows, as options.
const golden = {
  AdditionWithinTwenty: {type: 'add', largest: '20', count: '30', numbered: true, seed: '20240901'},
  SubtractionWithinHundred: {type: 'sub', largest: '100', count: '25', 'per-line': '4', seed: '1'},
  DivisionRemaindersAndNegatives:
      {type: 'div', smallest: '-5', count: '20', 'per-line': '3', numbered: true, remainder: true, seed: '4'},
  MultiplyDivideHalfRoundsToEven:
      {type: 'mul-div', largest: '12', count: '24', 'per-line': '2.5', remainder: true, seed: '6'},
  AllFourWithoutAnswers:
      {type: 'all', largest: '99', count: '40', numbered: true, 'no-answers': true, remainder: true, seed: '8'},
  AllFourFromDecimalAndExponentTexts: {type: '7', smallest: '0.5', largest: '2.5e1', count: '15.7',
    'per-line': '-4', numbered: true, seed: '18446744073709551615'},
  DivisionDrawnDirectly: {type: 'div', largest: '32767', count: '24', 'per-line': '4', numbered: true, seed: '12'},
  ChainsWithMixedBlanks:
      {type: 'add-sub', largest: '20', count: '30', 'per-line': '4', numbered: true, blank: 'mixed', terms: '3', seed: '14'},
  AllFourBlanksNothingTrivialDistinct: {type: 'all', largest: '12', count: '24', 'per-line': '3', numbered: true,
    remainder: true, distinct: true, blank: 'mixed', 'no-trivial': true, seed: '15'},
  TwoDigitPlusOneDigitWithCarry: {type: 'add', count: '20', carry: 'with', blank: 'second', first: '10..99',
    second: '1..9', result: '0..99', seed: '16'},
};

test('makes the golden sheets byte for byte', async () => {
  for (const [name, options] of Object.entries(golden)) {
    const made = await makeSheets(add(options));
    assert.equal(made.question, readFileSync(join(goldenDir, `${name}.question.txt`), 'utf8'), name);
    assert.equal(made.answer, readFileSync(join(goldenDir, `${name}.answer.txt`), 'utf8'), name);
    assert.equal(made.seed, options.seed, name);
  }
});

// What sumlark-cli makes of the same options: its two UTF-8 sheets (a set's
// first), its seed, or its refusal's exit code.
function cliRun(options) {
  const folder = mkdtempSync(join(tmpdir(), 'sumlark-web-'));
  const args = ['--encoding', 'UTF-8', '--out', folder];
  for (const [name, value] of Object.entries(options)) args.push(`--${name}`, ...(value === true ? [] : [value]));
  try {
    const out = execFileSync(cli, args, {encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe']});
    const tag = Number(options.sheets ?? 1) > 1 ? '-01' : '';
    return {
      question: readFileSync(join(folder, `速算答题${tag}.txt`), 'utf8'),
      answer: readFileSync(join(folder, `速算答题${tag}-答案.txt`), 'utf8'),
      seed: out.match(/^种子：(\d+)$/m)[1],
    };
  } catch (failed) {
    if (failed.status === undefined) throw failed;
    return {status: failed.status, error: String(failed.stderr)};
  } finally {
    rmSync(folder, {recursive: true, force: true});
  }
}

const againstCli = [
  {type: 'add'}, {type: 'sub', largest: '100', borrow: 'with', distinct: true, count: '40'},
  {type: 'mul', smallest: '2', largest: '9', count: '50', 'per-line': '6', numbered: true},
  {type: 'div', largest: '100', remainder: true, count: '30'}, {type: 'add-sub', 'no-trivial': true, count: '60'},
  {type: 'mul-div', largest: '81', count: '36', 'per-line': '4', 'no-answers': true},
  {type: 'add-sub-mul', smallest: '-20', largest: '20', count: '25'},
  {type: 'all', count: '110', 'per-line': '5', numbered: true, seed: '1'},
  {type: 'all', count: '32766', largest: '32767', remainder: true, seed: '3'},
  {type: 'add', carry: 'without', first: '10..99', second: '1..9', count: '20'},
  {type: 'add-sub', first: '10..90/10', second: '10..95/10', result: '0..100/10', distinct: true, count: '30'},
  {type: 'sub', blank: 'first', terms: '3', count: '24', seed: '18446744073709551615'},
  {type: 'add-sub', blank: 'mixed', largest: '50', sheets: '3', seed: '99'},
  {type: 'mul', layout: 'vertical', paper: 'b5', 'font-size': '20', count: '12'},
  {type: 'ALL', count: '12.6', 'per-line': '0', smallest: '1e1', largest: '3e1'},
  {compare: 'number', seed: '1', numbered: true}, {compare: 'expression', type: 'all', largest: '12', distinct: true, count: '30'},
  {type: 'all', terms: '3', result: '0..100', brackets: true, blank: 'mixed', count: '30', numbered: true},
  // Refused: by a value no option takes, or by the engine.
  {carry: 'sometimes'}, {first: '9..1'}, {count: 'abc'}, {type: 'mul', carry: 'with'},
  {largest: '3', distinct: true, count: '40'}, {terms: '3', type: 'mul', brackets: true}, {brackets: true}, {layout: 'vertical', blank: 'second'},
  {smallest: '40000'}, {sheets: '0'}, {compare: 'number', blank: 'first'}, {compare: 'expression', layout: 'vertical'},
  {compare: 'number', type: 'div', remainder: true}, {compare: 'sometimes'},
  {first: '10..90/0'}, {type: 'div', result: '10..90/10'}, {first: '0..90/5', carry: 'with'},
].map((options) => ({seed: '7', ...options}));

test('makes what sumlark-cli writes, and refuses what it refuses', async () => {
  assert.ok(existsSync(cli ?? ''), `no sumlark-cli at SUMLARK_CLI (${cli}): build the dev preset first`);
  for (const options of againstCli) {
    const made = await makeSheets(options);
    const expected = cliRun(options);
    const name = JSON.stringify(options);
    if (expected.status !== undefined) {
      assert.equal(expected.status, 2, `${name}: ${expected.error}`);
      assert.ok(made.refusal?.text, `${name} is refused`);
      assert.ok(made.refusal.choices[0] in options, `${name} marks a choice it was given`);
    } else {
      assert.deepEqual([made.question, made.answer, made.seed], [expected.question, expected.answer, expected.seed], name);
      assert.equal(made.model.sheets.length, Number(options.sheets ?? 1), name);
    }
  }
});

const signs = {add: '＋', sub: '－', mul: '×', div: '÷'};
const relations = {less: '＜', equal: '＝', greater: '＞'};
// A problem's cell as the answer sheet writes it.
const cellOf = (p) => {
  const other = p.compare && (p.compare.form === 'number' ? `${p.compare.left}`
    : `${p.compare.left}${signs[p.compare.operation]}${p.compare.right}`);
  // Brackets around the first two numbers, or the last two.
  const [open, close] = p.brackets === 'left' ? ['(', ')'] : ['', ''];
  const [inner, end] = p.brackets === 'right' ? ['(', ')'] : ['', ''];
  const third = p.terms === 3 ? `${close}${signs[p.then]}${p.third}${end}` : '';
  return `${open}${p.left}${signs[p.operation]}${inner}${p.right}${third}` +
         (other ? `${relations[p.compare.relation]}${other}` : `=${p.result}${p.remainder ? `...${p.remainder}` : ''}`);
};

test('the model holds the problems the answer sheet shows, in order', async () => {
  for (const options of [{type: 'all', largest: '30', count: '40', remainder: true, seed: '5'},
    {type: 'all', largest: '30', count: '40', compare: 'number', seed: '5'},
    {type: 'add-sub', smallest: '-9', largest: '9', count: '40', compare: 'expression', seed: '5'},
    {type: 'all', largest: '20', count: '40', terms: '3', result: '0..100', brackets: true, seed: '5'}]) {
    const made = await makeSheets(options);
    const cells = made.answer.match(/\S+[=＜＝＞]\S+/g);
    assert.deepEqual(made.model.sheets[0].problems.map(cellOf), cells.slice(0, 40), JSON.stringify(options));
    assert.ok(new Set(made.model.sheets[0].problems.map((p) => p.compare?.relation)).size === (options.compare ? 3 : 1));
    assert.deepEqual(made.model.page, {paper: 'a4', fontSize: 14, layout: 'rows'});
  }
});

test('the table of choices starts every choice where the window does', async () => {
  const table = Object.fromEntries((await choiceTable()).map((choice) => [choice.key, choice]));
  const defaults = await makeSheets({seed: '1'});
  const sheet = defaults.model.sheets[0];
  const initial = (key) => table[key].initial;
  assert.equal(sheet.type, table.type.items[Number(initial('type'))].spelling);
  assert.deepEqual([sheet.smallestText, sheet.largestText, sheet.countText],
      [initial('smallest'), initial('largest'), initial('count')]);
  assert.ok(table['per-line'].suggestions.includes(initial('per-line')));
  assert.deepEqual(table.carry.items.map((item) => item.spelling), ['', 'with', 'without']);
  assert.equal(table.carry.window, 'dialog');
  assert.equal(table.count.window, 'main');
});

test('a plan goes into a link and comes back; what is no plan is told so', async () => {
  const {planFromAddress, planInAddress, readPlan} = await import(pathToFileURL(join(webDir, 'plans.js')));
  const plan = {seed: '1', numbered: true, sections: [{heading: '一、口算（20 以内）', type: 'add', count: '6'}, {type: 'mul'}]};
  const link = planInAddress(plan);
  assert.match(link, /^[\w-]+$/);
  assert.deepEqual(planFromAddress(link), plan);
  assert.throws(() => planFromAddress(link.slice(0, -5)), /链接里的方案不完整/);
  for (const text of ['{', '[]', '{"count": 20}', '{"type": null}', '{"sections": {}}', '{"sections": [1]}', '{"sections": [{"count": 2}]}x'])
    assert.throws(() => readPlan(text), /不是方案文件/, text);
});
