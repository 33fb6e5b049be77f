// A list that grows report by report, as while a card is read: trips placed
// clip by clip must come out as a grouping of the whole list would, and
// rows built only for the new clips must end as a list rendered whole.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { symlinkSync, writeFileSync } from 'node:fs';
import { launch, openPage, literal, listText, scratchFolder } from './harness.mjs';
import { freeGpsTrack, clipFile } from './fixtures.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

// In the page: a stand-in track starting at camera-clock second `start`
// (freeGPS keys, an hour ahead of UTC), and groupings in a comparable form.
const PAGE_HELPERS = `
  window.fakeTrack = (start, duration) => ({ start: start + 3600, duration, count: 1, stat: ['65'], id: 0 });
  // A track of \`count\` samples a second apart with figures to add up: a
  // drive with standing, no-fix samples, (0, 0) fixes and lone jumps.
  window.driveTrack = (start, count, rnd) => {
    const t = new Float64Array(count); const lat = new Float64Array(count); const lon = new Float64Array(count);
    const speed = new Float64Array(count); const valid = new Uint8Array(count); const stat = [];
    let la = 48 + rnd(); let lo = 11 + rnd();
    for (let i = 0; i < count; i++) {
      const r = rnd();
      la += rnd() * 0.0002; lo += rnd() * 0.0002;
      t[i] = i; speed[i] = r < 0.2 ? 1 : r * 120; valid[i] = r < 0.9 ? 1 : 0; stat.push(r > 0.95 ? '86' : '65');
      lat[i] = r > 0.93 && r < 0.95 ? la + 1 : r > 0.92 && r < 0.93 ? 0 : la; lon[i] = r > 0.92 && r < 0.93 ? 0 : lo;
    }
    const g = new Float64Array(count).fill(1);
    return { start: start + 3600, duration: count, count, t, lat, lon, speed, valid, stat, x: g, y: g, z: g, id: 0 };
  };
  // The same pseudo-random sequence for a seed on every run.
  window.seeded = (seed) => {
    let s = seed;
    return () => { s = (s * 1103515245 + 12345) % 2147483648; return s / 2147483648; };
  };
  // A clip list of its own, outside the page's.
  window.makeClipList = () => {
    const root = document.createElement('aside');
    root.innerHTML = '<span data-r="clip-count"></span><ul class="clip-list" data-r="clip-list"></ul>';
    document.body.appendChild(root);
    return new VEK.ClipList(root, { onSelect() {}, onPick() {}, onRemove() {} });
  };
  window.shape = (trips) => trips.map((t) => [t.first, t.last, t.spans.map((s) => s && [s.start, s.end])]);
  // Markup with attributes and class names in a fixed order: the order they
  // were set in is not what the page shows.
  window.canonical = (node) => {
    if (node.nodeType === Node.TEXT_NODE) return JSON.stringify(node.textContent);
    const attrs = [...node.attributes].map((a) => a.name + '=' + (a.name === 'class'
      ? [...node.classList].sort().join(' ') : a.value)).sort();
    return node.localName + '[' + attrs.join(';') + '](' + [...node.childNodes].map(window.canonical).join(',') + ')';
  };
  // The rows in the page with the list scrolled to its top: rows out of
  // sight are not in the page, and the space standing for them depends on
  // which rows were measured before.
  window.rowsAtTop = (list) => {
    list.list.scrollTop = 0;
    list.finish();
    return [...list.list.children].map(window.canonical);
  };
  window.groupBoth = (grouping, entries, gap, basis) => {
    const clock = VEK.time.current();
    return { placed: grouping.update(entries, clock, gap, basis || 'b'), whole: VEK.trips.group(entries, clock, gap) };
  };
`;

// Rows in two pages' lists (canonical markup) that show the same rows: out
// of sight rows are not in the page, and a list placed otherwise shows a
// few rows more or less, so the rows of the same index are compared.
const indexOf = (row) => Number(/^li\[[^\]]*data-index=(\d+)/.exec(row)[1]);
function assertSameRows(got, want, least, what) {
  const wanted = new Map(want.map((row) => [indexOf(row), row]));
  const both = got.filter((row) => wanted.has(indexOf(row)));
  assert.ok(both.length >= least, `${what}: ${both.length} rows in both lists`);
  assert.deepEqual(both, both.map((row) => wanted.get(indexOf(row))), what);
}

