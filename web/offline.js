// The page without a network: a service worker keeps the site's own files, so that after one
// visit the page loads and plays offline (games are in the browser's storage already). Service
// workers need a secure page (https, or localhost), as the browser's locks do; elsewhere, and
// wherever the worker fails, the page simply works online only.

export function keepForOffline() {
  if ('serviceWorker' in navigator && window.isSecureContext) {
    navigator.serviceWorker.register('service_worker.js').catch((error) =>
      console.warn(`orbalune: the page will not load offline: ${error}`));
  }
  const note = document.getElementById('offline');
  const show = () => {
    note.hidden = navigator.onLine;
  };
  addEventListener('online', show);
  addEventListener('offline', show);
  show();
}
