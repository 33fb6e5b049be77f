// Page benchmark in headless Chromium: 500 clips dragged in at once. The
// native side reports the clip list after every dragged path, so the page
// receives 500 reports in a burst, each one a task of its own, as the
// application's script evaluations arrive. Prints the time from the last
// report to the complete list and the longest page task, against their
// budgets, and the same for a single report of all 500 as the baseline.
// Run: node bench/page/drag.mjs   (VEK_WWW=build/share/vek/www for the built page)
import { mkdtempSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { tmpdir } from 'node:os';
import { launch, openPage } from '../../tests/page/harness.mjs';
import { freeGpsTrack, clipFile } from '../../tests/page/fixtures.mjs';

const CLIPS = 500;
const COMPLETE_BUDGET_MS = 1000;
const TASK_BUDGET_MS = 100;

function library(home) {
  const card = mkdtempSync(join(tmpdir(), 'vek-bench-drag-'));
  const video = clipFile(5);
  const tracks = [];
  const clips = [];
  for (let i = 0; i < CLIPS; i++) {
    const name = `2016_0301_${String(100000 + i * 5).padStart(6, '0')}_${String(i).padStart(3, '0')}.MOV`;
    clips.push(join(card, name));
    const track = join(home, 'VEK', 'data', name.replace('.MOV', '.data'));
    writeFileSync(track, freeGpsTrack(name, { seconds: 60 }));
    tracks.push(track);
  }
  return { tracks, clips, video };
}

// Delivers the reports of one drag (the n-th names the first n clips, newest
// first), one task each from `first` on, and measures in the page.
async function deliver(page, { tracks, clips }, first) {
  return page.evaluate(({ tracks, clips, first }) => new Promise((resolve) => {
    const list = (paths) => paths.map((p) => p + ',').join('');
    const all = [];
    for (let n = first; n <= clips.length; n++) {
      all.push([list(tracks.slice(0, n).reverse()), list(clips.slice(0, n).reverse()), clips[n - 1]]);
    }
    const longest = { ms: 0 };
    const observer = new PerformanceObserver((list) => {
      list.getEntries().forEach((e) => { longest.ms = Math.max(longest.ms, e.duration); });
    });
    observer.observe({ type: 'longtask', buffered: false });
    const channel = new MessageChannel();
    let next = 0;
    let lastSent = 0;
    channel.port1.onmessage = () => {
      const [tracks, clips, current] = all[next++];
      window.file_list_fun(tracks, clips, current);
      if (next < all.length) channel.port2.postMessage(0); else lastSent = performance.now();
    };
    const total = all.length;
    const rows = () => document.querySelectorAll('.clip').length;
    channel.port2.postMessage(0);
    (function waitComplete() {
      if (lastSent && rows() === total) {
        const complete = performance.now() - lastSent;
        // Let queued work run so its long tasks are counted too.
        setTimeout(() => { observer.disconnect(); resolve({ complete, longest: longest.ms }); }, 3000);
        return;
      }
      setTimeout(waitComplete, 5);
    })();
  }), { tracks, clips, first });
}

const browser = await launch();
try {
  const results = {};
  for (const [label, first] of [['one report (baseline)', CLIPS], ['500 reports', 1]]) {
    const { page, native, context } = await openPage(browser);
    page.on('crash', () => console.log(`${label}: the page crashed`));
    const lib = library(native.home);
    const m = await deliver(page, lib, first);
    results[label] = m;
    console.log(`${label}: list complete ${m.complete.toFixed(0)} ms after the last report, longest task ${m.longest.toFixed(0)} ms`);
    await context.close();
  }
  const base = results['one report (baseline)'];
  const burst = results['500 reports'];
  console.log(`baseline: list complete ${base.complete.toFixed(0)} ms, longest task ${base.longest.toFixed(0)} ms`);
  console.log(`500 reports: list complete ${burst.complete.toFixed(0)} ms after the last report ` +
    `(/ budget ${COMPLETE_BUDGET_MS} ms = ${(burst.complete / COMPLETE_BUDGET_MS).toFixed(2)}), ` +
    `longest task ${burst.longest.toFixed(0)} ms (/ budget ${TASK_BUDGET_MS} ms = ${(burst.longest / TASK_BUDGET_MS).toFixed(2)}), ` +
    `complete time ${(burst.complete / Math.max(1, base.complete)).toFixed(1)}x the single report's`);
} finally {
  await browser.close();
}
