// Trips, true local time and driving events in the page: time zones across
// daylight-saving changes, grouping of consecutive clips with their figures,
// events, playback across a clip boundary, and the settings after a restart.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { launch, openPage, readText, scratchFolder } from './harness.mjs';
import { clipFile } from './fixtures.mjs';
import { trackText, northDrive, meridianMetres } from './trip-fixtures.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const T0 = Date.UTC(2016, 2, 1, 9, 5, 7) / 1000;
const HOUR = 3600;

// Imports clips [{name, samples}] in list order and waits for every trip figure.
async function importTrip(page, native, clips) {
  const card = scratchFolder('vek-trip-card-');
  native.chosen = clips.map((c) => native.addClip(card, c.name, trackText(c.name, c.samples), clipFile(5))).reverse();
  await page.click('.toolbar [data-act="import"]');
  await page.waitForFunction((n) => document.querySelectorAll('.clip').length === n, clips.length);
  await page.waitForFunction((n) => VEK.app.viewer.clips.every((c) => VEK.trackLoader.cached(c.track, c.name)) &&
    VEK.app.tripView.trips.reduce((k, t) => k + t.clips.length, 0) === n, clips.length);
  await page.waitForTimeout(200); // the refresh after the last read
}

const names = (page) => page.$$eval('.clip-name', (els) => els.map((e) => e.textContent));

describe('time zones', () => {
  it('shows instants in the display zone across daylight-saving changes and at +5:45', async () => {
    const { page, context } = await openPage(browser);
    const shown = await page.evaluate(() => {
      const at = (zone, iso) => new VEK.time.Clock({ displayZone: zone }).formatDateTime(Date.parse(iso) / 1000);
      return [
        at('Europe/Berlin', '2016-03-27T00:59:59Z'), at('Europe/Berlin', '2016-03-27T01:00:00Z'),
        at('Europe/Berlin', '2016-10-30T00:30:00Z'), at('Europe/Berlin', '2016-10-30T01:30:00Z'),
        at('America/New_York', '2016-03-13T06:59:59Z'), at('America/New_York', '2016-03-13T07:00:00Z'),
        at('America/New_York', '2016-11-06T05:30:00Z'), at('America/New_York', '2016-11-06T06:30:00Z'),
        at('Asia/Kathmandu', '2016-03-01T09:05:07Z'), at('Asia/Kathmandu', '2016-12-31T18:15:00Z'),
      ];
    });
    assert.deepEqual(shown, [
      '2016-03-27 01:59:59', '2016-03-27 03:00:00', '2016-10-30 02:30:00', '2016-10-30 02:30:00',
      '2016-03-13 01:59:59', '2016-03-13 03:00:00', '2016-11-06 01:30:00', '2016-11-06 01:30:00',
      '2016-03-01 14:50:07', '2017-01-01 00:00:00',
    ]);
    await context.close();
  });

  it('reads keys in the camera zone, or with the fixed offset by form, plus the correction', async () => {
    const { page, context } = await openPage(browser);
    const utc = await page.evaluate(() => {
      const wall = (iso) => Date.parse(iso + 'Z') / 1000;
      const iso = (s) => new Date(s * 1000).toISOString().replace('.000', '');
      const clock = (s) => new VEK.time.Clock(s);
      return [
        iso(clock({}).utc(wall('2016-03-01T10:05:07'), 'freegps')),
        iso(clock({}).utc(wall('2016-03-01T17:05:07'), 'gps0')),
        iso(clock({ correction: '-2.5' }).utc(wall('2016-03-01T10:05:07'), 'freegps')),
        iso(clock({ cameraZone: 'Europe/Berlin' }).utc(wall('2016-10-30T02:30:00'))),
        iso(clock({ cameraZone: 'Europe/Berlin' }).utc(wall('2016-03-27T02:30:00'))),
        iso(clock({ cameraZone: 'America/New_York' }).utc(wall('2016-07-01T12:00:00'))),
        iso(clock({ cameraZone: 'Asia/Kathmandu' }).utc(wall('2016-03-01T14:50:07'))),
        clock({ correction: '99999' }).correction, clock({ cameraZone: 'Not/AZone' }).cameraLabel('gps0'),
      ];
    });
    assert.deepEqual(utc, [
      '2016-03-01T09:05:07Z', '2016-03-01T09:05:07Z', '2016-03-01T09:05:04.500Z',
      '2016-10-30T00:30:00Z', '2016-03-27T01:30:00Z', '2016-07-01T16:00:00Z', '2016-03-01T09:05:07Z',
      3600, 'UTC+08:00',
    ]);
    await context.close();
  });
});

