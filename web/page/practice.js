// 练习 on screen: the sheet's problems in rows, each with its answer box(es)
// where its blank stands, a section's heading above its problems, a clock;
// 交卷 marks them all at once, 再做错题 gives the wrong and empty ones again
// until none is left, and the result card is printed or copied for the
// teacher. Nothing leaves the device: the first marking of a sheet is handed
// to onMarked, which keeps it in the device's records.

import {answerKind, anyNegative, around, kinds, mark, rightAnswer} from './answers.js';
import {element} from './form.js';
import {clockText, dateText} from './records.js';

const button = (text, attributes = {}) => element('button', {type: 'button', ...attributes}, text);

const verdicts = {right: '✓ 对', wrong: '✗ 错', empty: '未答'};

export class Practice {
  // say(text): the page's status line.
  constructor(container, {onMarked, onLeave, say}) {
    Object.assign(this, {container, onMarked, onLeave, say});
  }

  // sheet: the model's sheet; remainders(part): whether the part (a section,
  // or the whole sheet) allows remainders; about: {name (a function), link, title}.
  start(sheet, remainders, about) {
    this.stopClock();
    const parts = sheet.sections?.length ? sheet.sections : [{heading: '', problems: sheet.problems.length}];
    let first = 0;
    this.items = [];
    this.parts = parts.map((part, p) => {
      const problems = sheet.problems.slice(first, first + part.problems);
      const allowed = remainders(p);
      const minus = anyNegative(problems);
      const items = problems.map((problem, i) => ({index: first + i, problem, kind: answerKind(problem, allowed), minus}));
      first += problems.length;
      this.items.push(...items);
      return {heading: part.heading, items};
    });
    Object.assign(this, {sheet, about, card: null});
    this.round(this.items);
  }

  // One round over these items: their boxes empty, the clock from zero.
  round(items) {
    this.current = items;
    const wanted = new Set(items);
    const head = element('div', {class: 'practice-head'},
      element('h2', {id: 'practice-title'}, this.about.name() ? `${this.about.name()}的练习` : '练习'),
      element('p', {class: 'clock'}, '用时 ', this.clock = element('span', {role: 'timer'}, '00:00')));
    const signs = items.some((item) => kinds[item.kind].signs);
    const boxes = items.some((item) => !kinds[item.kind].signs);
    const how = [boxes && '每个框里填一个数，按 Enter 或 Tab 到下一题', signs && '比大小的题点 ＞、＜ 或 ＝，也可以按键盘上的 >、<、='];
    const tip = element('p', {class: 'hint'}, items === this.items ? `${how.filter(Boolean).join('；')}，做完按“交卷”。`
      : `再做 ${items.length} 道错题（没答的也在内）。`);
    const lists = this.parts.map(({heading, items: all}) => {
      const shown = all.filter((item) => wanted.has(item));
      if (!shown.length)
        return null;
      return element('div', {class: 'practice-part'}, ...(heading ? [element('h3', {}, heading)] : []),
        element('ol', {class: 'practice-problems'}, ...shown.map((item) => this.row(item))));
    }).filter(Boolean);
    this.handIn = button('交卷', {class: 'primary', id: 'hand-in'});
    this.handIn.addEventListener('click', () => this.mark());
    const leave = button('返回练习纸', {id: 'leave-practice'});
    leave.addEventListener('click', () => {
      this.stopClock();
      this.onLeave();
    });
    this.result = element('div', {id: 'practice-result', class: 'practice-result', role: 'status', 'aria-live': 'polite'});
    this.after = element('div', {class: 'actions practice-after'});
    this.container.replaceChildren(head, tip, ...lists, element('div', {class: 'actions'}, this.handIn, leave),
                                   this.result, this.after, this.card ?? '');
    this.started = performance.now();
    this.seconds = 0;
    this.ticking = setInterval(() => this.tick(), 250);
    this.boxes = [...this.container.querySelectorAll('.answer')];
    this.boxes[0]?.focus({preventScroll: true});
  }

