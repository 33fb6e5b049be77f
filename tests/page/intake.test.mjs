// The page while the native side reads a card: the intake panel's count,
// bytes and time left, Cancel, the clip being watched kept playing, and a
// message for each clip that could not be read.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { launch, openPage, literal, listText, scratchFolder } from './harness.mjs';
import { freeGpsTrack, clipFile } from './fixtures.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const progress = (page, ...figures) =>
  page.evaluate(`if(window.intake_progress)intake_progress(${figures.map(literal).join(',')})`);

// Every row of the list, [index, name, duration], read a screenful at a
// time: rows out of sight are not in the page.
const everyRow = (page) => page.evaluate(() => {
  const list = VEK.app.views.list;
  const el = list.list;
  const rows = new Map();
  for (let top = 0; ; top += el.clientHeight) {
    el.scrollTop = top;
    list.finish();
    el.querySelectorAll('.clip').forEach((row) => rows.set(+row.dataset.index,
      [+row.dataset.index, row.querySelector('.clip-name').textContent, row.querySelector('.clip-duration').textContent]));
    if (top + el.clientHeight >= el.scrollHeight) break;
  }
  return [...rows.values()].sort((a, b) => a[0] - b[0]);
});

// One clip taken in as a drag would: listed, then reported with it as the last.
async function takeIn(page, native, clip) {
  native.tracks.push(join(native.userPath, clip.replace(/^.*\//, '').replace('.MOV', '.data')));
  native.clips.push(clip);
  await native.report(clip);
}

describe('intake panel', () => {
  it('shows clips, bytes and time left, and Cancel sends the command', async () => {
    const { page, native, context, errors } = await openPage(browser);
    const panel = page.locator('[data-r="intake"]');
    assert.equal(await panel.isHidden(), true);
    await progress(page, 'running', '3', '30', '1500000000', '9000000000', '125');
    assert.equal(await panel.isVisible(), true);
    assert.equal(await page.locator('[data-r="intake-text"]').textContent(),
      '3 of 30 clips · 1.5 GB / 9.0 GB · about 3 min left');
    // The bar shows the share of bytes read, once its short transition ends.
    await page.waitForFunction(() => {
      const bar = document.querySelector('[data-r="intake"] .progress-bar');
      const share = bar.firstChild.getBoundingClientRect().width / bar.getBoundingClientRect().width;
      return Math.abs(share - 1.5 / 9) < 0.01;
    });
    await progress(page, 'running', '4', '30', '2000000', '9000000', '');
    assert.equal(await page.locator('[data-r="intake-text"]').textContent(), '4 of 30 clips · 2 MB / 9 MB',
      'no estimate until one is known');
    await progress(page, 'running', '0', '0', '0', '0', '');
    assert.equal(await page.locator('[data-r="intake-text"]').textContent(), 'Looking for clips…',
      'folders still looked through: nothing counted yet');
    assert.equal(await page.locator('[data-act="intake-cancel"]').isDisabled(), false);
    await page.click('[data-act="intake-cancel"]');
    await native.received(1);
    assert.deepEqual(native.sent('intake_cancel'), ['http://intake_cancel/']);
    await progress(page, 'cancelled', '4', '30', '2000000', '9000000', '');
    assert.match(await page.locator('[data-r="intake-text"]').textContent(), /stopped$/);
    assert.equal(await page.locator('[data-act="intake-cancel"]').isDisabled(), true);
    await panel.waitFor({ state: 'hidden', timeout: 5000 });
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('plays the first clip ready and keeps it playing while more arrive', async () => {
    const { page, native, context } = await openPage(browser);
    const dir = scratchFolder('vek-card-');
    const clips = ['2016_0301_100507_001.MOV', '2016_0301_100512_002.MOV', '2016_0301_100517_003.MOV']
      .map((n) => native.addClip(dir, n, freeGpsTrack(n, { seconds: 5 }), clipFile(5)));
    await progress(page, 'running', '0', '3', '0', '300', '');
    await takeIn(page, native, clips[2]);
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    await takeIn(page, native, clips[1]);
    await takeIn(page, native, clips[0]);
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 3);
    assert.equal(await page.evaluate(() => VEK.app.viewer.playingPath), clips[2]);
    assert.equal(await page.locator('.clip.current .clip-name').textContent(), '2016_0301_100517_003.MOV');
    assert.equal(await page.evaluate(() => document.querySelector('video').paused), false);
    await progress(page, 'finished', '3', '3', '300', '300', '0');
    await context.close();
  });

  // The list is built with the next frame: the intake's end can come first.
  it('keeps the clip playing when the intake ends before its last report is built', async () => {
    const { page, native, context } = await openPage(browser);
    const dir = scratchFolder('vek-card-');
    const clips = ['2016_0301_100507_001.MOV', '2016_0301_100512_002.MOV']
      .map((n) => native.addClip(dir, n, freeGpsTrack(n, { seconds: 5 }), clipFile(5)));
    await progress(page, 'running', '0', '2', '0', '200', '');
    await takeIn(page, native, clips[1]);
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    await page.evaluate(() => {
      window.loads = 0;
      document.querySelector('video').addEventListener('loadstart', () => { window.loads++; });
    });
    native.tracks.push(join(native.userPath, '2016_0301_100507_001.data'));
    native.clips.push(clips[0]);
    await page.evaluate(`file_list_fun(${literal(listText(native.tracks))},${literal(listText(native.clips))},` +
      `${literal(clips[1])});intake_progress('finished','2','2','200','200','0')`);
    await page.waitForFunction(() => VEK.app.viewer.clips.length === 2);
    await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
    assert.equal(await page.evaluate(() => window.loads), 0, 'the playing clip is not loaded again');
    assert.equal(await page.evaluate(() => VEK.app.viewer.playingPath), clips[1]);
    assert.equal(await page.locator('.clip.current .clip-name').textContent(), '2016_0301_100512_002.MOV');
    assert.equal(await page.evaluate(() => document.querySelector('video').paused), false);
    await context.close();
  });

  it('builds a burst of reports as its last one: every clip in name order, with that report\'s facts', async () => {
    const { page, context, errors } = await openPage(browser);
    await progress(page, 'running', '0', '40', '0', '4000', '');
    const names = Array.from({ length: 40 }, (_, i) => `FILE${String(i + 1).padStart(4, '0')}.MOV`);
    // Intake order is not name order; the last report gives every clip 61 s.
    const paths = names.map((n) => `/media/card/DCIM/${n}`).reverse();
    const calls = paths.map((_, k) => {
      const listed = paths.slice(0, k + 1);
      const clips = literal(listed.map((p) => p + ',').join(''));
      const tracks = literal(listed.map((p) => p.replace('/media/card/DCIM/', '/home/u/VEK/data/').replace('.MOV', '.data,')).join(''));
      const facts = literal(listed.map(() => (k === paths.length - 1 ? '61|' : '60|') + ',').join(''));
      return `if(window.clip_facts)clip_facts(${clips},${facts});file_list_fun(${tracks},${clips},${literal(paths[k])});`;
    });
    await page.evaluate(calls.join(''));
    await page.waitForFunction((n) => VEK.app.views.list.rows.length === n, names.length);
    const rows = await everyRow(page);
    assert.deepEqual(rows.map((row) => row[1]), names);
    assert.deepEqual(rows.map((row) => row[0]), names.map((_, i) => i), 'each row knows its place');
    assert.deepEqual(new Set(rows.map((row) => row[2])), new Set(['1:01']), 'the facts sent with the last report');
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('keeps the list where it was scrolled while reports rebuild it around the clip playing', async () => {
    const { page, native, context } = await openPage(browser, { viewport: { width: 1280, height: 600 } });
    const dir = scratchFolder('vek-card-');
    const first = native.addClip(dir, '2016_0301_100507_001.MOV', freeGpsTrack('2016_0301_100507_001.MOV', { seconds: 5 }),
      clipFile(5));
    await progress(page, 'running', '0', '60', '0', '6000', '');
    await takeIn(page, native, first);
    await page.waitForFunction(() => document.querySelector('video').currentTime > 0.2);
    const more = Array.from({ length: 59 }, (_, i) => join(dir, `2016_0301_1${String(i + 10).padStart(2, '0')}000_x.MOV`));
    for (const clip of more.slice(0, 30)) native.tracks.push(join(native.userPath, clip.replace(/^.*\//, '').replace('.MOV', '.data')));
    native.clips.push(...more.slice(0, 30));
    await native.report(more[29]);
    await page.waitForFunction(() => VEK.app.views.list.rows.length === 31);
    const list = page.locator('[data-r="clip-list"]');
    // Rows brought into sight are measured, and the list's end moves by
    // what they differ from the height thought: the place is read after.
    await list.evaluate((el) => { el.scrollTop = el.scrollHeight; });
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    const scrolled = await list.evaluate((el) => el.scrollTop);
    assert.ok(scrolled > 0, 'the list is longer than its box');
    await takeIn(page, native, more[30]);
    await page.waitForFunction(() => VEK.app.views.list.rows.length === 32);
    assert.equal(await list.evaluate((el) => el.scrollTop), scrolled, 'not scrolled back to the clip playing');
    assert.equal(await page.evaluate(() => VEK.app.viewer.playingPath), first);
    await context.close();
  });

  it('says which clip could not be read and why', async () => {
    const { page, context } = await openPage(browser);
    await page.evaluate(`if(window.intake_failed)intake_failed(${literal('/media/card/DCIM/FILE0007.MOV')},` +
      `${literal('/media/card/DCIM/FILE0007.MOV: changed or removed while it was read')})`);
    await page.locator('.toast.error', { hasText: 'FILE0007.MOV could not be read' }).waitFor();
    await context.close();
  });
});

// In the page: a report of `n` card clips as the native side sends it.
const REPORT_HELPER = `
  window.reportClips = (n) => {
    const clips = Array.from({ length: n }, (_, i) => '/media/card/DCIM/FILE' + String(i + 1).padStart(4, '0') + '.MOV,');
    file_list_fun(clips.map((c) => c.replace('/media/card/DCIM/', '/home/u/VEK/data/').replace('.MOV,', '.data,')).join(''),
      clips.join(''), '0');
  };
`;

describe('frames during an intake', () => {
  it('builds the list at most once a frame, from the last report that came before it', async () => {
    const { page, context, errors } = await openPage(browser);
    await page.evaluate(REPORT_HELPER);
    const seen = await page.evaluate(() => new Promise((resolve) => {
      const list = VEK.app.views.list;
      const render = list.render;
      let renders = 0;
      list.render = function (clips) { renders++; return render.call(this, clips); };
      // Three reports in three tasks of one frame, then two frames later a look.
      requestAnimationFrame(() => {
        window.reportClips(1);
        setTimeout(() => { window.reportClips(2); setTimeout(() => window.reportClips(3), 0); }, 0);
        requestAnimationFrame(() => requestAnimationFrame(() => setTimeout(() => {
          resolve({ renders, rows: document.querySelectorAll('.clip').length });
        }, 0)));
      });
    }));
    assert.deepEqual(seen, { renders: 1, rows: 3 });
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('builds the list even when the page draws no frames', async () => {
    const { page, context } = await openPage(browser);
    await page.evaluate(REPORT_HELPER);
    await page.evaluate(() => {
      window.requestAnimationFrame = () => 0; // a hidden window
      window.reportClips(4);
    });
    await page.waitForFunction(() => document.querySelectorAll('.clip').length === 4, null, { timeout: 5000 });
    await context.close();
  });

  it('makes the trips again at most once a second while reports keep coming, and once the intake is over', async () => {
    const { page, native, context } = await openPage(browser);
    const dir = scratchFolder('vek-card-');
    const names = ['2016_0301_100507_001.MOV', '2016_0301_100512_002.MOV', '2016_0301_100517_003.MOV'];
    const clips = names.map((n) => native.addClip(dir, n, freeGpsTrack(n, { seconds: 5 }), clipFile(5)));
    await page.waitForFunction(() => VEK.app.tripView.timer === null);
    await progress(page, 'running', '0', '3', '0', '300', '');
    await page.evaluate(() => {
      const trips = VEK.app.tripView;
      const refresh = trips.refresh;
      window.refreshedAfter = [];
      window.firstReport = performance.now();
      trips.refresh = function () {
        window.refreshedAfter.push(performance.now() - window.firstReport);
        return refresh.call(this);
      };
    });
    for (const clip of clips) {
      await takeIn(page, native, clip);
      await page.waitForTimeout(150);
    }
    await page.waitForFunction(() => window.refreshedAfter.length > 0);
    const during = await page.evaluate(() => window.refreshedAfter);
    assert.ok(during[0] >= 990, `the first trips came ${during[0]} ms after the first report`);
    await progress(page, 'finished', '3', '3', '300', '300', '0');
    await native.report('0');
    await page.locator('.trip-header').first().waitFor({ timeout: 5000 });
    assert.equal(await page.locator('.trip-header').count(), 1, 'the three clips make one trip');
    await context.close();
  });

  it('brings a refresh set for the intake\'s pace forward once the intake is over', async () => {
    const { page, context } = await openPage(browser);
    await page.waitForFunction(() => VEK.app.tripView.timer === null);
    await progress(page, 'running', '0', '3', '0', '300', '');
    const after = await page.evaluate(() => new Promise((resolve) => {
      const trips = VEK.app.tripView;
      const refresh = trips.refresh;
      const asked = performance.now();
      trips.refresh = function () { resolve(performance.now() - asked); return refresh.call(this); };
      trips.schedule();
      window.intake_progress('finished', '3', '3', '300', '300', '0');
      trips.schedule();
    }));
    assert.ok(after < 800, `the trips came ${after} ms after the intake ended`);
    await context.close();
  });
});