describe('trips', () => {
  it('groups consecutive clips under a header with the figures of the trip, glitches left out', async () => {
    const { page, native, context, errors } = await openPage(browser, { settings: 'km,ENG,,Asia/Kathmandu' });
    const glitches = (s, i) => {
      if (i === 10) return { ...s, lat: s.lat + 1, stat: 86 }; // no fix
      if (i === 20) return { ...s, lat: 0, lon: 0 };
      if (i === 30) return { ...s, lat: s.lat + 0.01 }; // 1.1 km in a tenth of a second
      if (i === 40) return { ...s, speed: 72 };
      return s;
    };
    await importTrip(page, native, [
      { name: 'T1_A.MOV', samples: northDrive(T0, 5, 0) },
      { name: 'T2_B.MOV', samples: northDrive(T0 + 5, 5, 5, glitches) },
      { name: 'T3_C.MOV', samples: northDrive(T0 + 10, 5, 10) },
      { name: 'T9_D.MOV', samples: northDrive(T0 + HOUR, 5, 0) },
    ]);
    assert.deepEqual(await names(page), ['T1_A.MOV', 'T2_B.MOV', 'T3_C.MOV', 'T9_D.MOV']);
    const headers = await page.$$eval('.trip-header', (els) => els.map((e) => ({
      first: +e.dataset.first, last: +e.dataset.last, text: e.textContent,
      next: e.parentElement.querySelector('.clip-name').textContent })));
    assert.deepEqual(headers.map((h) => [h.first, h.last, h.next]), [[0, 2, 'T1_A.MOV'], [3, 3, 'T9_D.MOV']]);
    assert.match(headers[0].text, /^2016-03-0114:50:07–14:50:220:15/);
    assert.match(headers[0].text, /0 events$/);
    const f = await page.evaluate(() => VEK.app.tripView.trips[0].figures);
    const lat = (t) => 48.137 + t * 10 / 111195.0799;
    const known = meridianMetres(lat(0), lat(14.9));
    assert.ok(Math.abs(f.distance - known) / known < 0.005, `${f.distance} m against ${known} m`);
    assert.equal(f.maxKmh, 72);
    assert.ok(Math.abs(f.avgKmh - (36 * 146 + 72) / 147) < 1e-9, String(f.avgKmh));
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('follows the trip gap setting', async () => {
    const { page, native, context } = await openPage(browser, { settings: 'km,ENG,,,,30' });
    await importTrip(page, native, [
      { name: 'GAP_A.MOV', samples: northDrive(T0, 5) },
      { name: 'GAP_B.MOV', samples: northDrive(T0 + 5 + 30, 5) },
      { name: 'GAP_C.MOV', samples: northDrive(T0 + 40 + 31, 5) },
    ]);
    assert.deepEqual(await page.evaluate(() => VEK.app.tripView.trips.map((t) => [t.first, t.last])), [[0, 1], [2, 2]]);
    await context.close();
  });
});

describe('events', () => {
  const bumpAndStop = (s, i) => {
    if (i >= 20 && i < 23) return { ...s, z: 1.9 }; // a pothole at 2.0 s
    if (i >= 30) return { ...s, speed: Math.max(0, 36 - (i - 30) * 3.6) }; // 36 km/h gone in one second
    return s;
  };

  it('finds a bump and a hard stop, none on a smooth drive, and jumps between them', async () => {
    const { page, native, context } = await openPage(browser);
    await importTrip(page, native, [
      { name: 'E1_SMOOTH.MOV', samples: northDrive(T0, 5) },
      { name: 'E2_EVENTS.MOV', samples: northDrive(T0 + HOUR, 5, 0, bumpAndStop) },
    ]);
    const found = await page.evaluate(() => VEK.app.tripView.trips.map((t) => t.clips[0].events.map((e) => [e.kind, e.t])));
    assert.deepEqual(found[0], []);
    assert.deepEqual(found[1].map((e) => e[0]), ['bump', 'stop']);
    assert.ok(Math.abs(found[1][0][1] - 2.0) < 1e-9 && found[1][1][1] > 3 && found[1][1][1] < 4.1, JSON.stringify(found));
    assert.deepEqual(await page.$$eval('.trip-events', (els) => els.map((e) => e.textContent)), ['0 events', '2 events']);

    await page.click('.clip:nth-child(2) .clip-main');
    await page.waitForFunction(() => VEK.app.viewer.currentClip()?.name === 'E2_EVENTS.MOV' && VEK.app.viewer.track);
    await page.evaluate(() => { const v = document.querySelector('video'); v.pause(); v.currentTime = 0; });
    await page.waitForFunction(() => VEK.app.views.gChart.marks?.length === 1 && VEK.app.views.speedChart.marks?.length === 1);
    await page.keyboard.press('e');
    assert.ok(Math.abs(await page.evaluate(() => document.querySelector('video').currentTime) - 2.0) < 0.05);
    await page.keyboard.press('e');
    assert.ok(await page.evaluate(() => document.querySelector('video').currentTime) > 3);
    await page.keyboard.press('Shift+E');
    assert.ok(Math.abs(await page.evaluate(() => document.querySelector('video').currentTime) - 2.0) < 0.05);
    await context.close();
  });

  it('a lower threshold setting finds the gentler bumps', async () => {
    const { page, context } = await openPage(browser);
    const counts = await page.evaluate(() => {
      const table = {};
      for (let i = 0; i < 50; i++) {
        table['2016/03/01 10:05:' + (7 + i / 10).toFixed(1)] = { speed: '30', lat: '48.1', lon: '11.5', x: '0', y: '0',
          z: i === 25 ? '1.3' : '1.0', stat: '65' };
      }
      const track = VEK.track.fromTable(table);
      return [VEK.events.find(track, 0.5).length, VEK.events.find(track, 0.2).length];
    });
    assert.deepEqual(counts, [0, 1]);
    await context.close();
  });
});

// Imports a trip of two clips and shows the first of them, paused.
async function showFirstOfTrip(page, native, [first, second]) {
  await importTrip(page, native, [
    { name: first, samples: northDrive(T0, 5, 0) },
    { name: second, samples: northDrive(T0 + 5, 5, 5) },
  ]);
  await page.click('.clip:nth-child(1) .clip-main');
  await page.waitForFunction((name) => VEK.app.viewer.currentClip()?.name === name && VEK.app.views.route.tripScreen,
    first);
  await page.evaluate(() => document.querySelector('video').pause());
}

// Where on screen the route draws the other clip's part, 3 s into it.
const otherPartPoint = (page) => page.evaluate(() => {
  const route = VEK.app.views.route;
  const part = route.tripScreen.find((p) => p.clip !== route.tripCurrent);
  const box = route.el.getBoundingClientRect();
  return { parts: route.tripScreen.length, x: box.left + part.xy[2 * 30], y: box.top + part.xy[2 * 30 + 1], t: part.t[30] };
});

describe('trip route', () => {
  it('shows the whole trip and a click on another clip\'s part seeks to that clip and time', async () => {
    const { page, native, context } = await openPage(browser);
    await showFirstOfTrip(page, native, ['ROUTE_A.MOV', 'ROUTE_B.MOV']);
    const target = await otherPartPoint(page);
    assert.equal(target.parts, 2);
    await page.mouse.click(target.x, target.y);
    await page.waitForFunction(() => VEK.app.viewer.currentClip()?.name === 'ROUTE_B.MOV');
    await page.waitForFunction((t) => Math.abs(document.querySelector('video').currentTime - t) < 0.15, target.t);
    await context.close();
  });
});

describe('the trip on screen while the list grows', () => {
  it('keeps the route\'s trip when clips are listed before it, and a click still seeks the clip it shows', async () => {
    const { page, native, context } = await openPage(browser);
    await showFirstOfTrip(page, native, ['ROUTE_B.MOV', 'ROUTE_C.MOV']);
    const version = await page.evaluate(() => VEK.app.views.route.tripVersion);
    // A clip of another day listed before the trip, as a card read from its
    // last clip to its first lists them: every index of the trip moves.
    native.clips.unshift(native.addClip(scratchFolder('vek-trip-card-'), 'ROUTE_A.MOV',
      trackText('ROUTE_A.MOV', northDrive(T0 - 30 * HOUR, 5, 0)), clipFile(5)));
    native.tracks.unshift(join(native.userPath, 'ROUTE_A.data'));
    await native.report('0');
    await page.waitForFunction(() => VEK.app.viewer.current === 1 && VEK.app.tripView.listed === VEK.app.viewer.clips &&
      VEK.app.tripView.trips.length === 2);
    assert.equal(await page.evaluate(() => VEK.app.views.route.tripVersion), version, 'the same trip is not set again');
    const target = await otherPartPoint(page);
    await page.mouse.click(target.x, target.y);
    await page.waitForFunction(() => VEK.app.viewer.currentClip()?.name === 'ROUTE_C.MOV');
    await context.close();
  });
});

describe('clip boundaries', () => {
  it('playback runs into the next clip of the trip without a jump in the readings', async () => {
    const { page, native, context } = await openPage(browser);
    const timed = (s) => ({ ...s, speed: 10 * s.t }); // speed tells the trip time
    await importTrip(page, native, [
      { name: 'CROSS_A.MOV', samples: northDrive(T0, 5, 0, timed) },
      { name: 'CROSS_B.MOV', samples: northDrive(T0 + 5, 5, 5, timed) },
    ]);
    await page.click('.clip:nth-child(1) .clip-main');
    await page.waitForFunction(() => VEK.app.viewer.currentClip()?.name === 'CROSS_A.MOV' && VEK.app.viewer.track);
    const shown = await page.evaluate(() => new Promise((done) => {
      const v = document.querySelector('video');
      const seen = [];
      v.currentTime = 4.2;
      v.play();
      // Read from when the readings show the seek (within a beat): the jump
      // there is the seek's, not the boundary's.
      function frame() {
        const speed = document.querySelector('[data-r="speed"]').textContent;
        if (seen.length > 0 || Number(speed) >= 40) seen.push(speed);
        if (VEK.app.viewer.currentClip().name === 'CROSS_B.MOV' && v.currentTime > 0.8) done(seen);
        else requestAnimationFrame(frame);
      }
      requestAnimationFrame(frame);
    }));
    const values = shown.map(Number);
    assert.ok(values.every(Number.isFinite), 'readings stay shown: ' + shown.join(' '));
    for (let k = 1; k < values.length; k++) {
      assert.ok(values[k] >= values[k - 1] && values[k] - values[k - 1] <= 2, `step ${values[k - 1]} to ${values[k]}`);
    }
    assert.ok(values.includes(49) && values.includes(50), 'both sides of the boundary');
    await context.close();
  });
});

describe('time settings', () => {
  it('are saved after the two old fields and applied again after a restart', async () => {
    const { page, native, context } = await openPage(browser);
    await importTrip(page, native, [{ name: 'SET_A.MOV', samples: northDrive(T0, 5) }]);
    await page.click('.time-settings summary');
    await page.selectOption('[data-setting="displayZone"]', 'America/New_York');
    await page.fill('[data-setting="correction"]', '2.5');
    await page.press('[data-setting="correction"]', 'Enter');
    await page.waitForFunction(() => VEK.app.settings.correction === 2.5);
    await page.waitForTimeout(200);
    assert.equal(readText(join(native.userPath, 'ini.txt')), 'km,ENG,,America/New_York,2.5');
    await native.reload();
    await page.waitForFunction(() => VEK.app.settings.displayZone === 'America/New_York');
    await page.click('.clip-main');
    await page.waitForFunction(() => VEK.app.viewer.track);
    await page.evaluate(() => { const v = document.querySelector('video'); v.pause(); v.currentTime = 0; });
    // 09:05:07 UTC + 2.5 s is 04:05:09.5 in New York in winter.
    await page.waitForFunction(() => document.querySelector('[data-r="clock"]').textContent === '2016-03-01 04:05:09');
    assert.equal(await page.inputValue('[data-setting="displayZone"]'), 'America/New_York');
    assert.match(await page.textContent('.trip-header'), /^2016-03-0104:05:09–04:05:14/);
    await context.close();
  });
});

describe('time zone lists', () => {
  it('show the chosen zones while the panel is closed, every zone once it opens, and follow the language', async () => {
    const { page, context } = await openPage(browser, { settings: 'km,ENG,Europe/Berlin,America/New_York' });
    await page.waitForFunction(() => VEK.app.settings.displayZone === 'America/New_York');
    const shown = () => page.evaluate(() => ['cameraZone', 'displayZone'].map((name) => {
      const select = document.querySelector(`[data-setting="${name}"]`);
      return { value: select.value, count: select.options.length, first: select.options[0].textContent };
    }));
    const closed = await shown();
    assert.deepEqual(closed.map((z) => z.value), ['Europe/Berlin', 'America/New_York']);
    await page.click('.time-settings summary');
    // The panel fills its lists on its toggle event, a task after the click.
    await page.waitForFunction(() => document.querySelector('[data-setting="displayZone"]').options.length > 2);
    const zones = await page.evaluate(() => Intl.supportedValuesOf('timeZone').length);
    const open = await shown();
    assert.deepEqual(open.map((z) => [z.value, z.count]), [['Europe/Berlin', zones + 1], ['America/New_York', zones + 1]]);
    await page.selectOption('[data-setting="displayZone"]', 'Asia/Tokyo');
    await page.waitForFunction(() => VEK.app.settings.displayZone === 'Asia/Tokyo');
    await page.selectOption('[data-r="lang"]', 'CHT');
    const relabelled = await shown();
    assert.deepEqual(relabelled.map((z) => [z.value, z.count]), [['Europe/Berlin', zones + 1], ['Asia/Tokyo', zones + 1]]);
    assert.notEqual(relabelled[0].first, open[0].first, 'the default is named in the language shown');
    await context.close();
  });
});

describe('route out', () => {
  it('asks for the current trip, the clip or the picked clips in the chosen format, and shows the answer', async () => {
    const { page, native, context } = await openPage(browser);
    await importTrip(page, native, [
      { name: 'R1_A.MOV', samples: northDrive(T0, 5) },
      { name: 'R2_B.MOV', samples: northDrive(T0 + 5, 5) },
      { name: 'R9_C.MOV', samples: northDrive(T0 + HOUR, 5) },
    ]);
    await page.click('.clip:nth-child(1) .clip-main');
    const paths = await page.evaluate(() => VEK.app.viewer.clips.map((c) => c.path));
    const escaped = (p) => encodeURI(p.replaceAll(',', '%2C')).replaceAll('%25', '%');
    const before = native.commands.length;
    await page.click('[data-act="route-out"]');
    await native.received(before + 1);
    assert.equal(decodeURI(native.sent('route_out').at(-1)), decodeURI(`http://route_out/gpx;120;${escaped(paths[0])},${escaped(paths[1])}`));
    await page.waitForFunction(() => document.querySelector('.toast')?.textContent.includes('route_20160301_090507.gpx'));
    await page.selectOption('[data-r="route-format"]', 'csv');
    await page.selectOption('[data-r="route-scope"]', 'clip');
    await page.click('[data-act="route-out"]');
    await page.waitForFunction(() => VEK.commands.sent.filter((u) => u.startsWith('http://route_out/')).length === 2);
    assert.match(await page.evaluate(() => VEK.commands.sent.at(-1)), /^http:\/\/route_out\/csv;120;[^,]*R1_A\.MOV$/);
    await page.selectOption('[data-r="route-scope"]', 'picked');
    await page.click('[data-act="route-out"]');
    assert.equal(await page.textContent('.toast:last-child'), 'No clip to export the route of');
    await page.check('.clip:nth-child(3) .clip-pick');
    await page.click('[data-act="route-out"]');
    await page.waitForFunction(() => VEK.commands.sent.filter((u) => u.startsWith('http://route_out/')).length === 3);
    assert.match(await page.evaluate(() => VEK.commands.sent.at(-1)), /^http:\/\/route_out\/csv;120;[^,]*R9_C\.MOV$/);
    await context.close();
  });
});
