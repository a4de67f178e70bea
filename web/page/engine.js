// The engine, in a module worker so that a large sheet never holds the
// page still; on the page itself where a worker cannot start (a page opened
// from a file, a browser without module workers).

function workerEngine() {
  return new Promise((resolve, reject) => {
    const worker = new Worker(new URL('./worker.js', import.meta.url), {type: 'module'});
    const waiting = new Map();
    let next = 0;
    const call = (name, options) => new Promise((done, fail) => {
      waiting.set(++next, {done, fail});
      worker.postMessage({id: next, name, options});
    });
    worker.onerror = (event) => {
      event.preventDefault?.();
      reject(new Error(event.message || '工作线程无法启动'));
    };
    worker.onmessage = ({data}) => {
      if (data.ready) {
        // Should the thread die later (out of memory), the calls it holds
        // fail with the reason rather than wait for ever.
        worker.onerror = (event) => {
          event.preventDefault?.();
          for (const {fail} of waiting.values())
            fail(new Error(event.message || '出题线程意外停止了，请重新打开网页'));
          waiting.clear();
        };
        resolve({choiceTable: () => call('choiceTable'), makeSheets: (options) => call('makeSheets', options)});
        return;
      }
      const {done, fail} = waiting.get(data.id);
      waiting.delete(data.id);
      data.error === undefined ? done(data.result) : fail(new Error(data.error));
    };
  });
}

async function pageEngine() {
  const {choiceTable, makeSheets} = await import('./sumlark.mjs');
  return {choiceTable, makeSheets};
}

export async function startEngine() {
  try {
    return await workerEngine();
  } catch {
    return pageEngine();
  }
}
