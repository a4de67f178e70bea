// Keeps the page and the engine on the device, so that once the page has
// been opened it opens, and makes sheets, without a network. Each answer
// comes from the store at once and is renewed from the network behind it,
// so a new version arrives with the next visit.

const store = 'sumlark-page-3';
const files = [
  './', 'index.html', 'style.css', 'manifest.webmanifest', 'icon.svg', 'icon-256.png',
  'app.js', 'address.js', 'download.js', 'draw.js', 'engine.js', 'form.js', 'measure.js', 'offline.js',
  'pages.js', 'papers.js', 'plan.js', 'plans.js', 'worker.js', 'fflate.js',
  'answers.js', 'practice.js', 'pupil.js', 'records.js',
  'sumlark.mjs', 'sumlark-engine.mjs', 'sumlark-engine.wasm',
];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(store).then((cache) => cache.addAll(files)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== store).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin)
    return;
  event.respondWith(caches.open(store).then(async (cache) => {
    // The address's query is the sheet, not another page.
    const kept = await cache.match(request, {ignoreSearch: request.mode === 'navigate'});
    const renewed = fetch(request).then((response) => {
      if (response.ok)
        cache.put(request.mode === 'navigate' ? new URL(request.url).pathname : request, response.clone());
      return response;
    });
    if (kept) {
      event.waitUntil(renewed.catch(() => undefined));
      return kept;
    }
    return renewed;
  }));
});
