// The trip under the route, painted off the page's thread and kept: the
// kept picture is the one a whole painting on the page makes, a newer trip
// replaces one being painted, a redraw that changes nothing paints nothing,
// a new colour scheme paints it again, and without a worker the trip is
// painted on the spot.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

// In the page: `count` clips of 20 fixes driving north-east in turns, each
// starting where the last ended, as tracks the route takes.
function installTrip(count) {
  window.tripParts = [];
  for (let k = 0; k < count; k++) {
    const n = 20;
    const track = { count: n, positions: n, t: new Float64Array(n), lat: new Float64Array(n), lon: new Float64Array(n),
      valid: new Uint8Array(n).fill(1), onRoute: new Uint8Array(n).fill(1) };
    for (let i = 0; i < n; i++) {
      const step = k * (n - 1) + i;
      track.t[i] = i;
      track.lat[i] = 48.1 + step * 0.0004;
      track.lon[i] = 11.5 + (k % 2 ? 0.002 : 0) + step * 0.0001;
    }
    window.tripParts.push({ clip: k, track });
  }
  // Shows the trip with clip `current` on screen, the map (with the bundled
  // map library) fitted to the whole trip as to a clip.
  window.showTrip = (current) => {
    const route = VEK.app.views.route;
    const lat = window.tripParts.flatMap((p) => Array.from(p.track.lat));
    const lon = window.tripParts.flatMap((p) => Array.from(p.track.lon));
    route.setTrack(window.tripParts[current].track);
    VEK.app.views.tiles?.fit({ count: lat.length, positions: lat.length, valid: new Uint8Array(lat.length).fill(1), lat, lon });
    route.setTrip(window.tripParts, current, () => {});
  };
}

// Compares the trip layer with the whole trip painted at once in the same
// view; resolves to the count of differing pixels and of painted ones.
function compareWithWhole() {
  const route = VEK.app.views.route;
  const layer = route.tripLayer;
  const whole = document.createElement('canvas');
  whole.width = layer.width; whole.height = layer.height;
  const ctx = whole.getContext('2d');
  const ratio = window.devicePixelRatio || 1;
  ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
  VEK.tripPainter.paintTrip(ctx, route.projectTrip(), route.tripCurrent, route.colors.muted);
  const a = layer.getContext('2d').getImageData(0, 0, layer.width, layer.height).data;
  const b = ctx.getImageData(0, 0, whole.width, whole.height).data;
  let differ = 0; let painted = 0;
  for (let i = 0; i < a.length; i += 4) {
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2] || a[i + 3] !== b[i + 3]) differ++;
    if (b[i + 3]) painted++;
  }
  return { differ, painted };
}

const painted = (page) => page.waitForFunction(() => VEK.app.views.route.tripShown?.key && !VEK.app.views.route.tripJob);

describe('trip under the route', () => {
  it('is painted off the page into the picture a whole painting on the page makes', async () => {
    const { page, context } = await openPage(browser);
    await page.evaluate(installTrip, 40);
    const waits = await page.evaluate(() => {
      window.showTrip(3);
      return VEK.app.views.route.tripJob !== null;
    });
    assert.ok(waits, 'the route is drawn before its trip is painted');
    await painted(page);
    const result = await page.evaluate(compareWithWhole);
    assert.ok(result.painted > 1000, `the trip has ${result.painted} painted pixels`);
    assert.equal(result.differ, 0);
    await context.close();
  });

  it('keeps its picture through a redraw that changes nothing, and paints again for a new view', async () => {
    const { page, context } = await openPage(browser);
    await page.evaluate(installTrip, 12);
    await page.evaluate(() => window.showTrip(0));
    await painted(page);
    const kept = await page.evaluate(() => {
      const route = VEK.app.views.route;
      const shown = route.tripShown;
      route.redraw();
      window.projectedBefore = route.projectTrip()[5].xy;
      return route.tripShown === shown && route.tripJob === null && route.projectTrip()[5].xy === window.projectedBefore;
    });
    assert.ok(kept, 'the same trip in the same view is neither projected nor painted again');
    // Observed after the route's own observer, which redraws it first.
    const standIn = await page.evaluate(() => new Promise((done) => {
      const route = VEK.app.views.route;
      route.el.style.width = '60%';
      new ResizeObserver(() => {
        const layer = route.tripLayer;
        const px = layer.getContext('2d').getImageData(0, 0, layer.width, layer.height).data;
        let ink = 0;
        for (let i = 3; i < px.length; i += 4) if (px[i]) ink++;
        done({ painting: route.tripJob !== null, ink });
      }).observe(route.el);
    }));
    assert.ok(standIn.painting && standIn.ink > 100, 'the old picture stands in while the new view is painted');
    await painted(page);
    assert.equal((await page.evaluate(compareWithWhole)).differ, 0);
    assert.ok(await page.evaluate(() => VEK.app.views.route.projectTrip()[5].xy !== window.projectedBefore),
      'a new view projects the trip again');
    await context.close();
  });

  it('ends the painting of a trip that a newer one replaced', async () => {
    const { page, context } = await openPage(browser);
    await page.evaluate(installTrip, 40);
    const shownJobs = await page.evaluate(() => new Promise((done) => {
      const route = VEK.app.views.route;
      const shows = [];
      const show = route.showTrip;
      route.showTrip = function (job) { shows.push(job.current); return show.call(this, job); };
      // In one task: on a loaded machine a worker could paint the first
      // trip before a later task asks for the second.
      window.showTrip(0);
      window.showTrip(30);
      const wait = () => (route.tripJob ? setTimeout(wait, 10) : done(shows));
      wait();
    }));
    assert.deepEqual(shownJobs, [30]);
    assert.equal((await page.evaluate(compareWithWhole)).differ, 0);
    await context.close();
  });

  it('is painted again in the colours of a new colour scheme', async () => {
    const { page, context } = await openPage(browser);
    await page.evaluate(installTrip, 12);
    await page.evaluate(() => window.showTrip(0));
    await painted(page);
    const light = await page.evaluate(() => VEK.app.views.route.tripShown.key);
    await page.emulateMedia({ colorScheme: 'dark' });
    await page.waitForFunction((before) => VEK.app.views.route.tripShown?.key !== before && !VEK.app.views.route.tripJob,
      light);
    const muted = await page.evaluate(() => VEK.app.views.route.colors.muted);
    assert.equal(muted, '#8d95a3');
    assert.equal((await page.evaluate(compareWithWhole)).differ, 0);
    await context.close();
  });

  it('is painted on the spot where no worker can paint it', async () => {
    const { page, context } = await openPage(browser);
    await page.evaluate(installTrip, 12);
    const shown = await page.evaluate(() => {
      window.Worker = undefined;
      window.showTrip(0);
      return VEK.app.views.route.tripJob === null && VEK.app.views.route.tripShown !== null;
    });
    assert.ok(shown, 'the trip is on show as soon as it is set');
    const result = await page.evaluate(compareWithWhole);
    assert.ok(result.painted > 500 && result.differ === 0, JSON.stringify(result));
    await context.close();
  });
});
