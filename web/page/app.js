// The page: the form made from the engine's table of choices, the sheets
// drawn as they print, the address that holds the sheet, printing, saving
// the text sheets, copying the link, plans kept, read and written, and 练习
// on screen (loaded when first used), with its records on this device.

import {addressOf, optionsFromAddress} from './address.js';
import {startEngine} from './engine.js';
import {ChoiceForm, offered} from './form.js';
import {keepOffline} from './offline.js';
import {SheetPages} from './pages.js';
import {save, saveSet, saveSheet} from './download.js';
import {PlanShelf, planFile, planFromAddress, planInAddress, readPlan} from './plans.js';
import {numberFamily, signFamily} from './measure.js';
import {oneLine} from './plan.js';
import {drawnSeed, pupilName, pupilSeed} from './pupil.js';

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
  for (const id of ['print', 'copy-link', 'practise'])
    $(id).disabled = !made;
  $('practise').parentElement.hidden = !made;
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
  // The sections of the plan in use, which the form has no place for; null
  // for a sheet of one kind of problem, all of whose options the form shows.
  let sections = null;
  const shelf = new PlanShelf(globalThis.localStorage);
  let practice = null;
  const eachPupil = () => $('each-pupil').checked;

  // Whether a part of the sheet (a section, or the whole) allows remainders:
  // a section's own option, else the sheet's.
  const remaindersOf = (options, part) => Boolean(options.sections?.[part]?.remainder ?? options.remainder);

  // The plan the form (and the sections in use) stands for, seed included when given.
  const currentPlan = (options = form.read()) => ({...form.changed(options), ...(sections ? {sections} : {})});

  function showSections() {
    $('plan-note').hidden = !sections;
    $('plan-words').textContent = sections
      ? `这是分 ${sections.length} 段的方案：各段的题型、范围和题数按方案出，上面只显示整张练习纸的条件。` : '';
  }

  // Fills the form from a plan: the options the page offers, a switch by its
  // name; one section without a heading is only the form's options again.
  function usePlan(plan) {
    let {sections: parts, ...top} = plan;
    if (parts?.length === 1 && !parts[0].heading) {
      const {heading, ...only} = parts[0];
      top = {...top, ...only};
      parts = undefined;
    }
    form.write(Object.fromEntries(Object.entries(top).filter(([key]) => keys.has(key))
      .map(([key, value]) => [key, switches.has(key) ? true : value])));
    form.clearMarks();
    sections = parts?.length ? parts : null;
    showSections();
  }

  function listPlans(chosen = '') {
    const names = shelf.names();
    $('plan-list').replaceChildren(new Option('（选一个方案）', ''), ...names.map((name) => new Option(name, name)));
    $('plan-list').value = names.includes(chosen) ? chosen : '';
    $('plan-delete').disabled = !$('plan-list').value;
  }

  // The address of the sheet made: the query holds the form's options, a
  // plan of sections is carried whole; with 每人不同 the link's seed, from
  // which each pupil's comes, and the switch.
  function addressOfMade() {
    const {sections: parts, ...top} = made.options;
    const seed = made.linkSeed;
    const each = eachPupil();
    return parts ? `${location.pathname}${each ? '?each-pupil' : ''}#plan=${planInAddress({...form.changed(top), sections: parts, seed})}`
      : `${addressOf({...form.changed(top), seed})}${each ? '&each-pupil' : ''}`;
  }

  // Makes the sheet of the form (with 每人不同 and a name, that pupil's);
  // true when it is shown.
  async function make() {
    const ask = ++asked;
    performance.mark('make-pressed');
    const options = form.read();
    if (sections)
      options.sections = sections;
    const unfinished = form.unfinishedRange();
    if (unfinished) {
      form.mark(unfinished);
      say('');
      return false;
    }
    // Every pupil's sheet comes from one seed, kept in the form once drawn.
    const pupil = eachPupil() ? pupilName($('pupil-name').value) : '';
    if (eachPupil() && options.seed === undefined)
      $('c-seed').value = options.seed = drawnSeed();
    const linkSeed = options.seed;
    if (pupil)
      options.seed = pupilSeed(linkSeed, pupil);
    // A large set takes seconds: the page says so, and 生成 waits for it.
    $('make').disabled = true;
    say('正在出题……');
    let result;
    try {
      result = await engine.makeSheets(options);
    } catch (error) {
      say(`出题时出了错：${error.message}`);
      return false;
    } finally {
      $('make').disabled = false;
    }
    if (ask !== asked)
      return false;
    if (result.refusal) {
      // A plan's sections are not in the form: their refusal is told, not
      // put beside a choice of the form's that is not the one at fault.
      if (sections || !form.mark(result.refusal))
        say(result.refusal.text);
      else
        say('');
      return false;
    }
    form.clearMarks();
    made = {...result, options, pupil, linkSeed: pupil ? linkSeed : result.seed};
    showSheets();
    $('notes').replaceChildren(...pages.show(result.model).map((note) => Object.assign(document.createElement('p'), {textContent: note})));
    $('link-box').hidden = true;
    const {sheets} = result.model;
    const problems = sheets.reduce((sum, sheet) => sum + sheet.problems.length, 0);
    say(`已出好${pupil ? `${pupil}的练习纸，` : ' '}${sheets.length > 1 ? `${sheets.length} 份，共 ` : ''}${problems} 题，种子 ${result.seed}。` +
        (eachPupil() && !pupil ? '每人不同：填好姓名，按“练习”。' : ''));
    showActions(made);
    // On screen once the next frame is painted; then the address becomes
    // this sheet's, which costs a browser a same-page navigation.
    const address = addressOfMade();
    requestAnimationFrame(() => setTimeout(() => {
      performance.mark('sheet-shown');
      history.replaceState(null, '', address);
    }));
    return true;
  }

  function showSheets() {
    practice?.stopClock();
    $('practice').hidden = true;
    $('sheets').hidden = false;
  }

  async function records() {
    const {PracticeRecords, showRecords} = await import('./records.js');
    return {kept: new PracticeRecords(globalThis.localStorage), showRecords};
  }

  // 练习: the sheet on the page (with 每人不同, the one of the name typed),
  // its first sheet where it is a set.
  async function practise() {
    const pupil = pupilName($('pupil-name').value);
    if (eachPupil() && !pupil) {
      say('这份练习每人不同：请先填姓名，再按“练习”。');
      $('pupil-name').focus();
      return;
    }
    if ((!made || (eachPupil() && made.pupil !== pupil)) && !await make())
      return;
    const {Practice} = await import('./practice.js');
    practice ??= new Practice($('practice'), {
      say,
      onLeave: showSheets,
      onMarked: async (name, record) => {
        const {kept, showRecords} = await records();
        try {
          kept.add(name, record);
        } catch (error) {
          say(`成绩没能记在这台设备上：${error.message}`);
        }
        if ($('records').open)
          showRecords($('record-list'), kept);
      },
    });
    const sheet = made.model.sheets[0];
    $('sheets').hidden = true;
    $('practice').hidden = false;
    practice.start(sheet, (part) => remaindersOf(made.options, part), {
      // A sheet of 每人不同 is the name's; any other takes the name typed by 交卷.
      name: made.pupil ? () => made.pupil : () => pupilName($('pupil-name').value),
      link: new URL(addressOfMade(), location.href).href,
      title: `${oneLine(sheet.typeText)}，${sheet.problems.length} 题`,
    });
    $('practice').scrollIntoView({block: 'start'});
    say(made.model.sheets.length > 1 ? '练习这一套的第 1 份。' : '');
  }

  $('choices').addEventListener('submit', (event) => {
    event.preventDefault();
    make();
  });
  $('practise').addEventListener('click', () => practise().catch((error) => say(`练习打不开：${error.message}`)));
  $('records').addEventListener('toggle', async () => {
    if ($('records').open) {
      const {kept, showRecords} = await records();
      showRecords($('record-list'), kept);
    }
  });
  // The link of the sheet shown says whether it is made for each pupil.
  $('each-pupil').addEventListener('change', () => {
    if (!made)
      return;
    if (eachPupil() && $('c-seed').value === '')
      $('c-seed').value = made.linkSeed;
    history.replaceState(null, '', addressOfMade());
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

  $('plan-list').addEventListener('change', () => {
    const name = $('plan-list').value;
    $('plan-delete').disabled = !name;
    if (!name)
      return;
    try {
      // Kept by this page, but the browser's storage is anyone's to edit.
      usePlan(readPlan(JSON.stringify(shelf.get(name))));
    } catch (error) {
      say(`方案“${name}”：${error.message}`);
      return;
    }
    $('plan-name').value = name;
    say(`已选方案“${name}”，按“生成”出题。`);
  });
  $('plan-save').addEventListener('click', () => {
    const name = $('plan-name').value.trim();
    if (!name) {
      say('请先在“方案名称”里给方案起个名字。');
      $('plan-name').focus();
      return;
    }
    try {
      const had = shelf.names().includes(name);
      shelf.put(name, currentPlan());
      listPlans(name);
      say(had ? `方案“${name}”已改成现在的条件。` : `已保存方案“${name}”，以后在“已存的方案”里选它。`);
    } catch (error) {
      say(error.message);
    }
  });
  $('plan-delete').addEventListener('click', () => {
    const name = $('plan-list').value;
    try {
      shelf.remove(name);
      listPlans();
      say(`已删除方案“${name}”。`);
    } catch (error) {
      say(error.message);
    }
  });
  $('plan-import').addEventListener('click', () => $('plan-file').click());
  $('plan-file').addEventListener('change', async () => {
    const file = $('plan-file').files[0];
    $('plan-file').value = '';
    if (!file)
      return;
    try {
      // A plan is a few hundred bytes; a large file is something else, not read.
      if (file.size > 1_000_000)
        throw new Error('这不是方案文件：它太大了。');
      usePlan(readPlan(await file.text()));
    } catch (error) {
      say(`${file.name}：${error.message}`);
      return;
    }
    $('plan-name').value = file.name.replace(/\.json$/i, '');
    // A plan read is not yet a plan the engine takes: its sheets are made
    // at once, or its refusal shown.
    await make();
  });
  $('plan-export').addEventListener('click', () => {
    const name = $('plan-name').value.trim() || '方案';
    save(`${name.replace(/[\\/:*?"<>|\u0000-\u001f]/g, '_')}.json`, planFile(currentPlan()));
  });
  $('plan-flat').addEventListener('click', () => {
    sections = null;
    showSections();
    say('不再分段：按上面的条件出题。');
  });
  listPlans();
  // A plan's link pasted over this page's address changes only its hash.
  window.addEventListener('hashchange', () => location.hash.startsWith('#plan=') && location.reload());

  $('make').disabled = false;
  const linked = optionsFromAddress(location.search, keys, switches);
  $('each-pupil').checked = new URLSearchParams(location.search).has('each-pupil');
  let linkedPlan = null;
  if (location.hash.startsWith('#plan=')) {
    try {
      linkedPlan = planFromAddress(location.hash.slice('#plan='.length));
    } catch (error) {
      say(error.message);
      return;
    }
  }
  if (linkedPlan || Object.keys(linked).length) {
    linkedPlan ? usePlan(linkedPlan) : form.write(linked);
    await make();
    // A link is opened for its sheet: on a phone the sheet is below the form.
    if ($('sheets').getBoundingClientRect().top >= innerHeight / 2)
      $('sheets').scrollIntoView();
  } else {
    say('');
  }
}

start().catch((error) => say(`出题程序载入失败：${error.message}`));
