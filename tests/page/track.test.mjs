// Track data in the page: both time-key forms, lookup by video time,
// position labels, and track files that are missing, broken or empty.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, scratchFolder } from './harness.mjs';
import { freeGpsTrack, gps0Track, clipFile, drive } from './fixtures.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

async function importClip(native, page, name, track, video = clipFile(5)) {
  const card = scratchFolder('vek-card-');
  native.chosen = [native.addClip(card, name, track, video)];
  await page.click('.toolbar [data-act="import"]');
  await page.waitForFunction((n) => VEK.app.viewer.currentClip()?.name === n, name);
  return native.chosen;
}

// Pauses the video at `time` and returns the shown readings.
async function readingsAt(page, time) {
  await page.waitForFunction(() => VEK.app.viewer.track !== null);
  await page.evaluate(async (t) => {
    const v = document.querySelector('video');
    v.pause();
    await new Promise((done) => { v.addEventListener('seeked', done, { once: true }); v.currentTime = t; });
  }, time);
  return page.evaluate(() => Object.fromEntries([...document.querySelectorAll('.readings [data-r]')]
    .map((el) => [el.dataset.r, el.textContent])));
}

describe('time keys', () => {
  it('reads both forms, hours past 23 carry into the next day', async () => {
    const { page, context } = await openPage(browser);
    const seconds = await page.evaluate(() => [
      '2016/03/01 10:05:7.5', '2016/03/01 10:05:07.5', '2016/03/01 17:05:07.3', '2016/03/01 27:05:07.3',
      '2016/03/01 10:05', 'garbage', '',
    ].map((k) => VEK.timekeys.parse(k)));
    const base = Date.UTC(2016, 2, 1) / 1000;
    assert.equal(seconds[0], base + 10 * 3600 + 5 * 60 + 7.5);
    assert.equal(seconds[1], seconds[0]);
    assert.ok(Math.abs(seconds[2] - (base + 17 * 3600 + 5 * 60 + 7.3)) < 1e-6);
    assert.equal(await page.evaluate((s) => VEK.timekeys.formatDateTime(s), seconds[3]), '2016-03-02 03:05:07');
    assert.ok(seconds.slice(4).every(Number.isNaN));
    await context.close();
  });

  it('orders keys by time, not by text, and maps video time to the sample', async () => {
    const { page, context } = await openPage(browser);
    const found = await page.evaluate(() => {
      // Text order would put 10:05:10.0 before 10:05:9.9.
      const table = {
        '2016/03/01 10:05:9.9': { speed: '1' }, '2016/03/01 10:05:10.0': { speed: '2' },
        '2016/03/01 10:05:9.8': { speed: '0' }, 'not a key': { speed: '99' },
      };
      const track = VEK.track.fromTable(table);
      return { count: track.count, speeds: Array.from(track.speed),
        at: [-1, 0, 0.05, 0.1, 0.15, 0.2, 50].map((t) => VEK.track.indexAt(track, t)) };
    });
    assert.equal(found.count, 3);
    assert.deepEqual(found.speeds, [0, 1, 2]);
    assert.deepEqual(found.at, [0, 0, 0, 1, 1, 2, 2]);
    await context.close();
  });

  it('shows a position label with hemispheres, also for a latitude just south of the equator', async () => {
    const { page, context } = await openPage(browser);
    const shown = await page.evaluate(() => [
      VEK.position.format("25[ 2' 2.27:,121[ 33' 52.08:", 25.033964, 121.564468),
      VEK.position.format("0[ 30' 0.00:,-70[ 15' 3.50:", -0.5, -70.25097),
      VEK.position.format('unreadable', 25.5, 121.25),
      VEK.position.format('', NaN, NaN),
    ]);
    assert.deepEqual(shown, [
      '25°2\'2.27" N  121°33\'52.08" E',
      '0°30\'0.00" S  70°15\'3.50" W',
      '25°30\'0.00" N  121°15\'0.00" E',
      null,
    ]);
    await context.close();
  });
});