// The indices of rows with a trip header, and those of trips' first rows
// among the rows shown.
function headers(rows, trips) {
  const shown = new Set(rows.map(indexOf));
  return {
    headed: rows.filter((row) => /class=trip-header/.test(row)).map(indexOf),
    firsts: trips.map((t) => t[0]).filter((first) => shown.has(first)),
  };
}

async function pageWithHelpers() {
  const opened = await openPage(browser);
  await opened.page.evaluate(PAGE_HELPERS);
  return opened;
}

describe('trips placed clip by clip', () => {
  it('split and merge at the gap threshold, and group anew after a removal', async () => {
    const { page, context } = await pageWithHelpers();
    const steps = await page.evaluate(() => {
      const g = new VEK.TripGrouping();
      const clip = { A: [0, 60], B: [180, 60], C: [361, 59], D: [240.5, 59.5] };
      const entries = (keys, durations = {}) => keys.map((k) => ({
        key: k, track: window.tracks[k], duration: durations[k] || 0 }));
      window.tracks = {};
      Object.keys(clip).forEach((k) => { window.tracks[k] = window.fakeTrack(clip[k][0], clip[k][1]); });
      const run = (list) => {
        const both = window.groupBoth(g, list, 120);
        return { placed: window.shape(both.placed).map((t) => [t[0], t[1]]), same: JSON.stringify(window.shape(both.placed)) === JSON.stringify(window.shape(both.whole)) };
      };
      return [
        run(entries(['A', 'C'])), // 301 s apart: two trips
        run(entries(['A', 'B', 'C'])), // B starts exactly 120 s after A ends; C 121 s after B
        run(entries(['A', 'B', 'D', 'C'])), // D closes the gap: the two trips merge
        run(entries(['A', 'B', 'D', 'C'], { D: 20 })), // D's movie is shorter than its track: C is 100.5 s after it
        run(entries(['A', 'B', 'D', 'C'], { D: 0.1 })), // now C starts 120.4 s after D: split again
        run(entries(['A', 'B', 'C'])), // D removed
      ];
    });
    assert.deepEqual(steps.map((s) => s.placed), [
      [[0, 0], [1, 1]],
      [[0, 1], [2, 2]],
      [[0, 3]],
      [[0, 3]],
      [[0, 2], [3, 3]],
      [[0, 1], [2, 2]],
    ]);
    assert.ok(steps.every((s) => s.same), 'each equals a grouping of the whole list');
    await context.close();
  });

  it('a clip whose track arrives late joins the trips on both sides; an earlier start splits', async () => {
    const { page, context } = await pageWithHelpers();
    const steps = await page.evaluate(() => {
      const g = new VEK.TripGrouping();
      const a = window.fakeTrack(0, 60); const b = window.fakeTrack(100, 60); const c = window.fakeTrack(200, 60);
      const early = window.fakeTrack(30, 60); // starts before B: never joins B
      const list = (tb, tc) => [{ key: 'a', track: a }, { key: 'b', track: tb }, { key: 'c', track: tc }];
      return [list(null, c), list(b, c), list(b, early)].map((entries) => {
        const both = window.groupBoth(g, entries, 120);
        return [window.shape(both.placed).map((t) => [t[0], t[1]]), JSON.stringify(window.shape(both.placed)) === JSON.stringify(window.shape(both.whole))];
      });
    });
    assert.deepEqual(steps, [[[[0, 0], [1, 1], [2, 2]], true], [[[0, 2]], true], [[[0, 1], [2, 2]], true]]);
    await context.close();
  });

  it('equals a grouping of the whole list for random arrival orders, keeping every trip that did not change', async () => {
    const { page, context } = await pageWithHelpers();
    for (const seed of [1, 7, 2024, 99991]) {
      const result = await page.evaluate((seed) => {
        const rnd = window.seeded(seed);
        // A card of 80 clips in name order: drives split by gaps just at,
        // just past and far past the threshold, overlaps and clock steps back.
        const card = []; let t = 1456822800;
        for (let i = 0; i < 80; i++) {
          const duration = [60, 120, 180][Math.floor(rnd() * 3)];
          card.push({ key: 'K' + String(i).padStart(3, '0'), track: window.fakeTrack(t, duration), movie: duration - 0.5 });
          const r = rnd();
          t += duration + (r < 0.2 ? 120 : r < 0.3 ? 120.5 : r < 0.4 ? -duration - 10 : r < 0.5 ? 4000 : r < 0.6 ? -20 : 1);
        }
        const listed = new Set(); const read = new Set(); const played = new Set();
        const g = new VEK.TripGrouping();
        let previous = []; let mismatch = null; let reused = 0; let wrongReuse = 0;
        const signature = (trip, entries) => entries.slice(trip.first, trip.last + 1)
          .map((e) => e.key + (e.track ? '+' + e.track.id : '-') + e.duration).join(',');
        for (let step = 0; step < 60 && !mismatch; step++) {
          const waiting = card.filter((c) => !listed.has(c.key));
          for (let n = 1 + Math.floor(rnd() * 4); n > 0 && waiting.length; n--) listed.add(waiting.splice(Math.floor(rnd() * waiting.length), 1)[0].key);
          card.forEach((c) => { if (listed.has(c.key) && rnd() < 0.3) read.add(c.key); });
          card.forEach((c) => { if (read.has(c.key) && rnd() < 0.05) played.add(c.key); });
          // A track read again (a changed clip): the same times, another object.
          card.forEach((c) => { if (read.has(c.key) && rnd() < 0.02) c.track = { ...c.track, id: step }; });
          if (step % 17 === 16) listed.delete([...listed][Math.floor(rnd() * listed.size)]); // a removal
          const gap = step < 40 ? 120 : 60; // the trip gap setting changes
          const entries = card.filter((c) => listed.has(c.key)).map((c) => ({
            key: c.key, track: read.has(c.key) ? c.track : null, duration: played.has(c.key) ? c.movie : 0 }));
          const both = window.groupBoth(g, entries, gap, 'gap ' + gap);
          if (JSON.stringify(window.shape(both.placed)) !== JSON.stringify(window.shape(both.whole))) mismatch = step;
          const before = new Map(previous.map((p) => [p.trip, p.signature]));
          both.placed.forEach((trip) => {
            if (!before.has(trip)) return;
            reused++;
            if (before.get(trip) !== signature(trip, entries)) wrongReuse++;
          });
          previous = both.placed.map((trip) => ({ trip, signature: signature(trip, entries) }));
        }
        return { mismatch, reused, wrongReuse };
      }, seed);
      assert.equal(result.mismatch, null, `seed ${seed}: the trips differ from a whole grouping at that step`);
      assert.equal(result.wrongReuse, 0, `seed ${seed}: a trip kept its object though its clips changed`);
      assert.ok(result.reused > 50, `seed ${seed}: unchanged trips keep their object (${result.reused} kept)`);
    }
    await context.close();
  });
});

