// 练习记录: each name's last marked practices, on this device only (the
// browser's localStorage), listed under 练习记录 and deleted one at a time or
// all at once, after asking.

import {element} from './form.js';

const storeKey = 'sumlark-practice-records';
const kept = 20;
export const noName = '（未填姓名）';

export class PracticeRecords {
  constructor(storage) {
    this.storage = storage;
  }

  // {name: [record, newest first]}; the storage is anyone's to edit, so
  // what is not a list of records is left out.
  all() {
    let stored;
    try {
      stored = JSON.parse(this.storage?.getItem(storeKey) ?? '{}');
    } catch {
      stored = {};
    }
    const lists = Object.entries(stored && typeof stored === 'object' ? stored : {})
      .map(([name, list]) => [name, Array.isArray(list) ? list.filter((record) => record && typeof record.when === 'string') : []]);
    return Object.fromEntries(lists.filter(([, list]) => list.length));
  }

  write(all) {
    this.storage.setItem(storeKey, JSON.stringify(all));
  }

  // record: {when (ISO time), link, right, total, seconds}.
  add(name, record) {
    const all = this.all();
    const key = name || noName;
    all[key] = [record, ...(all[key] ?? [])].slice(0, kept);
    this.write(all);
  }

  remove(name, when) {
    const all = this.all();
    all[name] = (all[name] ?? []).filter((record) => record.when !== when);
    if (!all[name].length)
      delete all[name];
    this.write(all);
  }

  clear() {
    this.storage.removeItem(storeKey);
  }
}

export const clockText = (seconds) =>
  `${String(Math.floor(seconds / 60)).padStart(2, '0')}:${String(Math.floor(seconds % 60)).padStart(2, '0')}`;

export const dateText = (when) => {
  const date = new Date(when);
  const two = (value) => String(value).padStart(2, '0');
  return `${date.getFullYear()}-${two(date.getMonth() + 1)}-${two(date.getDate())} ${two(date.getHours())}:${two(date.getMinutes())}`;
};


// The list under 练习记录, each name's records newest first; ask(text) asks
// before a deletion (the browser's confirm).
export function showRecords(container, records, ask = (text) => confirm(text)) {
  const all = records.all();
  const redraw = () => showRecords(container, records, ask);
  const names = Object.keys(all);
  if (!names.length) {
    container.replaceChildren(element('p', {class: 'hint'}, '还没有练习记录。交卷以后，成绩记在这台设备上，不会发到别处。'));
    return;
  }
  const lists = names.map((name) => element('section', {class: 'record-name'}, element('h3', {}, name),
    element('ul', {}, ...all[name].map((record) => {
      const words = `${dateText(record.when)}　答对 ${record.right}/${record.total}　用时 ${clockText(record.seconds)}`;
      const remove = element('button', {type: 'button', 'aria-label': `删除 ${name} ${words} 这条记录`}, '删除');
      remove.addEventListener('click', () => {
        if (ask(`删除 ${name} ${dateText(record.when)} 的这条练习记录吗？`)) {
          records.remove(name, record.when);
          redraw();
        }
      });
      return element('li', {}, element('span', {}, words), ...(/^(https?|file):/.test(record.link) ? [element('a', {href: record.link}, '这份练习')] : []), remove);
    }))));
  const clear = element('button', {type: 'button', id: 'records-clear'}, '全部删除');
  clear.addEventListener('click', () => {
    if (ask('删除这台设备上的全部练习记录吗？删除后不能恢复。')) {
      records.clear();
      redraw();
    }
  });
  container.replaceChildren(...lists, element('div', {class: 'actions'}, clear));
}