describe('readings follow the video', () => {
  it('freeGPS track: speed, position and G-sensor of the sample under the video time', async () => {
    const { page, native, context, errors } = await openPage(browser);
    await importClip(native, page, 'FREE0001.MOV', freeGpsTrack('FREE0001.MOV'));
    const shown = await readingsAt(page, 2.35);
    const p = drive(23, 50);
    assert.equal(shown.speed, String(Math.round(p.speed)));
    assert.equal(shown.speedUnit, 'km/h');
    assert.equal(shown.clock, '2016-03-01 09:05:09', 'true time: the key less the extractor\'s hour, in UTC');
    assert.match(shown.position, /^25°2'\d+\.\d\d" N {2}121°3\d'\d+\.\d\d" E$/);
    assert.equal(shown.gx, (p.x >= 0 ? '+' : '−') + Math.abs(p.x).toFixed(2));
    assert.equal(shown.status, 'Fix · A', 'the status letter, not its code');
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('gps0 track: one record per second, hours past 23 shown on the next day', async () => {
    // Shown in Taipei's zone, the gps0 keys' own +8 h.
    const { page, native, context } = await openPage(browser, { settings: 'km,ENG,,Asia/Taipei' });
    const start = { y: 2016, mo: 3, d: 1, h: 27, mi: 59, s: 58 };
    await importClip(native, page, 'GPS00001.MOV', gps0Track('GPS00001.MOV', { start }));
    const shown = await readingsAt(page, 3.5);
    assert.equal(shown.speed, String(Math.round(drive(3, 5).speed)));
    assert.equal(shown.clock, '2016-03-02 04:00:01');
    assert.equal(shown.status, 'Fix · 2');
    await context.close();
  });

  it('converts speed to mph when the settings ask for it', async () => {
    const { page, native, context } = await openPage(browser, { settings: 'mi,ENG' });
    await importClip(native, page, 'FREE0002.MOV', freeGpsTrack('FREE0002.MOV'));
    const shown = await readingsAt(page, 2.35);
    assert.equal(shown.speed, String(Math.round(drive(23, 50).speed / 1.609344)));
    assert.equal(shown.speedUnit, 'mph');
    await context.close();
  });

  it('draws the route and both charts, and a click on a chart seeks the video', async () => {
    const { page, native, context } = await openPage(browser);
    await importClip(native, page, 'FREE0003.MOV', freeGpsTrack('FREE0003.MOV'));
    await readingsAt(page, 1);
    const inked = await page.evaluate(() => ['.route-base', '.route-top', '[data-r="chart-speed"] canvas',
      '[data-r="chart-g"] canvas'].map((sel) => {
      const c = document.querySelector(sel);
      const px = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let n = 0;
      for (let i = 3; i < px.length; i += 4) if (px[i] > 0) n++;
      return n;
    }));
    inked.forEach((n) => assert.ok(n > 200, `canvas has ${n} painted pixels`));
    const box = await page.locator('[data-r="chart-speed"]').boundingBox();
    const left = 40; const right = 10; // the chart's plot margins
    await page.mouse.click(box.x + left + (box.width - left - right) * 0.75, box.y + box.height / 2);
    const t = await page.evaluate(() => document.querySelector('video').currentTime);
    assert.ok(Math.abs(t - 3.75) < 0.1, `seeked to ${t}`);
    await context.close();
  });
});

describe('bad track files', () => {
  const cases = [
    { name: 'MISS0001.MOV', track: null, message: 'No GPS data file for this clip' },
    { name: 'BROK0001.MOV', track: "data['BROK0001.MOV']=new Array();\ndata[\"BROK0001.MOV\"][\"k\"]={'speed':\"1\",[7]};\n",
      message: 'The GPS data file of this clip cannot be read' },
    { name: 'EMPT0001.MOV', track: "//C12\ndata['EMPT0001.MOV']=new Array();\n", message: 'This clip has no GPS samples' },
    { name: 'OTHR0001.MOV', track: "data['SOMEONE.MOV']=new Array();", message: 'The GPS data file does not cover this clip' },
  ];
  for (const c of cases) {
    it(`${c.message}: the clip still plays and the list stays`, async () => {
      const { page, native, context } = await openPage(browser);
      await importClip(native, page, 'GOOD0001.MOV', freeGpsTrack('GOOD0001.MOV'));
      await importClip(native, page, c.name, c.track);
      await page.waitForFunction((m) => document.querySelector('[data-r="message"]').textContent === m, c.message);
      assert.equal(await page.locator('[data-r="route-notice"]').textContent(), c.message);
      assert.equal(await page.locator('.clip').count(), 2);
      await page.waitForFunction(() => document.querySelector('video').currentTime > 0.3);
      await page.click('.clip:first-child .clip-main');
      await page.waitForFunction(() => VEK.app.viewer.track?.count === 50);
      await context.close();
    });
  }

  it('a quoted, non-ASCII clip name evaluates when the native side escapes it', async () => {
    const { page, native, context } = await openPage(browser);
    const name = "it's 行車 \"1\".MOV";
    const escaped = name.replace(/["']/g, (q) => '\\' + q);
    await importClip(native, page, name, freeGpsTrack(escaped));
    await page.waitForFunction(() => VEK.app.viewer.track?.count === 50);
    assert.equal(await page.locator('.clip-name').textContent(), name);
    await context.close();
  });
});