describe('rows built only for new clips', () => {
  it('end as the same list as a render of the whole list, with marks and texts', async () => {
    const { page, context } = await pageWithHelpers();
    const differences = await page.evaluate(() => {
      const rnd = window.seeded(12345);
      const make = window.makeClipList;
      const shown = (list) => (list.finish(), {
        html: list.list.innerHTML, count: list.count.textContent,
        checked: [...list.list.querySelectorAll('.clip-pick')].map((c) => c.checked).join(''),
        rows: list.rows.every((row, i) => list.list.children[i] === row),
      });
      const all = Array.from({ length: 60 }, (_, i) => ({ path: `/card/F${String(i).padStart(3, '0')}.MOV`, name: `F${i}.MOV` }));
      const listed = new Set(); const picked = new Set(); const metas = new Map();
      let current = null;
      const grown = make();
      const differences = [];
      // Marks as the page sets them again after each report; a list built
      // anew also gets the texts of the tracks read so far.
      const mark = (list, clips, texts) => {
        const at = (path) => clips.findIndex((c) => c.path === path);
        if (texts) metas.forEach((meta, path) => list.setMeta(at(path), meta));
        if (current) list.setCurrent(at(current), true);
        picked.forEach((path) => list.setPicked(at(path), true));
      };
      // Rendered through a reordering first, so its rows are reused in place.
      const rebuilt = make();
      for (let step = 0; step < 30; step++) {
        const waiting = all.filter((c) => !listed.has(c.path));
        for (let n = 1 + Math.floor(rnd() * 3); n > 0 && waiting.length; n--) listed.add(waiting.splice(Math.floor(rnd() * waiting.length), 1)[0].path);
        const clips = all.filter((c) => listed.has(c.path)).map((c) => ({ ...c }));
        grown.render(clips);
        const pick = clips[Math.floor(rnd() * clips.length)].path;
        if (rnd() < 0.3) { if (picked.has(pick)) picked.delete(pick); else picked.add(pick); }
        if (rnd() < 0.3) current = clips[Math.floor(rnd() * clips.length)].path;
        mark(grown, clips, false);
        rebuilt.render(clips.slice().reverse());
        rebuilt.render(clips);
        mark(rebuilt, clips, false);
        const read = clips[Math.floor(rnd() * clips.length)];
        const meta = { when: 'read at ' + step, duration: '0:0' + (step % 10), tag: step % 5 ? '' : 'no GPS' };
        metas.set(read.path, meta);
        grown.setMeta(clips.indexOf(read), meta);
        rebuilt.setMeta(clips.indexOf(read), meta);
        const whole = make();
        whole.render(clips);
        mark(whole, clips, true);
        const a = shown(grown); const b = shown(whole); const c = shown(rebuilt);
        if (JSON.stringify(a) !== JSON.stringify(b)) differences.push({ step, grown: a, whole: b });
        if (JSON.stringify(c) !== JSON.stringify(b)) differences.push({ step, rebuilt: c, whole: b });
        whole.root.remove();
      }
      return differences;
    });
    assert.deepEqual(differences, []);
    await context.close();
  });
});

