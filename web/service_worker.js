// Keeps the site's own files, so that the page loads and plays with no network. Each is asked
// of the network first, so that a new version of the site takes effect at the next load, and
// kept; the copy kept answers when the network does not. Nothing else is answered from here:
// a saved game of the site (a watch, the board) always comes from the network, live.

const KEPT = 'orbalune-site';
const SITE_FILES = [
  '', 'index.html', 'style.css', 'page.js', 'session.js', 'storage.js', 'board.js', 'follow.js',
  'choices.js', 'terminal_fit.js', 'keyboard_input.js', 'offline.js', 'orbalune.js', 'orbalune.wasm',
  'xterm.mjs', 'xterm.css', 'addon-fit.mjs', 'manifest.webmanifest', 'icon.svg', 'icon-192.png',
  'icon-512.png',
];

// The site file `url` names (its address without the query), or null for anything else.
function siteFile(url) {
  const scope = self.registration.scope;
  const address = url.split(/[?#]/)[0];
  if (!address.startsWith(scope)) {
    return null;
  }
  const file = address.slice(scope.length);
  return SITE_FILES.includes(file) ? new URL(file || 'index.html', scope).href : null;
}

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(KEPT)
    .then((kept) => kept.addAll(SITE_FILES.slice(1)))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const file = event.request.method === 'GET' ? siteFile(event.request.url) : null;
  if (file) {
    event.respondWith(fromNetworkElseKept(event.request, file));
  }
});

async function fromNetworkElseKept(request, file) {
  const kept = await caches.open(KEPT);
  try {
    const response = await fetch(request);
    if (response.ok) {
      await kept.put(file, response.clone());
    }
    return response;
  } catch (offline) {
    const copy = await kept.match(file);
    if (copy) {
      return copy;
    }
    throw offline;
  }
}
