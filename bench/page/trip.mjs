// A 4-hour trip: 80 consecutive 3-minute clips, a sample a second (14 400
// samples). Prints the time to open a trip (trip figures, headers, the
// whole trip under the route, marks) and the per-frame update during
// playback, each against its budget and against a lone clip of the same
// size measured in the same run.
import { mkdtempSync, symlinkSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { tmpdir } from 'node:os';
import { openPage, literal } from '../../tests/page/harness.mjs';
import { trackText, northDrive } from '../../tests/page/trip-fixtures.mjs';

const CLIPS = 80;
const CLIP_SECONDS = 180;
const OPEN_BUDGET_MS = 150;
const FRAME_BUDGET_MS = 2;
const T0 = Date.UTC(2016, 2, 1, 6, 0, 0) / 1000;
const LONE_GAP_S = 3 * 3600; // after the trip: a clip of its own

function library(home, video) {
  const card = mkdtempSync(join(tmpdir(), 'vek-bench-trip-'));
  let tracks = ''; let clips = '';
  const add = (name, start, offset) => {
    const clip = join(card, name);
    symlinkSync(video, clip);
    const samples = northDrive(start, CLIP_SECONDS, offset).filter((s, i) => i % 10 === 0);
    samples.forEach((s) => { s.at = Math.round(s.at); });
    const track = join(home, 'VEK', 'data', name.replace('.MOV', '.data'));
    writeFileSync(track, trackText(name, samples));
    tracks += track + ','; clips += clip + ',';
  };
  for (let i = 0; i < CLIPS; i++) add(`TRIP_${String(i).padStart(3, '0')}.MOV`, T0 + i * CLIP_SECONDS, i * CLIP_SECONDS);
  add('ZLONE_000.MOV', T0 + CLIPS * CLIP_SECONDS + LONE_GAP_S, 0);
  return { tracks, clips };
}

// Milliseconds from choosing clip `index` to the painted frame with its
// trip figures, the trip under the route and the chart marks.
async function openTimes(page, indices) {
  return page.evaluate(async (list) => {
    const times = [];
    for (const i of list) {
      VEK.app.viewer.select((i + 1) % VEK.app.viewer.clips.length, false);
      await new Promise((r) => setTimeout(r, 30));
      const t0 = performance.now();
      VEK.app.viewer.select(i, false);
      const route = VEK.app.views.route;
      while (!(VEK.app.viewer.track && route.screen && route.tripCurrent === i)) {
        await new Promise((r) => setTimeout(r, 0));
      }
      await new Promise((r) => requestAnimationFrame(() => r()));
      times.push(performance.now() - t0);
    }
    return times;
  }, indices);
}

// Per frame at 4x (a new sample every few frames), timed in batches of
// frames since the clock's resolution is a tenth of a millisecond.
const BATCH = 25;
async function frameCosts(page, frames) {
  return page.evaluate(async ({ n, batch }) => {
    const viewer = VEK.app.viewer;
    const costs = [];
    for (let k = 0; k < n; k += batch) {
      const t0 = performance.now();
      for (let j = k; j < k + batch; j++) viewer.onTick((j % 2700) / 15);
      costs.push((performance.now() - t0) / batch);
      await new Promise((r) => requestAnimationFrame(r));
    }
    return costs;
  }, { n: frames, batch: BATCH });
}

export async function tripBench(browser, video, stats) {
  const { page, native, context } = await openPage(browser);
  const lists = library(native.home, video);
  await page.evaluate(`file_list_fun(${literal(lists.tracks)},${literal(lists.clips)},'0');user_path=${literal(native.userPath)}`);
  await page.waitForFunction(() => VEK.app.viewer.clips.every((c) => VEK.trackLoader.cached(c.track, c.name)), null,
    { timeout: 300000 });
  const ratio = (a, b) => (a.median / b.median).toFixed(2);
  const lone = stats(await openTimes(page, Array(10).fill(CLIPS)));
  const trip = stats(await openTimes(page, Array.from({ length: 10 }, (_, k) => k * 8)));
  const samples = await page.evaluate(() => VEK.app.tripView.trips[0].clips.reduce((n, c) => n + c.track.count, 0));
  console.log(`4-hour trip (${CLIPS} clips, ${samples} samples):`);
  console.log(`  open a lone clip (baseline):  median ${lone.median.toFixed(1)} ms, p95 ${lone.p95.toFixed(1)} ms`);
  console.log(`  open a clip of the trip:      median ${trip.median.toFixed(1)} ms, p95 ${trip.p95.toFixed(1)} ms` +
    `  (p95 / budget ${OPEN_BUDGET_MS} ms = ${(trip.p95 / OPEN_BUDGET_MS).toFixed(2)}, median ratio to lone clip ${ratio(trip, lone)})`);
  await openTimes(page, [CLIPS]);
  const loneFrame = stats(await frameCosts(page, 2500));
  await openTimes(page, [40]);
  const tripFrame = stats(await frameCosts(page, 2500));
  console.log(`  per-frame update, lone clip (baseline): median ${loneFrame.median.toFixed(3)} ms, p95 ${loneFrame.p95.toFixed(3)} ms`);
  console.log(`  per-frame update in the trip:           median ${tripFrame.median.toFixed(3)} ms, p95 ${tripFrame.p95.toFixed(3)} ms` +
    `  (p95 / budget ${FRAME_BUDGET_MS} ms = ${(tripFrame.p95 / FRAME_BUDGET_MS).toFixed(2)}, median ratio to lone clip ${ratio(tripFrame, loneFrame)})`);
  await context.close();
}