describe('a page fed report by report', () => {
  it('shows what a page given the whole list at once shows: rows, times, trips', async () => {
    const dir = scratchFolder('vek-growth-card-');
    const video = clipFile(2);
    const fed = await pageWithHelpers();
    const whole = await pageWithHelpers();
    const paths = []; const tracks = [];
    for (let i = 0; i < 36; i++) {
      // Drives of six clips, the next one an hour later.
      const second = i * 2 + Math.floor(i / 6) * 3600;
      const start = { y: 2016, mo: 3, d: 1, h: 10 + Math.floor(second / 3600), mi: Math.floor(second / 60) % 60, s: second % 60 };
      const name = `2016_0301_${String(start.h).padStart(2, '0')}${String(start.mi).padStart(2, '0')}${String(start.s).padStart(2, '0')}_${String(i).padStart(3, '0')}.MOV`;
      paths.push(fed.native.addClip(dir, name, freeGpsTrack(name, { seconds: 2, start }), video));
      tracks.push(join(fed.native.userPath, name.replace('.MOV', '.data')));
    }
    // Reads slower than the reports come, so a read often ends after a newer
    // list has replaced the one it was started for.
    await fed.page.evaluate(() => {
      const load = VEK.trackLoader.load;
      window.slowReads = 0;
      VEK.trackLoader.load = (track, name, done, urgent) => {
        window.slowReads++;
        load(track, name, (r) => setTimeout(() => { window.slowReads--; done(r); }, 120), urgent);
      };
    });
    // What the intake knows of a clip may come with a later report: clip 3's movie is 75 s long.
    const facts = (listed) => listed.map((p) => (p === paths[3] ? '75|' : '|') + ',').join('');
    const sendFacts = (page, listed) => page.evaluate(`clip_facts(${literal(listText(listed))},${literal(facts(listed))})`);
    // The intake's order: a worker may finish a clip before the one before it.
    const order = [1, 0, 2, 3, 5, 4, 6, 7, 8, 10, 9, 11, 12, 13, 14, 15, 17, 16, 18, 19, 20, 21, 22, 23, 25, 24, 26, 27, 28, 29, 31, 30, 32, 33, 35, 34];
    for (let k = 0; k < order.length; k += 3) {
      const taken = order.slice(0, k + 3);
      fed.native.clips = taken.map((i) => paths[i]);
      fed.native.tracks = taken.map((i) => tracks[i]);
      if (k >= 15) await sendFacts(fed.page, fed.native.clips);
      await fed.native.report('0');
      if (k === 9) await fed.page.evaluate(() => VEK.app.viewer.select(4, false));
      await fed.page.waitForTimeout(40 + (k % 4) * 30);
    }
    whole.native.clips = paths;
    whole.native.tracks = tracks;
    await sendFacts(whole.page, paths);
    await whole.native.report('0');
    await whole.page.waitForFunction(() => VEK.app.viewer.clips.length === 36);
    await whole.page.evaluate((p) => VEK.app.viewer.select(VEK.app.viewer.indexOf(p), false), paths[4]);
    const settled = () => VEK.app.viewer.clips.length === 36 && !window.slowReads &&
      VEK.app.viewer.clips.every((c) => VEK.trackLoader.cached(c.track, c.name)) &&
      VEK.app.tripView.timer === null && VEK.app.tripView.listed === VEK.app.viewer.clips;
    const listShown = async (page) => {
      await page.waitForFunction(settled, null, { timeout: 60000 });
      await page.waitForTimeout(300);
      await page.waitForFunction(settled);
      return page.evaluate(() => ({
        html: window.rowsAtTop(VEK.app.views.list),
        count: document.querySelector('[data-r="clip-count"]').textContent,
        trips: VEK.app.tripView.trips.map((t) => [t.first, t.last, Math.round(t.figures.distance)]),
      }));
    };
    const a = await listShown(fed.page);
    const b = await listShown(whole.page);
    assert.equal(b.trips.length, 6, 'six drives');
    assert.match(b.html.join(), /"1:15"/, 'the movie\'s length shown for clip 3');
    assert.deepEqual(a.trips, b.trips);
    assert.equal(a.count, b.count);
    assertSameRows(a.html, b.html, 15, 'the rows at the top');
    assert.equal(await fed.page.evaluate(() => VEK.app.viewer.track?.count), 20,
      'the clip chosen shows its track though a report came during its read');
    assert.deepEqual(fed.errors, []);
    await fed.context.close();
    await whole.context.close();
  });
});

