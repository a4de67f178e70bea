// The form, made from the engine's table of choices: every choice the
// window offers, with its defaults, its words and its list values; read as
// the command line's options, written back from them, and a refusal shown
// beside the choice it concerns.

// The main window's frames: its choices grouped as the window groups them.
const mainFrames = [
  {legend: '出数范围', keys: ['smallest', 'largest']},
  {legend: '题型', keys: ['type', 'remainder']},
  {legend: '生成选项', keys: ['count', 'per-line', 'numbered']},
];

// Choices a browser has no use for: where files go, their encoding, PDF files.
export const offered = (choice) => (choice.window === 'main' || choice.window === 'dialog') && choice.kind !== 'text';

const labelOf = (choice) => choice.label || choice.name;
const switchedOn = (choice) => choice.initial === '1';

export function element(tag, attributes = {}, ...children) {
  const made = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value !== undefined && value !== null && value !== false)
      made.setAttribute(name, value === true ? '' : value);
  }
  made.append(...children);
  return made;
}

function textInput(choice, id, value) {
  const numeric = Number(choice.lowest) >= 0;
  return element('input', {type: 'text', id, name: id, value: value ?? '', autocomplete: 'off', spellcheck: 'false',
                           inputmode: numeric ? 'numeric' : undefined});
}

// Where the window's words speak of its PDF export, the page's own: here
// paper, size and layout are those of the pages on screen and on paper.
const pageWords = {
  paper: {tip: '练习纸的纸张：网页上按它排版，打印时请在打印对话框里选同样的纸张'},
  'font-size': {label: '字号：', tip: '题目的字号（磅）；纸小放不下时每行少放几道，字号不变'},
  layout: {label: '版式：', tip: '竖式只排两个数、填得数的题；下载的文本练习纸总是横排'},
};

const stepRefusals = new Set(['RangeStepBelowOne', 'StepAcrossDigits', 'QuotientStep', 'StepInTwoSteps']);

// One choice's field: its control(s) and label, in a wrapper the refusal goes into.
function makeField(tableChoice) {
  const choice = {...tableChoice, ...pageWords[tableChoice.key]};
  const id = `c-${choice.key}`;
  const wrapper = element('div', {class: `field field-${choice.kind}`, 'data-key': choice.key});
  const hint = choice.window === 'dialog' && choice.tip ? element('small', {id: `${id}-hint`, class: 'hint'}, choice.tip) : null;
  let controls;
  if (choice.kind === 'switch') {
    controls = [element('input', {type: 'checkbox', id, name: id, checked: switchedOn(choice)})];
    wrapper.append(element('label', {class: 'check'}, controls[0], labelOf(choice)));
  } else if (choice.kind === 'range') {
    // From, to, and the step: every step-th number from the first, 1 when left empty.
    controls = [textInput(choice, `${id}-from`), textInput(choice, `${id}-to`), textInput({lowest: 1}, `${id}-step`)];
    controls[0].setAttribute('aria-label', `${choice.name}从`);
    controls[1].setAttribute('aria-label', `${choice.name}到`);
    controls[2].setAttribute('aria-label', `${choice.name}的步长`);
    controls[2].classList.add('step');
    wrapper.append(element('fieldset', {class: 'range'}, element('legend', {}, labelOf(choice)),
                           controls[0], element('span', {'aria-hidden': 'true'}, '到'), controls[1],
                           element('span', {'aria-hidden': 'true'}, '步长'), controls[2]));
  } else if (choice.items.length) {
    const select = element('select', {id, name: id});
    choice.items.forEach((item, place) => {
      select.append(element('option', {value: item.spelling, 'data-place': String(place)},
                            item.item || item.meaning || item.spelling));
    });
    select.selectedIndex = Number(choice.initial ?? 0) - Number(choice.lowest);
    controls = [select];
    wrapper.append(element('label', {for: id}, labelOf(choice)), select);
  } else {
    const input = textInput(choice, id, choice.initial);
    controls = [input];
    wrapper.append(element('label', {for: id}, labelOf(choice)), input);
    if (choice.suggestions?.length) {
      input.setAttribute('list', `${id}-list`);
      wrapper.append(element('datalist', {id: `${id}-list`}, ...choice.suggestions.map((value) => element('option', {value}))));
    }
    if (choice.unit)
      wrapper.append(element('span', {class: 'unit'}, choice.unit));
  }
  if (hint) {
    wrapper.append(hint);
    for (const control of controls)
      control.setAttribute('aria-describedby', hint.id);
  }
  return {choice, wrapper, controls, hint};
}

export class ChoiceForm {
  constructor(table, mainPart, morePart) {
    this.fields = new Map();
    const choices = table.filter(offered);
    for (const choice of choices)
      this.fields.set(choice.key, makeField(choice));
    const placed = new Set();
    for (const frame of mainFrames) {
      const keys = frame.keys.filter((key) => this.fields.has(key));
      keys.forEach((key) => placed.add(key));
      mainPart.append(element('fieldset', {class: 'frame'}, element('legend', {}, frame.legend),
                              ...keys.map((key) => this.fields.get(key).wrapper)));
    }
    for (const choice of choices) {
      if (!placed.has(choice.key))
        (choice.window === 'main' ? mainPart : morePart).append(this.fields.get(choice.key).wrapper);
    }
    this.defaults = this.read();
  }

