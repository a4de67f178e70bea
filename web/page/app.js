// The page: the form made from the engine's table of choices, the sheets
// drawn as they print, the address that holds the sheet, printing, saving
// the text sheets and copying the link.

import {addressOf, optionsFromAddress} from './address.js';
import {startEngine} from './engine.js';
import {ChoiceForm, offered} from './form.js';
import {keepOffline} from './offline.js';
import {SheetPages} from './pages.js';
import {saveSet, saveSheet} from './download.js';
import {numberFamily, signFamily} from './measure.js';

const $ = (id) => document.getElementById(id);
const engineReady = startEngine();
keepOffline();
document.documentElement.style.setProperty('--number-family', numberFamily);
document.documentElement.style.setProperty('--sign-family', signFamily);

function say(text) {
  $('status').textContent = text;
}

function showActions(made) {
  const set = made && made.model.sheets.length > 1;
  for (const id of ['print', 'copy-link'])
    $(id).disabled = !made;
  for (const id of ['save-question', 'save-answer']) {
    $(id).disabled = !made;
    $(id).hidden = set;
  }
  $('save-set').disabled = !set;
  $('save-set').hidden = !set;
}

async function start() {
  const engine = await engineReady;
  const table = await engine.choiceTable();
  const form = new ChoiceForm(table, $('main-choices'), $('more-choices'));
  const pages = new SheetPages($('pages'), $('page-size'));
  const keys = new Set(table.filter(offered).map((choice) => choice.key));
  const switches = new Set(table.filter((choice) => choice.kind === 'switch').map((choice) => choice.key));
  let made = null;
  let asked = 0;

  async function make() {
    const ask = ++asked;
    performance.mark('make-pressed');
    const options = form.read();
    const unfinished = form.unfinishedRange();
    if (unfinished) {
      form.mark(unfinished);
      say('');
      return;
    }
    // A large set takes seconds: the page says so, and 生成 waits for it.
    $('make').disabled = true;
    say('正在出题……');
    let result;
    try {
      result = await engine.makeSheets(options);
    } catch (error) {
      say(`出题时出了错：${error.message}`);
      return;
    } finally {
      $('make').disabled = false;
    }
    if (ask !== asked)
      return;
    if (result.refusal) {
      if (!form.mark(result.refusal))
        say(result.refusal.text);
      else
        say('');
      return;
    }
    form.clearMarks();
    made = result;
    $('notes').replaceChildren(...pages.show(result.model).map((note) => Object.assign(document.createElement('p'), {textContent: note})));
    $('link-box').hidden = true;
    const {sheets} = result.model;
    const problems = sheets.reduce((sum, sheet) => sum + sheet.problems.length, 0);
    say(`已出好 ${sheets.length > 1 ? `${sheets.length} 份，共 ` : ''}${problems} 题，种子 ${result.seed}。`);
    showActions(made);
    // On screen once the next frame is painted; then the address becomes
    // this sheet's, which costs a browser a same-page navigation.
    requestAnimationFrame(() => setTimeout(() => {
      performance.mark('sheet-shown');
      history.replaceState(null, '', addressOf({...form.changed(options), seed: result.seed}) || location.pathname);
    }));
  }

  $('choices').addEventListener('submit', (event) => {
    event.preventDefault();
    make();
  });
  $('print').addEventListener('click', () => {
    pages.drawAll();
    window.print();
  });
  window.addEventListener('beforeprint', () => pages.drawAll());
  $('save-question').addEventListener('click', () => saveSheet(made.model.sheets[0], false));
  $('save-answer').addEventListener('click', () => saveSheet(made.model.sheets[0], true));
  $('save-set').addEventListener('click', () => saveSet(made.model.sheets).catch((error) => say(`保存失败：${error.message}`)));
  $('copy-link').addEventListener('click', async () => {
    // The single file's address is a path on this computer only.
    if (location.protocol === 'file:') {
      say('这是这台电脑上的文件，它的链接别人打不开；要发链接，请用网站上的网页。');
      return;
    }
    try {
      await navigator.clipboard.writeText(location.href);
      say('链接已复制，发给别人，打开就是这一份练习。');
    } catch {
      // No clipboard here (a page opened from a file, an old browser): the
      // link is shown to copy by hand.
      $('link').value = location.href;
      $('link-box').hidden = false;
      $('link').select();
      say('请复制下面的链接。');
    }
  });

  $('make').disabled = false;
  const linked = optionsFromAddress(location.search, keys, switches);
  if (Object.keys(linked).length) {
    form.write(linked);
    await make();
    // A link is opened for its sheet: on a phone the sheet is below the form.
    if ($('sheets').getBoundingClientRect().top >= innerHeight / 2)
      $('sheets').scrollIntoView();
  } else {
    say('');
  }
}

start().catch((error) => say(`出题程序载入失败：${error.message}`));