describe('a track written after its clip was listed', () => {
  it('is read again at the next report and shown in the row kept', async () => {
    const { page, native, context } = await openPage(browser);
    const dir = scratchFolder('vek-late-card-');
    const name = '2016_0301_100507_001.MOV';
    const clip = native.addClip(dir, name, null, clipFile(2));
    native.clips = [clip];
    native.tracks = [join(native.userPath, name.replace('.MOV', '.data'))];
    await native.report('0');
    await page.waitForFunction(() => document.querySelector('.clip-tag')?.textContent);
    const missing = await page.textContent('.clip-tag');
    writeFileSync(native.tracks[0], freeGpsTrack(name, { seconds: 2 }));
    const other = native.addClip(dir, 'LATER.MOV', freeGpsTrack('LATER.MOV', { seconds: 2 }), clipFile(2));
    native.clips.push(other);
    native.tracks.push(join(native.userPath, 'LATER.data'));
    await native.report('0');
    await page.waitForFunction(() => document.querySelector('.clip-when').textContent === '2016-03-01 09:05:07');
    assert.notEqual(missing, '');
    assert.equal(await page.textContent('.clip-tag'), '');
    await context.close();
  });
});

describe('trip figures carried on as a trip grows', () => {
  it('equal figures added up whole, for random growth orders', async () => {
    const { page, context } = await pageWithHelpers();
    for (const seed of [3, 41, 2026]) {
      const result = await page.evaluate((seed) => {
        const rnd = window.seeded(seed);
        // Drives of clips that follow each other, with gaps that split them.
        const card = []; let start = 1456822800;
        for (let i = 0; i < 70; i++) {
          const count = 5 + Math.floor(rnd() * 40);
          card.push({ key: 'K' + String(i).padStart(3, '0'), track: window.driveTrack(start, count, rnd) });
          start += count + (rnd() < 0.1 ? 4000 : 1);
        }
        const view = new VEK.TripView({ settings: { eventThreshold: 0.5 } });
        const g = new VEK.TripGrouping();
        const listed = new Set(); let grown = 0; let compared = 0; const differences = [];
        const figures = (f) => [f.distance, f.maxKmh, f.avgKmh, f.start, f.end, f.duration];
        while (listed.size < card.length) {
          // Mostly the next clips in order (a trip grows at its end), now and then one further on.
          const waiting = card.filter((c) => !listed.has(c.key));
          const pick = rnd() < 0.8 ? 0 : Math.floor(rnd() * waiting.length);
          for (let n = 1 + Math.floor(rnd() * 3); n > 0 && waiting.length; n--) listed.add(waiting.splice(Math.min(pick, waiting.length - 1), 1)[0].key);
          const entries = card.filter((c) => listed.has(c.key)).map((c) => ({ key: c.key, track: c.track, duration: 0 }));
          g.update(entries, VEK.time.current(), 120, 'b').forEach((trip) => {
            if (trip.clips) return;
            if (trip.grewFrom) grown++;
            view.describe(trip, entries);
            const whole = VEK.trips.describe(trip, entries.slice(trip.first, trip.last + 1).map((e) => e.track));
            compared++;
            if (JSON.stringify(figures(trip.figures)) !== JSON.stringify(figures(whole))) {
              differences.push({ first: trip.first, last: trip.last, carried: figures(trip.figures), whole: figures(whole) });
            }
          });
        }
        return { grown, compared, differences: differences.slice(0, 3) };
      }, seed);
      assert.deepEqual(result.differences, [], `seed ${seed}: carried figures differ from whole ones`);
      assert.ok(result.grown >= 10, `seed ${seed}: trips went on from their figures (${result.grown} of ${result.compared})`);
    }
    await context.close();
  });
});

