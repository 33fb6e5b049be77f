// The page's commands to the native side and its handling of the replies:
// import, removal, clip lookup, snapshots, merge, recording, settings.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { renameSync, unlinkSync, writeFileSync } from 'node:fs';
import { launch, openPage, readText, scratchFolder } from './harness.mjs';
import { freeGpsTrack, clipFile } from './fixtures.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const card = () => scratchFolder('vek-card-');
const decoded = (url, word) => decodeURIComponent(url.slice(`http://${word}/`.length));

async function importClips(page, native, names, { seconds = 5, dir = card() } = {}) {
  const chosen = names.map((n) => native.addClip(dir, n, freeGpsTrack(n, { seconds }), clipFile(seconds)));
  native.chosen = chosen;
  await page.click('.toolbar [data-act="import"]');
  await page.waitForFunction((n) => document.querySelectorAll('.clip').length >= n, names.length);
  return chosen;
}

const clipNames = (page) => page.$$eval('.clip-name', (els) => els.map((e) => e.textContent));

describe('clip list', () => {
  it('starts empty, imports, highlights the imported clip and plays it', async () => {
    const { page, native, context } = await openPage(browser);
    assert.equal(await page.locator('.clips-empty p').textContent(), 'No clips yet: import or drop clips from your card');
    const [a, b] = await importClips(page, native, ['2016_0301_100507_001.MOV', '2016_0301_100512_002.MOV']);
    assert.equal(native.sent('file_copy_fun').length, 1);
    assert.deepEqual(await clipNames(page), ['2016_0301_100507_001.MOV', '2016_0301_100512_002.MOV']);
    assert.equal(await page.locator('.clip.current .clip-name').textContent(), '2016_0301_100507_001.MOV');
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    assert.equal(await page.evaluate(() => VEK.app.viewer.playingPath), a);
    await page.waitForFunction(() => document.querySelectorAll('.clip-duration:not(:empty)').length === 2);
    // The key 10:05:07 is the camera's UTC plus the hour the extractor adds, shown in the browser's UTC.
    assert.equal(await page.locator('.clip.current .clip-when').textContent(), '2016-03-01 09:05:07');
    assert.ok(b);
    await context.close();
  });

  it('an import that takes nothing in says so and keeps the list and the playing clip', async () => {
    const { page, native, context } = await openPage(browser);
    await importClips(page, native, ['KEEP0001.MOV']);
    native.chosen = [];
    await page.click('.toolbar [data-act="import"]');
    await page.locator('.toast', { hasText: 'No new clips were imported' }).waitFor();
    assert.deepEqual(await clipNames(page), ['KEEP0001.MOV']);
    assert.equal(await page.evaluate(() => document.querySelector('video').paused), false);
    await context.close();
  });

  it('removes clips with their paths exactly as listed, and the list after the reload lacks them', async () => {
    const { page, native, context } = await openPage(browser);
    const names = ["o'neil 行車 #1%41.MOV", 'plain.MOV', 'back\\slash ?.MOV'];
    const paths = await importClips(page, native, names);
    await page.click('.clip:has-text("plain.MOV") .clip-main');
    await page.hover('.clip:has-text("o\'neil")');
    await page.click('.clip:has-text("o\'neil") .clip-remove');
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 2);
    assert.equal(decoded(native.sent('file_del_fun')[0], 'file_del_fun'), paths[0] + ',');
    await page.check('.clip:has-text("plain.MOV") .clip-pick');
    await page.check('.clip:has-text("back") .clip-pick');
    await page.click('[data-act="remove-picked"]');
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 0);
    assert.equal(decoded(native.sent('file_del_fun')[1], 'file_del_fun'), paths[2] + ',' + paths[1] + ',');
    // The removal reloads the page, which shows the empty list once its settings and list are in.
    await page.locator('.clips-empty').waitFor({ state: 'visible' });
    await context.close();
  });

  it('keeps every row with its own clip and route when folder and file names hold commas', async () => {
    const { page, native, context } = await openPage(browser);
    const dir = join(card(), 'Trip, day 1');
    const names = ['2016_0301_100507_001.MOV', '2016_0301_100512_002,b.MOV', '2016_0301_100517_003.MOV'];
    const paths = names.map((n, i) => native.addClip(dir, n,
      freeGpsTrack(n, { start: { y: 2016, mo: 3, d: 1, h: 10, mi: 5, s: 7 + 5 * i } }), clipFile(5)));
    native.chosen = paths;
    await page.click('.toolbar [data-act="import"]');
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 3);
    assert.deepEqual(await clipNames(page), names);
    // Each row's time comes from its own track: the camera's key less the hour the extractor adds.
    const shown = ['2016-03-01 09:05:07', '2016-03-01 09:05:12', '2016-03-01 09:05:17'];
    await page.waitForFunction((want) => [...document.querySelectorAll('.clip-when')]
      .map((e) => e.textContent).join() === want.join(), shown).catch(() => {});
    assert.deepEqual(await page.$$eval('.clip-when', (els) => els.map((e) => e.textContent)), shown);
    assert.deepEqual(await page.evaluate(() => VEK.app.viewer.clips.map((c) => c.path)), paths);
    await page.check('.clip:has-text("_003") .clip-pick');
    await page.check('.clip:has-text("_002") .clip-pick');
    await page.click('[data-act="merge"]');
    await page.locator('.toast.ok', { hasText: 'Export completed' }).waitFor();
    const pieces = native.sent('merger')[0].slice('http://merger/'.length).split(',').map(decodeURIComponent);
    assert.deepEqual(pieces, [paths[1], paths[2]]);
    await page.hover('.clip:has-text("_002")');
    await page.click('.clip:has-text("_002") .clip-remove');
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 2);
    assert.deepEqual(await clipNames(page), [names[0], names[2]]);
    await context.close();
  });

  it('after a reload the clip shown before comes back, paused', async () => {
    const { page, native, context } = await openPage(browser);
    await importClips(page, native, ['A0000001.MOV', 'B0000002.MOV']);
    await page.click('.clip:has-text("A0000001") .clip-main');
    await native.reload();
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 2);
    assert.equal(await page.locator('.clip.current .clip-name').textContent(), 'A0000001.MOV');
    assert.equal(await page.evaluate(() => document.querySelector('video').paused), true);
    await context.close();
  });

  it('plays the next clip when one ends', async () => {
    const { page, native, context } = await openPage(browser);
    await importClips(page, native, ['NEXT0001.MOV', 'NEXT0002.MOV'], { seconds: 2 });
    assert.equal(await page.locator('.clip.current .clip-name').textContent(), 'NEXT0001.MOV');
    await page.waitForFunction(() => document.querySelector('.clip.current .clip-name').textContent === 'NEXT0002.MOV',
      null, { timeout: 8000 });
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    await context.close();
  });
});

