// SPDX-License-Identifier: GPL-3.0-or-later
// The page's start: the app installed and the page isolated (install.js),
// the engine in its worker with its status line, its settings form and, once
// it is gone, the button that starts a new one.
import { Analysis } from './analysis.js';
import { Engine } from './engine.js';
import { installApp } from './install.js';
import { settingsOptions } from './logic.js';
import { renderSettings } from './panels.js';

const $ = (id) => document.getElementById(id);
const setStatus = (text) => ($('engine-status').textContent = text);

// started(): the page can run its engine; without(): it cannot.
export function whenIsolated(started, without) {
  installApp((apply) => (($('update').hidden = false), ($('apply-update').onclick = apply))).then((isolated) => {
    if (isolated) return started();
    $('isolation').hidden = false;
    setStatus('Engine unavailable: the page is not cross-origin isolated');
    without();
  });
}

// The engine and its analyses. page: {log, refresh, ready(), restart(resume)}:
// ready() once it answers; restart(resume) starts a new one after it is gone,
// resume telling whether a position was being analysed.
export function startEngine(page) {
  $('restart-engine').hidden = true;
  const engine = new Engine('engine-worker.js', {
    onLine: (line) => page.log.add('←', line),
    onSent: (line) => page.log.add('→', line),
    onError: (message) => setStatus(`Engine error: ${message}`),
    onDead: (reason) => {
      const resume = !!analysis.position?.running; // before its search is told it ended
      setStatus(`Engine stopped: ${reason}. The board still works.`);
      Object.assign($('restart-engine'), { hidden: false, onclick: () => page.restart(resume) });
      document.body.dataset.engine = 'dead';
      page.refresh();
    },
  });
  const analysis = new Analysis(engine, page.refresh);
  engine.ready.then((ms) => {
    setStatus(`${engine.name} ready (${Math.round(ms)} ms)`);
    renderSettings($('settings-form'), settingsOptions(engine.options, engine.name), (name, value) =>
      engine.setOption(name, value));
    document.body.dataset.engine = 'ready';
    document.body.dataset.startupMs = Math.round(ms);
    page.ready();
  });
  return { engine, analysis };
}
