// Served over http(s) or from localhost, the page keeps itself for offline
// use; opened from a file it has nothing to keep.
export function keepOffline() {
  if ('serviceWorker' in navigator && window.isSecureContext && location.protocol.startsWith('http'))
    navigator.serviceWorker.register('sw.js').catch(() => undefined);
}