describe('clip list under many reports', () => {
  it('keeps the rows of clips still listed, in name order, and leaves unchanged rows untouched', async () => {
    const { page, native, context } = await openPage(browser);
    const dir = card();
    const paths = ['A.MOV', 'B.MOV', 'C.MOV', 'D.MOV'].map((n) => native.addClip(dir, n, freeGpsTrack(n), clipFile(5)));
    const report = (listed) => {
      native.clips = listed.map((i) => paths[i]);
      native.tracks = native.clips.map((p) => join(native.userPath, p.slice(dir.length + 1).replace('.MOV', '.data')));
      return native.report('0');
    };
    const rows = () => page.$$eval('.clip', (els) => els.map((e) => e.querySelector('.clip-name').textContent + (e.__mark || '')));
    await report([2, 0]);
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 2);
    await page.waitForFunction(() => document.querySelectorAll('.clip-when:not(:empty)').length === 2);
    await page.evaluate(() => {
      document.querySelectorAll('.clip').forEach((e) => { e.__mark = '*'; });
      window.__touched = [];
      new MutationObserver((records) => records.forEach((r) => {
        const row = (r.target.nodeType === 1 ? r.target : r.target.parentElement).closest('.clip');
        if (row && row.__mark && r.target !== row) window.__touched.push(row.querySelector('.clip-name').textContent);
      })).observe(document.querySelector('[data-r="clip-list"]'), { subtree: true, childList: true, characterData: true, attributes: true });
    });
    await report([1, 2, 0]);
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 3);
    assert.deepEqual(await rows(), ['A.MOV*', 'B.MOV', 'C.MOV*'], 'the new row goes between, the others stay');
    assert.deepEqual(await page.evaluate(() => window.__touched), [], 'rows already shown are not written again');
    await report([3, 2]);
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 2);
    assert.deepEqual(await rows(), ['C.MOV*', 'D.MOV']);
    assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('.clip')].map((e) => e.dataset.index)), ['0', '1']);
    await context.close();
  });
});