describe('rows built in slices', () => {
  it('end as a list rendered whole, with reports, marks and texts coming while slices are pending', async () => {
    const { page, context } = await pageWithHelpers();
    const outcome = await page.evaluate(async () => {
      const rnd = window.seeded(777);
      const make = window.makeClipList;
      const shown = (list) => ({
        html: list.list.innerHTML, count: list.count.textContent,
        rows: list.rows.length === list.list.children.length && list.rows.every((row, i) => list.list.children[i] === row),
      });
      const tick = () => new Promise((resolve) => setTimeout(resolve, 0));
      const all = Array.from({ length: 400 }, (_, i) => ({ path: `/card/F${String(i).padStart(3, '0')}.MOV`, name: `F${i}.MOV` }));
      const listed = new Set(); const picked = new Set(); const metas = new Map();
      let current = null; let pendingSeen = 0;
      const sliced = make();
      sliced.sliceMs = 0.2; // slices of a few rows, as on a slow machine
      const at = (clips, path) => clips.findIndex((c) => c.path === path);
      // A first report of most of the card, then small ones, the first few
      // taken together at random with a removal and a reordering.
      for (let step = 0; step < 40; step++) {
        const waiting = all.filter((c) => !listed.has(c.path));
        for (let n = step ? 1 + Math.floor(rnd() * 6) : 300; n > 0 && waiting.length; n--) listed.add(waiting.splice(Math.floor(rnd() * waiting.length), 1)[0].path);
        if (step === 20) listed.delete([...listed][Math.floor(rnd() * listed.size)]);
        let clips = all.filter((c) => listed.has(c.path)).map((c) => ({ ...c }));
        if (step === 30) clips = clips.slice(10).concat(clips.slice(0, 10));
        sliced.render(clips);
        if (sliced.unbuilt) pendingSeen++;
        [...picked].forEach((path) => { if (!listed.has(path)) picked.delete(path); });
        if (current && !listed.has(current)) current = null;
        const pick = clips[Math.floor(rnd() * clips.length)].path;
        if (rnd() < 0.3) { if (picked.has(pick)) picked.delete(pick); else picked.add(pick); }
        if (rnd() < 0.3) current = clips[Math.floor(rnd() * clips.length)].path;
        if (current) sliced.setCurrent(at(clips, current), rnd() < 0.5);
        picked.forEach((path) => sliced.setPicked(at(clips, path), true));
        for (let k = 0; k < 8; k++) {
          const read = clips[Math.floor(rnd() * clips.length)];
          const meta = rnd() < 0.5 ? { when: 'read at ' + step + '.' + k, duration: '0:0' + k, tag: k % 3 ? '' : 'no GPS' } : { tag: 'late ' + step };
          metas.set(read.path, { ...metas.get(read.path), ...meta });
          sliced.setMeta(at(clips, read.path), meta);
        }
        if (rnd() < 0.5) await tick();
      }
      while (sliced.unbuilt) await tick();
      const clips = all.filter((c) => listed.has(c.path));
      const whole = make();
      whole.render(clips);
      whole.finish();
      metas.forEach((meta, path) => { if (listed.has(path)) whole.setMeta(at(clips, path), meta); });
      if (current) whole.setCurrent(at(clips, current), true);
      picked.forEach((path) => whole.setPicked(at(clips, path), true));
      return { pendingSeen, sliced: shown(sliced), whole: shown(whole) };
    });
    assert.ok(outcome.pendingSeen > 5, `reports came while rows were left to build (${outcome.pendingSeen})`);
    assert.ok(outcome.whole.rows && outcome.sliced.rows, 'the rows are the list\'s children, in order');
    assert.equal(outcome.sliced.count, outcome.whole.count);
    assert.equal(outcome.sliced.html, outcome.whole.html);
    await context.close();
  });
});