  tick() {
    this.seconds = (performance.now() - this.started) / 1000;
    this.clock.textContent = clockText(this.seconds);
  }

  stopClock() {
    clearInterval(this.ticking);
    this.ticking = undefined;
  }

  // A problem's row: its number, its text with the boxes in the blank's
  // place, and the place its mark goes.
  row(item) {
    const number = item.index + 1;
    const {before, after} = around(this.sheet, item.index);
    if (kinds[item.kind].signs)
      return this.signRow(item, number, before, after);
    const names = kinds[item.kind].boxes;
    item.boxes = names.map((name, i) => element('input', {
      type: 'text', inputmode: 'numeric', autocomplete: 'off', spellcheck: 'false', class: `answer answer-${i}`,
      'aria-label': names.length > 1 ? `第 ${number} 题的${name}` : `第 ${number} 题的答案`,
    }));
    const boxes = item.boxes.flatMap((box, i) => [
      ...(i > 0 ? [element('span', {class: 'dots'}, '……')] : []), box,
      ...(item.minus ? [this.minusKey(box)] : [])]);
    this.rowOf(item, number, before, boxes, after);
    item.read = () => item.boxes.map((box) => box.value);
    item.row.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' && event.target.matches('input.answer')) {
        event.preventDefault();
        const next = this.boxes[this.boxes.indexOf(event.target) + 1];
        (next ?? this.handIn).focus();
      }
    });
    return item.row;
  }

  // The row's number, its text with the controls in the blank's place, its mark.
  rowOf(item, number, before, controls, after) {
    item.verdict = element('span', {class: 'verdict', id: `verdict-${item.index}`});
    item.row = element('li', {value: number, class: 'practice-problem'},
      element('span', {class: 'number', 'aria-hidden': 'true'}, `${number})`),
      element('span', {class: 'expression'}, before, element('span', {class: 'boxes'}, ...controls), after),
      item.verdict);
  }

  // A comparison's row: a button for each sign in the circle's place, one
  // of them pressed at a time; typing one of the signs anywhere on the row
  // presses its button and goes on to the next problem, as Enter does from a box.
  signRow(item, number, before, after) {
    const {signs, typed} = kinds[item.kind];
    item.boxes = Object.entries(signs).map(([relation, [sign, name]]) =>
      button(sign, {class: 'answer sign', 'data-relation': relation, 'aria-pressed': 'false', 'aria-label': name}));
    const press = (chosen) => {
      for (const box of item.boxes)
        box.setAttribute('aria-pressed', String(box === chosen));
    };
    item.boxes.forEach((box) => box.addEventListener('click', () => press(box)));
    const group = element('span', {role: 'group', class: 'signs', 'aria-label': `第 ${number} 题的答案：${before}○${after}`}, ...item.boxes);
    this.rowOf(item, number, before, [group], after);
    item.read = () => [item.boxes.find((box) => box.getAttribute('aria-pressed') === 'true')?.dataset.relation ?? ''];
    item.row.addEventListener('keydown', (event) => {
      const relation = typed[event.key];
      if (!relation || item.boxes[0].disabled || event.ctrlKey || event.altKey || event.metaKey)
        return;
      event.preventDefault();
      press(item.boxes.find((box) => box.dataset.relation === relation));
      const next = this.boxes[this.boxes.indexOf(item.boxes.at(-1)) + 1];
      (next ?? this.handIn).focus();
    });
    return item.row;
  }

  // A phone's number pad may have no minus: the page's own puts one before
  // the box's number, or takes it away. Out of the Tab order, as a keyboard
  // has its own.
  minusKey(box) {
    const key = button('−', {class: 'minus', tabindex: '-1', 'aria-label': `${box.getAttribute('aria-label')}：正负号`});
    key.addEventListener('click', () => {
      box.value = /^\s*[-－−]/.test(box.value) ? box.value.replace(/^\s*[-－−]/, '') : `−${box.value.trim()}`;
      box.focus();
    });
    return key;
  }

  // 交卷: every box marked, the right answer beside a wrong or empty one.
  mark() {
    this.stopClock();
    this.tick();
    const missed = [];
    let right = 0;
    for (const item of this.current) {
      const verdict = mark(item.kind, item.problem, item.read());
      item.row.dataset.verdict = verdict;
      item.verdict.textContent = verdicts[verdict] + (verdict === 'right' ? '' : `，正确答案 ${rightAnswer(item.kind, item.problem)}`);
      for (const box of item.boxes) {
        // A sign's button is pressed no more; the one pressed stays shown.
        box[box.matches('button') ? 'disabled' : 'readOnly'] = true;
        box.setAttribute('aria-describedby', item.verdict.id);
      }
      verdict === 'right' ? ++right : missed.push(item);
    }
    for (const key of this.container.querySelectorAll('.minus'))
      key.disabled = true;
    this.handIn.disabled = true;
    const total = this.current.length;
    const wrong = missed.filter((item) => item.row.dataset.verdict === 'wrong').length;
    const time = clockText(this.seconds);
    this.result.textContent = `答对 ${right} 题，共 ${total} 题，用时 ${time}。` +
      (missed.length ? `错 ${wrong} 题，没答 ${missed.length - wrong} 题。` : '全部做对了！');
    if (!this.card) {
      const record = {when: new Date().toISOString(), link: this.about.link, right, total, seconds: Math.floor(this.seconds)};
      this.card = this.resultCard(record);
      this.onMarked(this.about.name(), record);
    } else if (!missed.length) {
      this.card.querySelector('.card-redo').textContent = '错题已全部改正。';
    }
    const actions = [];
    if (missed.length) {
      const again = button('再做错题', {id: 'redo', class: 'primary'});
      again.addEventListener('click', () => this.round(missed));
      actions.push(again);
    }
    const copy = button('复制成绩', {id: 'copy-result'});
    copy.addEventListener('click', () => this.copyCard());
    const print = button('打印成绩', {id: 'print-result'});
    print.addEventListener('click', () => {
      document.body.classList.add('printing-card');
      addEventListener('afterprint', () => document.body.classList.remove('printing-card'), {once: true});
      window.print();
    });
    this.after.replaceChildren(...actions, copy, print);
    this.container.append(this.card);
    this.after.firstChild.focus({preventScroll: true});
  }

  // The card for the teacher: name, date, sheet, right out of total, time.
  resultCard(record) {
    const lines = [
      ['姓名', this.about.name() || '（未填）'], ['日期', dateText(record.when)], ['练习', this.about.title],
      ['成绩', `答对 ${record.right} 题，共 ${record.total} 题`], ['用时', clockText(record.seconds)],
    ];
    this.cardText = `口算练习成绩\n${lines.map(([name, value]) => `${name}：${value}`).join('\n')}\n链接：${record.link}\n`;
    return element('section', {id: 'result-card', class: 'result-card', 'aria-label': '成绩单'},
      element('h2', {}, '口算练习成绩'),
      element('dl', {}, ...lines.flatMap(([name, value]) => [element('dt', {}, name), element('dd', {}, value)])),
      element('p', {class: 'card-redo'}));
  }

  // The card as text on the clipboard; where the page may not write there
  // (an older browser, a page from a file), the browser's copy command, and
  // failing that the text selected to copy by hand.
  async copyCard() {
    try {
      await navigator.clipboard.writeText(this.cardText);
      this.say('成绩已复制，可以粘贴发给老师。');
      return;
    } catch {
      // Tried below.
    }
    const area = element('textarea', {readonly: true, class: 'card-text', 'aria-label': '成绩（文字）'}, this.cardText);
    this.container.querySelector('.card-text')?.remove();
    this.container.append(area);
    area.select();
    const copied = document.execCommand?.('copy');
    this.say(copied ? '成绩已复制，可以粘贴发给老师。' : '请复制下面的文字，发给老师。');
    if (copied)
      area.remove();
  }
}