describe('clip lookup', () => {
  it('asks for the clip\'s other spellings when it does not play, and plays the one that exists', async () => {
    const { page, native, context } = await openPage(browser);
    const [path] = await importClips(page, native, ['MOVED001.MOV']);
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    const lower = path.replace(/\.MOV$/, '.mov');
    renameSync(path, lower);
    await page.click('.clip .clip-main');
    await page.waitForFunction((p) => VEK.app.viewer.playingPath === p, lower);
    const candidates = decoded(native.sent('check_file')[0], 'check_file').split(',');
    assert.equal(candidates[0], path);
    assert.ok(candidates.includes(lower));
    assert.ok(candidates.length <= 8);
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    assert.equal(await page.locator('[data-r="video-notice"]').isHidden(), true);
    await context.close();
  });

  it('says the clip is missing when no candidate exists', async () => {
    const { page, native, context } = await openPage(browser);
    const [path] = await importClips(page, native, ['GONE0001.MOV']);
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    renameSync(path, path + '.away');
    await page.click('.clip .clip-main');
    await page.locator('[data-r="video-notice"]', { hasText: 'The clip is not where it was: GONE0001.MOV' }).waitFor();
    assert.equal(native.sent('check_file').length, 1);
    await context.close();
  });
});

describe('clips that do not play', () => {
  it('a clip that exists but cannot be decoded says so and keeps the list and its readings', async () => {
    const { page, native, context } = await openPage(browser);
    const broken = native.addClip(card(), 'BAD00001.MOV', freeGpsTrack('BAD00001.MOV'), clipFile(5));
    writeFileSync(broken, 'not a movie');
    native.chosen = [broken];
    await page.click('.toolbar [data-act="import"]');
    await page.locator('[data-r="video-notice"]', { hasText: 'This clip cannot be played: BAD00001.MOV' }).waitFor();
    assert.equal(native.sent('check_file').length, 1);
    assert.equal(await page.locator('.clip').count(), 1);
    await page.waitForFunction(() => VEK.app.viewer.track?.count === 50);
    await context.close();
  });

  it('a file dropped on the page does not replace it', async () => {
    const { page, context } = await openPage(browser);
    const prevented = await page.evaluate(() => {
      const transfer = new DataTransfer();
      transfer.items.add(new File(['x'], 'A.MOV'));
      document.body.dispatchEvent(new DragEvent('dragenter', { dataTransfer: transfer, bubbles: true }));
      const shown = document.body.classList.contains('dragging');
      const drop = new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true });
      document.body.dispatchEvent(drop);
      return { shown, prevented: drop.defaultPrevented, after: document.body.classList.contains('dragging') };
    });
    assert.deepEqual(prevented, { shown: true, prevented: true, after: false });
    await context.close();
  });
});

describe('snapshots, merge and recording', () => {
  it('frame snapshot names the clip URL and the position in whole minutes and seconds', async () => {
    const { page, native, context } = await openPage(browser);
    const [path] = await importClips(page, native, ['long #1.MOV'], { seconds: 70 });
    await page.evaluate(async () => {
      const v = document.querySelector('video');
      v.pause();
      await new Promise((done) => { v.addEventListener('seeked', done, { once: true }); v.currentTime = 65.7; });
    });
    await page.click('[data-act="frame-snapshot"]');
    await page.locator('.toast', { hasText: 'Snapshot saved' }).waitFor();
    const [url, minutes, seconds] = native.sent('get_photo')[0].slice('http://get_photo/'.length).split(';');
    assert.equal(decodeURIComponent(new URL(url).pathname), path);
    assert.deepEqual([minutes, seconds], ['1', '5']);
    await page.click('[data-act="window-snapshot"]');
    await page.waitForFunction(() => document.querySelectorAll('.toast').length >= 3);
    assert.equal(native.sent('get_full_photo').length, 1);
    await context.close();
  });

  it('a snapshot that wrote no file says so with the reason, never "saved"', async () => {
    const { page, native, context } = await openPage(browser);
    native.snapshotFailure = 'the disk is full';
    await page.click('[data-act="window-snapshot"]');
    await page.locator('.toast.error', { hasText: 'Snapshot not saved: the disk is full' }).waitFor();
    assert.equal(await page.locator('.toast', { hasText: 'Snapshot saved' }).count(), 0);
    await context.close();
  });

  it('merges the selected clips in list order and shows progress and the outcome', async () => {
    const { page, native, context } = await openPage(browser);
    const paths = await importClips(page, native, ['m 1.MOV', 'm 2.MOV', 'm 3.MOV']);
    assert.equal(await page.locator('[data-act="merge"]').isDisabled(), true);
    await page.check('.clip:has-text("m 3") .clip-pick');
    await page.check('.clip:has-text("m 1") .clip-pick');
    await page.locator('[data-act="merge"]', { hasText: 'Merge 2 clips' }).waitFor();
    await page.evaluate(() => { window.exp = new Proxy(window.exp, { apply: (f, t, a) => { window.progressSeen =
      document.querySelector('.progress-text')?.textContent; return f(...a); } }); });
    await page.click('[data-act="merge"]');
    await page.locator('.toast.ok', { hasText: 'Export completed' }).waitFor();
    assert.equal(decoded(native.sent('merger')[0], 'merger'), `${paths[0]},${paths[2]}`);
    assert.equal(await page.evaluate(() => window.progressSeen), 'Exporting… 42%');
    native.exportResult = 'Export Failed';
    await page.click('[data-act="merge"]');
    await page.locator('.toast.error', { hasText: 'Export failed' }).waitFor();
    await context.close();
  });

  it('records the screen on and off', async () => {
    const { page, native, context } = await openPage(browser);
    await page.click('[data-act="record"]');
    await page.locator('[data-act="record"]', { hasText: 'Stop recording' }).waitFor();
    await page.click('[data-act="record"]');
    await page.locator('[data-act="record"]', { hasText: 'Record screen' }).waitFor();
    await native.received(2);
    assert.deepEqual(native.commands, ['http://recode/', 'http://norecode/']);
    await page.click('[data-act="open-dir"]');
    await native.received(3);
    assert.deepEqual(native.sent('open_dir'), ['http://open_dir/']);
    await context.close();
  });

  it('sends commands queued in one script turn one by one, none lost', async () => {
    const { page, native, context } = await openPage(browser);
    await page.evaluate(() => { VEK.commands.send('open_dir'); VEK.commands.send('recode'); VEK.commands.send('norecode'); });
    await native.received(3);
    await new Promise((r) => setTimeout(r, 200));
    assert.deepEqual(native.commands, ['http://open_dir/', 'http://recode/', 'http://norecode/']);
    await context.close();
  });
});