describe('a long list given in slices', () => {
  it('ends as a page that built it whole: one big report, or small ones while rows are still being built', async () => {
    const dir = scratchFolder('vek-sliced-card-');
    const video = clipFile(2);
    const pages = { big: await pageWithHelpers(), small: await pageWithHelpers(), whole: await pageWithHelpers() };
    const paths = []; const tracks = [];
    for (let i = 0; i < 120; i++) {
      // Drives of ten clips, the next one an hour later.
      const second = i * 2 + Math.floor(i / 10) * 3600;
      const start = { y: 2016, mo: 3, d: 1, h: 6 + Math.floor(second / 3600), mi: Math.floor(second / 60) % 60, s: second % 60 };
      const name = `2016_0301_${String(start.h).padStart(2, '0')}${String(start.mi).padStart(2, '0')}${String(start.s).padStart(2, '0')}_${String(i).padStart(3, '0')}.MOV`;
      paths.push(pages.big.native.addClip(dir, name, freeGpsTrack(name, { seconds: 2, start }), video));
      tracks.push(join(pages.big.native.userPath, name.replace('.MOV', '.data')));
    }
    // Slices of one row, 20 ms apart, as on a slow machine (the rows in
    // sight are few); the page built whole builds every row with the report.
    const slowly = () => {
      const list = VEK.app.views.list;
      Object.assign(list, { sliceMs: -1, firstRows: 1 });
      list.slices.schedule = function () {
        if (this.timer !== null) return;
        this.timer = setTimeout(() => { this.timer = null; if (!this.step()) this.schedule(); }, 20);
      };
    };
    await pages.big.page.evaluate(slowly);
    await pages.small.page.evaluate(slowly);
    await pages.whole.page.evaluate(() => {
      const render = VEK.ClipList.prototype.render;
      VEK.ClipList.prototype.render = function (clips) { const added = render.call(this, clips); this.finish(); return added; };
    });
    const report = async ({ native, page }, taken, pick) => {
      native.clips = taken.map((i) => paths[i]);
      native.tracks = taken.map((i) => tracks[i]);
      await native.report('0');
      if (pick === undefined) return;
      // The list is built with the next frame: the pick waits for it.
      await page.waitForFunction((n) => VEK.app.viewer.clips.length === n, taken.length);
      await page.evaluate((p) => VEK.app.actions.pick(VEK.app.viewer.indexOf(p), true), paths[pick]);
    };
    const all = paths.map((_, i) => i);
    await report(pages.big, all.slice(0, 110), 100);
    await report(pages.big, all);
    // Most of the card, then a few clips a report, none waiting for the rows
    // before, with a clip gone and a reordering between.
    let pendingSeen = 0;
    for (let k = 80; k < 120; k += 3 + (k % 3)) {
      const taken = all.slice(0, k);
      await report(pages.small, k % 2 ? taken.reverse() : taken, k > 100 && k < 106 ? 100 : undefined);
      if (k === 76) await report(pages.small, all.slice(0, 60).filter((i) => i !== 7));
      pendingSeen += await pages.small.page.evaluate(() => (VEK.app.views.list.unbuilt ? 1 : 0));
    }
    await report(pages.small, all);
    await report(pages.whole, all, 100);
    const settled = () => VEK.app.viewer.clips.length === 120 && !VEK.app.views.list.unbuilt &&
      VEK.app.viewer.clips.every((c) => VEK.trackLoader.cached(c.track, c.name)) &&
      VEK.app.tripView.timer === null && VEK.app.tripView.listed === VEK.app.viewer.clips;
    const shown = async ({ page }) => {
      await page.waitForFunction(() => VEK.app.viewer.clips.length === 120); // built with the next frame
      await page.evaluate((p) => VEK.app.viewer.select(VEK.app.viewer.indexOf(p), false), paths[57]);
      await page.waitForFunction(settled, null, { timeout: 90000 });
      await page.waitForTimeout(300);
      await page.waitForFunction(settled);
      return page.evaluate(() => ({
        rows: [...document.querySelector('[data-r="clip-list"]').children].map(window.canonical),
        picked: VEK.app.viewer.clips.map((c, i) => i).filter((i) => VEK.app.views.list.built(i)?.classList.contains('picked')),
        count: document.querySelector('[data-r="clip-count"]').textContent,
        trips: VEK.app.tripView.trips.map((t) => [t.first, t.last, t.figures.distance, t.figures.maxKmh, t.figures.avgKmh]),
      }));
    };
    const big = await shown(pages.big); const small = await shown(pages.small); const whole = await shown(pages.whole);
    assert.ok(pendingSeen > 3, `reports came while rows were left to build (${pendingSeen})`);
    assert.equal(whole.trips.length, 12, 'twelve drives');
    const wholeHeaders = headers(whole.rows, whole.trips);
    assert.ok(wholeHeaders.firsts.length >= 2, 'drives start among the rows in sight');
    assert.deepEqual(wholeHeaders.headed, wholeHeaders.firsts, 'a header in each drive\'s first row');
    assert.deepEqual(whole.picked, [100], 'the picked clip marked');
    for (const [name, got] of Object.entries({ big, small })) {
      assert.deepEqual(got.trips, whole.trips, `${name}: the trips and their figures`);
      assert.equal(got.count, whole.count, `${name}: the count`);
      assert.deepEqual(got.picked, whole.picked, `${name}: the picked clip`);
      assertSameRows(got.rows, whole.rows, 15, `${name}: the rows, their order, marks, texts and trip headers`);
    }
    // The same card at another place: every row is new, every track read
    // before, so the trips are shown before most rows are built.
    const place = scratchFolder('vek-sliced-moved-');
    pages.big.native.clips = paths.map((p) => { const clip = join(place, p.replace(/^.*\//, '')); symlinkSync(video, clip); return clip; });
    pages.big.native.tracks = tracks;
    await pages.big.native.report('0');
    await pages.big.page.waitForFunction((p) => VEK.app.viewer.indexOf(p) >= 0, pages.big.native.clips[0]);
    await pages.big.page.waitForFunction(settled, null, { timeout: 90000 });
    await pages.big.page.waitForTimeout(300);
    const again = await pages.big.page.evaluate(() => [...document.querySelector('[data-r="clip-list"]').children].map(window.canonical));
    const moved = headers(again, whole.trips);
    assert.ok(moved.firsts.length >= 1, 'a drive starts among the rows in sight');
    assert.deepEqual(moved.headed, moved.firsts, 'rows built after the trips were shown get their headers');
    for (const opened of Object.values(pages)) {
      assert.deepEqual(opened.errors, []);
      await opened.context.close();
    }
  });
});

describe('a report that only adds a clip', () => {
  it('leaves the toolbar as it was: every report of an intake comes through it', async () => {
    const { page, native, context, errors } = await openPage(browser);
    const dir = scratchFolder('vek-growth-card-');
    for (const name of ['FILE0001.MOV', 'FILE0002.MOV']) {
      native.clips.push(native.addClip(dir, name, freeGpsTrack(name, { seconds: 2 }), clipFile(2)));
      native.tracks.push(join(native.userPath, name.replace('.MOV', '.data')));
    }
    await native.report('0');
    await page.waitForFunction(() => VEK.app.viewer.clips.length === 2 && !VEK.bridge.reportWaiting());
    await page.evaluate(() => {
      window.toolbarChanges = [];
      new MutationObserver((records) => records.forEach((r) => window.toolbarChanges.push(r.type + ' ' +
        (r.target.nodeType === Node.ELEMENT_NODE ? r.target : r.target.parentElement).outerHTML.slice(0, 60))))
        .observe(document.querySelector('.toolbar'), { subtree: true, attributes: true, characterData: true, childList: true });
    });
    native.clips.push(native.addClip(dir, 'FILE0003.MOV', freeGpsTrack('FILE0003.MOV', { seconds: 2 }), clipFile(2)));
    native.tracks.push(join(native.userPath, 'FILE0003.data'));
    await native.report('0');
    await page.waitForFunction(() => VEK.app.viewer.clips.length === 3 && !VEK.bridge.reportWaiting());
    assert.deepEqual(await page.evaluate(() => window.toolbarChanges), []);
    assert.equal(await page.textContent('[data-r="clip-count"]'), '3 clips');
    assert.deepEqual(errors, []);
    await context.close();
  });
});
