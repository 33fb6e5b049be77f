// Page benchmark in headless Chromium: 200 listed clips with 3-minute
// tracks of 1800 samples each. Prints the time from choosing a clip to its
// route and charts on screen (track not yet read, and read before), and the
// per-frame cost of following the video, each against its budget.
// Then a 4-hour trip (bench/page/trip.mjs).
// Run: node bench/page/run.mjs   (VEK_WWW=build/share/vek/www for the built page)
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, symlinkSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { tmpdir } from 'node:os';
import { launch, openPage, literal } from '../../tests/page/harness.mjs';
import { freeGpsTrack } from '../../tests/page/fixtures.mjs';
import { tripBench } from './trip.mjs';

const CLIPS = 200;
const TRACK_SECONDS = 180; // 1800 samples at ten a second
const SWITCH_BUDGET_MS = 100;
const FRAME_BUDGET_MS = 1000 / 60;
const SWITCHES = 25;
const FRAMES = 600;

function longClip() {
  const file = join(tmpdir(), 'vek-bench-180s.mp4');
  if (!existsSync(file)) {
    execFileSync('ffmpeg', ['-loglevel', 'error', '-y', '-f', 'lavfi', '-i', 'testsrc2=size=640x360:rate=30',
      '-t', String(TRACK_SECONDS), '-c:v', 'libx264', '-preset', 'ultrafast', '-pix_fmt', 'yuv420p', file]);
  }
  return file;
}

function library(home) {
  const card = mkdtempSync(join(tmpdir(), 'vek-bench-card-'));
  const video = longClip();
  let tracks = '';
  let clips = '';
  for (let i = 0; i < CLIPS; i++) {
    const name = `2016_0301_${String(100000 + i * 300).padStart(6, '0')}_${String(i).padStart(3, '0')}.MOV`;
    const clip = join(card, name);
    symlinkSync(video, clip);
    const track = join(home, 'VEK', 'data', name.replace('.MOV', '.data'));
    writeFileSync(track, freeGpsTrack(name, { seconds: TRACK_SECONDS }));
    tracks += track + ',';
    clips += clip + ',';
  }
  return { tracks, clips };
}

const stats = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  const at = (q) => s[Math.min(s.length - 1, Math.floor(q * s.length))];
  return { median: at(0.5), p95: at(0.95), max: s[s.length - 1] };
};
const fmt = (st, budget) => `median ${st.median.toFixed(1)} ms, p95 ${st.p95.toFixed(1)} ms, max ${st.max.toFixed(1)} ms` +
  `  (p95 / budget ${budget.toFixed(1)} ms = ${(st.p95 / budget).toFixed(2)})`;

// Milliseconds from the click on a row to the first frame painted with its
// route and charts.
async function switchTimes(page, indices) {
  return page.evaluate(async (list) => {
    const times = [];
    for (const i of list) {
      const clip = VEK.app.viewer.clips[i];
      // The list holds only the rows in sight: scroll the row into it first.
      const list = VEK.app.views.list;
      list.list.scrollTop = VEK.listWindow.offset(i, list.height);
      list.finish();
      const t0 = performance.now();
      list.list.querySelector('.clip[data-index="' + i + '"] .clip-main').click();
      while (!(VEK.app.viewer.track && VEK.app.viewer.currentClip() === clip && VEK.app.views.route.screen)) {
        await new Promise((r) => setTimeout(r, 0));
      }
      await new Promise((r) => requestAnimationFrame(() => r()));
      times.push(performance.now() - t0);
      await new Promise((r) => setTimeout(r, 50));
    }
    return times;
  }, indices);
}

// Per displayed frame during playback at 4x (a new sample every frame):
// the time spent updating readings, route and chart cursors, and the
// interval between frames; idle frames measured first as the baseline.
async function frameCosts(page) {
  return page.evaluate(async (frames) => {
    const intervals = async (n) => {
      const out = [];
      let last = await new Promise((r) => requestAnimationFrame(r));
      for (let k = 0; k < n; k++) { const now = await new Promise((r) => requestAnimationFrame(r)); out.push(now - last); last = now; }
      return out;
    };
    const idle = await intervals(120);
    const viewer = VEK.app.viewer;
    const costs = [];
    const onTick = viewer.onTick;
    viewer.onTick = function (t) { const t0 = performance.now(); onTick.call(this, t); costs.push(performance.now() - t0); };
    const v = document.querySelector('video');
    v.playbackRate = 4;
    await v.play();
    const playing = await intervals(frames);
    v.pause();
    viewer.onTick = onTick;
    return { idle, playing, costs };
  }, FRAMES);
}

const browser = await launch();
const { page, native, context } = await openPage(browser);
const lists = library(native.home);
native.tracks = lists.tracks;
native.clips = lists.clips;
const t0 = Date.now();
await page.evaluate(`file_list_fun(${literal(lists.tracks)},${literal(lists.clips)},'0');user_path=${literal(native.userPath)}`);
console.log(`listing ${CLIPS} clips: ${Date.now() - t0} ms (file_list_fun call, background track reads then start)`);

const cold = await switchTimes(page, Array.from({ length: SWITCHES }, (_, k) => CLIPS - 1 - k * 7));
console.log(`switch, track not read before:  ${fmt(stats(cold), SWITCH_BUDGET_MS)}`);
const warm = await switchTimes(page, Array.from({ length: SWITCHES }, (_, k) => CLIPS - 1 - k * 7));
console.log(`switch, track read before:      ${fmt(stats(warm), SWITCH_BUDGET_MS)}`);

const f = await frameCosts(page);
const dropped = (xs) => xs.filter((d) => d > 1.5 * FRAME_BUDGET_MS).length;
console.log(`per-frame update during playback: ${fmt(stats(f.costs), FRAME_BUDGET_MS)}`);
console.log(`frame interval idle (baseline):   ${fmt(stats(f.idle), FRAME_BUDGET_MS)}, late frames ${dropped(f.idle)}/${f.idle.length}`);
console.log(`frame interval playing at 4x:     ${fmt(stats(f.playing), FRAME_BUDGET_MS)}, late frames ${dropped(f.playing)}/${f.playing.length}` +
  `  (median ratio to idle ${(stats(f.playing).median / stats(f.idle).median).toFixed(2)})`);
await context.close();
await tripBench(browser, longClip(), stats);
await browser.close();