  // The choices as the command line's options: spellings as strings, switches as true.
  read() {
    const options = {};
    for (const [key, {choice, controls}] of this.fields) {
      if (choice.kind === 'switch') {
        if (controls[0].checked !== switchedOn(choice))
          options[key] = true;
      } else if (choice.kind === 'range') {
        const step = controls[2].value.trim();
        if (controls[0].value !== '' || controls[1].value !== '')
          options[key] = `${controls[0].value}..${controls[1].value}${step === '' || step === '1' ? '' : `/${step}`}`;
      } else if (controls[0].value !== '') {
        options[key] = controls[0].value;
      }
    }
    return options;
  }

  // A range with one end typed and the other left empty, or a step that is
  // no whole number from 1 up or has no range, as a refusal of the page's
  // own: the engine would only see "5.." and answer in the command line's terms.
  unfinishedRange() {
    for (const [key, {choice, controls}] of this.fields) {
      if (choice.kind === 'range' && (controls[0].value === '') !== (controls[1].value === ''))
        return {choices: [key], text: `${choice.name}的范围要填两个数，从小的到大的；两个都空着就是不限。`};
      const step = choice.kind === 'range' ? controls[2].value.trim() : '';
      if (step !== '' && !/^[0-9]+$/.test(step) || /^0+$/.test(step))
        return {choices: [key], text: `${choice.name}的步长要是 1 或更大的整数；空着就是 1。`, code: 'RangeStepBelowOne'};
      if (step !== '' && step !== '1' && controls[0].value === '')
        return {choices: [key], text: `${choice.name}的步长要和范围一起用：请填上范围，或者把步长空着。`, code: 'RangeStepBelowOne'};
    }
    return null;
  }

  // The options that differ from the form's defaults, in the table's order.
  changed(options) {
    return Object.fromEntries(Object.entries(options).filter(([key, value]) => this.defaults[key] !== value));
  }

  // Sets every field from options, the defaults where an option is not given.
  write(options) {
    for (const [key, {choice, controls}] of this.fields) {
      const value = key in options ? options[key] : this.defaults[key];
      if (choice.kind === 'switch') {
        controls[0].checked = value === undefined ? switchedOn(choice) : !switchedOn(choice);
      } else if (choice.kind === 'range') {
        const whole = value ?? '';
        const slash = whole.indexOf('/');
        const text = slash < 0 ? whole : whole.slice(0, slash);
        const cut = text.indexOf('..', 1);
        controls[0].value = cut < 0 ? text : text.slice(0, cut);
        controls[1].value = cut < 0 ? '' : text.slice(cut + 2);
        controls[2].value = slash < 0 ? '' : whole.slice(slash + 1);
      } else if (controls[0].tagName === 'SELECT') {
        selectSpelling(controls[0], choice, value ?? '');
      } else {
        controls[0].value = value ?? '';
      }
    }
  }

  // Marks the choices a refusal names and puts its words beside the first.
  mark(refusal) {
    this.clearMarks();
    const fields = refusal.choices.map((key) => this.fields.get(key)).filter(Boolean);
    if (!fields.length)
      return false;
    for (const field of fields) {
      for (const control of field.controls)
        control.setAttribute('aria-invalid', 'true');
    }
    const first = fields[0];
    const id = `c-${first.choice.key}-refusal`;
    first.wrapper.append(element('p', {id, class: 'refusal', role: 'alert'}, refusal.text));
    for (const control of first.controls)
      control.setAttribute('aria-describedby', [id, first.hint?.id].filter(Boolean).join(' '));
    first.wrapper.closest('details')?.setAttribute('open', '');
    // A refusal of a step puts the focus in the step's box.
    first.controls[stepRefusals.has(refusal.code) && first.choice.kind === 'range' ? 2 : 0].focus();
    return true;
  }

  clearMarks() {
    for (const {controls, wrapper, hint} of this.fields.values()) {
      wrapper.querySelector('.refusal')?.remove();
      for (const control of controls) {
        control.removeAttribute('aria-invalid');
        if (hint)
          control.setAttribute('aria-describedby', hint.id);
        else
          control.removeAttribute('aria-describedby');
      }
    }
  }
}

// A list's item by its spelling or, where the choice takes it, its place; a
// value the list does not hold is kept as an item of its own, so that the
// engine's refusal names it.
function selectSpelling(select, choice, value) {
  select.querySelector('option[data-typed]')?.remove();
  const options = [...select.options];
  let found = options.find((option) => option.value === value);
  if (!found && choice.byPlace && /^\d+$/.test(value))
    found = options.find((option) => Number(option.dataset.place) + Number(choice.lowest) === Number(value));
  if (!found) {
    found = element('option', {value, 'data-typed': 'true'}, value);
    select.append(found);
  }
  select.value = found.value;
}
