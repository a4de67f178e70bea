// Finishes the built page folder: puts the zip library beside the page's
// modules, and writes the single file that opens from a USB stick
// (file://): the style, every module the page loads and the engine's
// WebAssembly inlined, the engine run on the page itself.
//   node web/tools/finish-page.mjs <built page folder>

import {readdirSync, readFileSync, writeFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {gzipSync} from 'node:zlib';

const folder = process.argv[2];
if (!folder) {
  console.error('usage: finish-page.mjs <built page folder>');
  process.exit(2);
}

const require = createRequire(import.meta.url);
let fflate;
try {
  fflate = require.resolve('fflate/package.json');
} catch {
  console.error('fflate is missing: run `PUPPETEER_SKIP_DOWNLOAD=1 npm ci` in web/ first');
  process.exit(1);
}
// Its minified build, wrapped as an ES module: a third of the size of its
// plain ES module.
const {version} = JSON.parse(readFileSync(fflate, 'utf8'));
writeFileSync(join(folder, 'fflate.js'),
  `/* fflate ${version}, its minified build as an ES module.\n${readFileSync(join(fflate, '../LICENSE'), 'utf8')}*/\n` +
  'const module = {exports: {}};\n' +
  `(function (module, exports) {\n${readFileSync(join(fflate, '../umd/index.js'), 'utf8')}\n}).call(globalThis, module, module.exports);\n` +
  'export const {zipSync, strToU8, strFromU8, unzipSync} = module.exports;\n');

const read = (name) => readFileSync(join(folder, name), 'utf8');
// Relative imports, static and dynamic: the names the loader below swaps
// for the modules' blob addresses.
const imports = /(\bfrom\s*|\bimport\s*\(?\s*)(['"])\.\/([\w.-]+)\2/g;

const own = new Set(readdirSync(fileURLToPath(new URL('../page', import.meta.url))));
const modules = {};
(function gather(name) {
  if (name in modules)
    return;
  // The page's own modules lose their comment lines; the engine's and the
  // library's are kept as they are.
  // A blob's address is no base for a relative one: each module's own
  // address becomes a name under a base of the loader's, whose wasm the
  // loader's fetch answers, and whose worker cannot start, so the engine
  // runs on the page.
  const text = read(name).replaceAll('import.meta.url', JSON.stringify(`sumlark:/${name}`));
  modules[name] = own.has(name) ? text.replace(/^\s*\/\/.*\n/gm, '') : text;
  for (const [, , , dependency] of modules[name].matchAll(imports))
    gather(dependency);
})('app.js');

// The wasm gzipped: the browser's DecompressionStream opens it.
const bundle = {modules, wasm: gzipSync(readFileSync(join(folder, 'sumlark-engine.wasm')), {level: 9}).toString('base64')};

const loader = `
const bundle = JSON.parse(document.getElementById('sumlark-modules').textContent);
const packed = Uint8Array.from(atob(bundle.wasm), (c) => c.charCodeAt(0));
const wasm = new Response(new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();
const fetched = globalThis.fetch;
// The engine's loader asks for its WebAssembly by name; a file page cannot fetch.
globalThis.fetch = (input, init) => String(input?.url ?? input).endsWith('sumlark-engine.wasm')
  ? wasm.then((bytes) => new Response(bytes, {headers: {'Content-Type': 'application/wasm'}}))
  : fetched(input, init);
const addresses = {};
const load = (name) => addresses[name] ??= URL.createObjectURL(new Blob(
  [bundle.modules[name].replace(${imports}, (all, before, quote, dependency) => before + quote + load(dependency) + quote)],
  {type: 'text/javascript'}));
import(load('app.js'));
`;

const json = JSON.stringify(bundle).replace(/</g, '\\u003c');
let page = read('index.html')
  .replace(/<link rel="manifest"[^>]*>\n?/, '')
  .replace(/<link rel="apple-touch-icon"[^>]*>\n?/, '')
  .replace(/<link rel="icon"[^>]*>/, `<link rel="icon" href="data:image/svg+xml;base64,${Buffer.from(read('icon.svg')).toString('base64')}">`)
  .replace(/<link rel="stylesheet" href="style.css">/, () => `<style>\n${read('style.css')}</style>`)
  .replace(/<script type="module" src="app.js"[^>]*><\/script>/, () =>
    `<script type="application/json" id="sumlark-modules">${json}</script>\n<script type="module">${loader}</script>`);
writeFileSync(join(folder, 'sumlark-offline.html'), page);

const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
console.log(`sumlark-offline.html: ${kb(Buffer.byteLength(page))}, gzipped ${kb(gzipSync(page, {level: 9}).length)}`);
