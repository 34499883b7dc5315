// The page served from a web address: its service worker (sw.js) keeps it
// for offline use, and a new version waiting is offered ("A new version is
// ready: reload"). Opened from disk, or where the page was built without a
// site (no <meta name="quillmore-site">), nothing is registered.

// Registers the service worker, and calls onWaiting(takeOver) when a new
// version waits; takeOver lets it take over and reloads the page.
export function offerUpdates(onWaiting) {
  const site = document.querySelector('meta[name="quillmore-site"]');
  if (!site || location.protocol === 'file:' || !('serviceWorker' in navigator)) return;
  const state = { reloading: false };
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (!state.takingOver || state.reloading) return;
    state.reloading = true;
    location.reload();
  });
  navigator.serviceWorker
    .register(site.content, { updateViaCache: 'none' })
    .then((registration) => {
      const waiting = () => {
        if (!registration.waiting || !navigator.serviceWorker.controller) return;
        onWaiting(() => {
          state.takingOver = true;
          registration.waiting.postMessage('take-over');
        });
      };
      waiting();
      registration.addEventListener('updatefound', () => {
        const installing = registration.installing;
        installing.addEventListener('statechange', () => installing.state === 'installed' && waiting());
      });
    })
    .catch(() => {}); // a page that cannot keep itself still works while it is open
}
