// SPDX-License-Identifier: GPL-3.0-or-later
// The page as an app: its service worker registered; the one reload after
// which a page served without the isolation headers is isolated by that
// worker; a new build, once its files are cached, offered as an update.
const RELOADING = 'solvane-isolating';

// Resolves true when the page is cross-origin isolated, false when it cannot
// be (no service worker here, or the reload did not isolate it); it does not
// resolve when the page reloads. onUpdate(apply): a new build is ready, and
// apply() reloads the page with it.
export function installApp(onUpdate) {
  const workers = navigator.serviceWorker;
  if (!workers) return Promise.resolve(self.crossOriginIsolated);
  const registered = workers.register('sw.js').then((registration) => {
    watchUpdates(registration, onUpdate);
    return registration;
  }, () => null);
  if (self.crossOriginIsolated) {
    sessionStorage.removeItem(RELOADING);
    return Promise.resolve(true);
  }
  // Once is enough: a worker that does not isolate the page will not on the next load either.
  if (sessionStorage.getItem(RELOADING)) return Promise.resolve(false);
  return registered.then(async (registration) => {
    if (!registration) return false;
    // A worker that cannot install (a file missing on the host) never becomes ready.
    await Promise.race([workers.ready, new Promise((resolve) => setTimeout(resolve, 15000))]);
    if (!registration.active) return false;
    sessionStorage.setItem(RELOADING, 'yes');
    location.reload();
    return new Promise(() => {});
  });
}

function watchUpdates(registration, onUpdate) {
  // Without a controller this is the first build installed, not an update.
  const offer = (worker) => navigator.serviceWorker.controller && onUpdate(() => {
    navigator.serviceWorker.addEventListener('controllerchange', () => location.reload());
    worker.postMessage('update');
  });
  if (registration.waiting) offer(registration.waiting);
  registration.addEventListener('updatefound', () => {
    const worker = registration.installing;
    worker.addEventListener('statechange', () => worker.state === 'installed' && offer(worker));
  });
}
