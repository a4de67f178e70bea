// The engine's own thread: calls from the page by name, answered by id.
import {choiceTable, makeSheets} from './sumlark.mjs';

const calls = {choiceTable, makeSheets};

self.onmessage = async ({data: {id, name, options}}) => {
  try {
    self.postMessage({id, result: await calls[name](options)});
  } catch (error) {
    self.postMessage({id, error: String(error?.message ?? error)});
  }
};
// The module and everything it imports loaded: the page may call.
self.postMessage({ready: true});
