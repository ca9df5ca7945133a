// SPDX-License-Identifier: GPL-3.0-or-later
// The page as an app, in headless Chromium: served by a plain static server
// (isolated by its service worker after one reload), installable, reloaded
// and played with the network gone, updated to a new build, and on phones.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, appendFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { kit, launch, newPage, root, serve, webDir } from './kit.mjs';

// A lone king against two queens: the engine mates in a few moves, whatever the user plays.
const MATING = '8/8/8/3k4/8/8/8/QQ4K1 w - - 0 1';

test('the page as an app', { timeout: 10 * 60000 }, async (t) => {
  const browser = await launch();
  const copy = mkdtempSync(path.join(tmpdir(), 'solvane-web-'));
  cpSync(webDir, copy, { recursive: true });
  const host = await serve(copy, { plainServer: true });
  t.after(async () => {
    await browser.close();
    host.kill();
    rmSync(copy, { recursive: true, force: true });
  });
  const page = await newPage(browser);
  const k = kit(page);

  await t.test('a plain static host: isolated by the service worker after one reload, the engine starts', async () => {
    let loads = 0;
    page.on('framenavigated', (frame) => frame === page.mainFrame() && loads++);
    await page.goto(host.url);
    await k.ready();
    assert.deepEqual([await page.evaluate(() => self.crossOriginIsolated), loads], [true, 2]);
    console.log(`# plain host, first visit to engine ready (after the reload): ${await k.state('startupMs')} ms`);
    // With its service worker bypassed, the page says why the engine cannot start.
    const bare = await newPage(browser);
    await bare.setBypassServiceWorker(true);
    await bare.goto(host.url);
    await bare.waitForSelector('#isolation:not([hidden])');
    assert.match(await kit(bare).text('#engine-status'), /not cross-origin isolated/);
    await bare.close();
  });

  await t.test('installable: a manifest Chromium accepts, with its icons', async () => {
    const installed = await browser.newPage(); // incognito contexts install nothing
    await installed.goto(host.url);
    await kit(installed).ready();
    const cdp = await installed.createCDPSession();
    assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    const manifest = await installed.evaluate(() => fetch('manifest.webmanifest').then((r) => r.json()));
    assert.equal(manifest.display, 'standalone');
    await installed.close();
  });

  await t.test('offline: the network gone, the page reloads, its engine starts and plays a game to its end', async () => {
    host.kill();
    await page.setOfflineMode(true);
    await k.reload();
    await k.ready();
    await page.select('#side', 'b');
    await k.level('depth', '3');
    await page.click('#new-game');
    await k.load(MATING);
    // The engine mates; the user answers with any legal move.
    for (let ply = 1; !(await page.$eval('#banner', (b) => !b.hidden)); ply++) {
      await k.settled(ply);
      if (await page.$eval('#banner', (b) => b.hidden)) (await k.playAny('click', MATING), ply++);
      assert.ok(ply < 60, 'no mate');
    }
    assert.equal(await k.text('#banner'), 'Checkmate: White wins (1-0)');
    await page.setOfflineMode(false);
  });

  await t.test('a new build replaces the cached one once the page is told and the user agrees', async () => {
    const again = await serve(copy, { plainServer: true });
    t.after(again.kill);
    const updated = await newPage(browser);
    await updated.goto(again.url);
    await kit(updated).ready();
    appendFileSync(path.join(copy, 'style.css'), '\n/* a new build */\n');
    execFileSync('node', [path.join(root, 'web/make-sw.mjs'), copy]);
    const version = /VERSION = '(\w+)'/.exec(readFileSync(path.join(copy, 'sw.js'), 'utf8'))[1];
    await kit(updated).reload();
    await updated.waitForSelector('#update:not([hidden])');
    await Promise.all([updated.waitForNavigation(), updated.click('#apply-update')]);
    await kit(updated).ready();
    assert.deepEqual(await updated.evaluate(() => caches.keys()), [`solvane-${version}`]);
    assert.match(await updated.evaluate(() => fetch('style.css').then((r) => r.text())), /a new build/);
    await updated.close();
  });

  await t.test('phones: nothing wider than the screen, every control on it, the board its width, a game by taps', async () => {
    const served = await serve();
    t.after(served.kill);
    for (const [width, height] of [[360, 640], [390, 844]]) {
      const phone = await newPage(browser, { width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
      const p = kit(phone);
      await phone.goto(served.url);
      await p.ready();
      await phone.select('#clock-control', '5+0');
      await p.level('depth', '2');
      await phone.tap('#new-game');
      for (const ply of [0, 2, 4]) {
        const choices = await p.legal();
        await p.play(['e2e4', 'g1f3', 'f1c4'].find((move) => choices.includes(move)) ?? choices[0], 'tap');
        await p.settled(ply + 2);
      }
      const layout = await phone.evaluate(() => ({
        scroll: document.documentElement.scrollWidth,
        board: document.querySelector('#board').getBoundingClientRect().width,
        // Every control shown, closed drawers apart, lies within the screen's width.
        off: [...document.querySelectorAll('button, select, input, textarea, summary, .move')]
          .filter((e) => e.getClientRects().length)
          .filter((e) => e.getBoundingClientRect().left < 0 || e.getBoundingClientRect().right > innerWidth)
          .map((e) => e.id || e.textContent),
      }));
      assert.deepEqual(layout.off, [], `${width}`);
      assert.ok(layout.scroll <= width && layout.board >= 0.9 * width, `${width}: ${JSON.stringify(layout)}`);
      await p.shot(`web-phone-${width}x${height}`);
      await phone.close();
    }
    // The desktop, a reviewed game at its worst move.
    const desk = await newPage(browser, { width: 1280, height: 800 });
    const d = kit(desk);
    await desk.goto(served.url);
    await d.ready();
    await d.load('1. e4 e5 2. Nf3 Nc6 3. Bc4 Nd4 4. Nxe5 Qg5 5. Nxf7 Qxg2 6. Rf1 Qxe4+ 7. Be2 Nf3# 0-1');
    await desk.click('#review');
    await d.until(() => /reviewed/.test(document.querySelector('#game-message').textContent));
    await desk.click('#next-mistake');
    await desk.evaluate(() => scrollTo(0, 0));
    await d.shot('web-desktop-1280x800');
  });

  assert.deepEqual(page.errors.filter((e) => !/ERR_INTERNET_DISCONNECTED|Failed to load resource/.test(e)), []);
});
