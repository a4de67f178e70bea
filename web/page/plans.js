// Plans: the options of a sheet as the command line's plan files hold them
// (its long option names without "--", spellings as strings, switches
// true), with an optional list of sections, each a heading and its own
// problem options. Read from a file or a link, written as a file or into
// a link, and kept in the browser under names.

const shelfKey = 'sumlark-plans';

// What a file or a link holds, as a plan, or an Error whose words say what
// is wrong with it. Whether its options make sheets is the engine's to say.
export function readPlan(text) {
  let plan;
  try {
    plan = JSON.parse(text);
  } catch {
    throw new Error('这不是方案文件：方案文件是 JSON 格式的文本。');
  }
  const flat = (value) => value !== null && typeof value === 'object' && !Array.isArray(value) &&
    Object.entries(value).every(([key, item]) => key === 'sections' || typeof item === 'string' || item === true);
  if (!flat(plan))
    throw new Error('这不是方案文件：方案里每个条件的值要是文字，开关是 true。');
  if (plan.sections !== undefined && !(Array.isArray(plan.sections) && plan.sections.every(flat)))
    throw new Error('这不是方案文件：方案的 sections 要是一列段落，每段是它的出题条件。');
  return plan;
}

// The plan as the file the command line reads.
export const planFile = (plan) => new Blob([`${JSON.stringify(plan, null, 2)}\n`], {type: 'application/json'});

// base64url of the plan's JSON in UTF-8, for the address's #plan=.
export function planInAddress(plan) {
  const bytes = new TextEncoder().encode(JSON.stringify(plan));
  let binary = '';
  for (const byte of bytes)
    binary += String.fromCharCode(byte);
  return btoa(binary).replaceAll('+', '-').replaceAll('/', '_').replace(/=+$/, '');
}

// A link cut short or mistyped is told as such, whatever of it is left.
export function planFromAddress(text) {
  try {
    const binary = atob(text.replaceAll('-', '+').replaceAll('_', '/'));
    return readPlan(new TextDecoder('utf-8', {fatal: true}).decode(Uint8Array.from(binary, (c) => c.charCodeAt(0))));
  } catch {
    throw new Error('链接里的方案不完整，请把整个链接复制过来再打开。');
  }
}

// The plans kept in this browser, by name, in the order they were first saved.
// A browser that keeps nothing (storage turned off) says so when asked to keep.
export class PlanShelf {
  constructor(storage) {
    this.storage = storage;
  }

  all() {
    try {
      const kept = JSON.parse(this.storage?.getItem(shelfKey) ?? '{}');
      return kept && typeof kept === 'object' && !Array.isArray(kept) ? kept : {};
    } catch {
      return {};
    }
  }

  names() {
    return Object.keys(this.all());
  }

  get(name) {
    return this.all()[name];
  }

  #write(plans) {
    try {
      this.storage.setItem(shelfKey, JSON.stringify(plans));
    } catch {
      throw new Error('这个浏览器不让网页保存东西（也许关掉了网站数据），方案没有存上；可以用“导出方案”存成文件。');
    }
  }

  put(name, plan) {
    this.#write({...this.all(), [name]: plan});
  }

  remove(name) {
    const plans = this.all();
    delete plans[name];
    this.#write(plans);
  }
}