describe('settings', () => {
  it('reads the unit and language at load and saves changes verbatim', async () => {
    const { page, native, context } = await openPage(browser, { settings: 'mi,CHT' });
    await page.waitForFunction(() => document.documentElement.lang === 'zh-Hant');
    assert.equal(await page.locator('.clips-empty p').textContent(), '尚無影片：請從記憶卡匯入或拖放影片');
    assert.equal(await page.locator('[data-unit="mi"]').getAttribute('aria-pressed'), 'true');
    await page.click('[data-unit="km"]');
    await page.selectOption('[data-r="lang"]', 'ENG');
    await native.received(2);
    assert.equal(readText(join(native.userPath, 'ini.txt')), 'km,ENG');
    await page.click('[data-unit="mi"]');
    await native.received(3);
    await native.reload();
    await page.waitForFunction(() => document.querySelector('[data-unit="mi"]').getAttribute('aria-pressed') === 'true');
    assert.equal(await page.locator('.clips-empty p').textContent(), 'No clips yet: import or drop clips from your card');
    await context.close();
  });

  it('falls back to km/h and English for a missing or strange settings file', async () => {
    const file = (native) => join(native.userPath, 'ini.txt');
    for (const [settings, expected] of [[null, 'km,ENG'], ['', 'km,ENG'], ['furlong,XX,keep', 'km,ENG,keep']]) {
      // The page first shows that it reads the file, so that the fallback
      // below cannot be a page that reads nothing.
      const { page, native, context } = await openPage(browser, { settings: 'mi,CHT' });
      await page.waitForFunction(() => document.documentElement.lang === 'zh-Hant');
      if (settings === null) unlinkSync(file(native)); else writeFileSync(file(native), settings);
      await page.reload();
      // The page starts in English before the file is read, so wait for the
      // settings themselves; a page that never reads the file times out here.
      await page.waitForFunction((want) => VEK.settings.serialize(VEK.app.settings) === want, expected);
      assert.equal(await page.evaluate(() => document.documentElement.lang), 'en');
      assert.equal(await page.locator('[data-unit="km"]').getAttribute('aria-pressed'), 'true');
      await context.close();
    }
  });
});

describe('keyboard', () => {
  it('space pauses and plays, arrows seek, period steps a frame', async () => {
    const { page, native, context } = await openPage(browser);
    await importClips(page, native, ['KEYS0001.MOV']);
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    await page.keyboard.press('Space');
    assert.equal(await page.evaluate(() => document.querySelector('video').paused), true);
    const t0 = await page.evaluate(() => document.querySelector('video').currentTime);
    await page.keyboard.press('Period');
    const t1 = await page.evaluate(() => document.querySelector('video').currentTime);
    assert.ok(Math.abs(t1 - t0 - 1 / 30) < 0.005);
    await page.keyboard.press('ArrowRight');
    const t2 = await page.evaluate(() => document.querySelector('video').currentTime);
    assert.ok(Math.abs(t2 - Math.min(5, t1 + 5)) < 0.05);
    await page.keyboard.press('BracketRight');
    assert.equal(await page.evaluate(() => document.querySelector('video').playbackRate), 1.5);
    await page.keyboard.press('Home');
    await page.keyboard.press('Space');
    await page.waitForFunction(() => !document.querySelector('video').paused);
    await context.close();
  });
});
