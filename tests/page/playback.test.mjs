// What the page changes while a clip plays: the transport, the chart cursors,
// the readings and the route marker follow the video together, in a few
// frames a second and never by drawing a canvas whole; paused, every view
// shows exactly the video's time.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, scratchFolder } from './harness.mjs';
import { freeGpsTrack, clipFile } from './fixtures.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const SAMPLES_PER_SECOND = 10; // the fixture track's rate
// Each frame that changes the page costs WebKit a repaint beside the video's:
// what moves, moves in the same frames, at most this often.
const CHANGES_PER_SECOND = 6;

// In the page: records the name of every layout or style read made while
// `counts(stack)` holds for its call stack, until the returned stop() runs.
const READ_SPY = `window.spyReads = (reads, counts) => {
  const restores = [];
  const spy = (proto, name) => {
    const d = Object.getOwnPropertyDescriptor(proto, name);
    const note = () => { if (counts(new Error().stack)) reads.push(name); };
    const wrapped = d.get ? { get() { note(); return d.get.call(this); } }
      : { value(...args) { note(); return d.value.apply(this, args); } };
    Object.defineProperty(proto, name, { ...d, ...wrapped });
    restores.push(() => Object.defineProperty(proto, name, d));
  };
  ['clientWidth', 'clientHeight', 'getBoundingClientRect'].forEach((n) => spy(Element.prototype, n));
  ['offsetWidth', 'offsetHeight', 'offsetLeft', 'offsetTop'].forEach((n) => spy(HTMLElement.prototype, n));
  spy(window, 'getComputedStyle');
  return () => restores.forEach((restore) => restore());
};`;

async function playClip(page, native, name, seconds) {
  native.chosen = [native.addClip(scratchFolder('vek-card-'), name, freeGpsTrack(name, { seconds }),
    clipFile(seconds))];
  await page.click('.toolbar [data-act="import"]');
  await page.waitForFunction(() => {
    const v = document.querySelector('video');
    return VEK.app.viewer.track && !v.paused && v.currentTime > 0.3;
  });
}

// Over `ms` of playback: the animation frames, and those in which the page
// changed (attributes, text or nodes; the seek bar's position is a property,
// so its value is counted by hand).
function countChanges(page, ms) {
  return page.evaluate((ms) => new Promise((resolve) => {
    const seek = document.querySelector('[data-r="seek"]');
    let changed = false;
    const observer = new MutationObserver(() => { changed = true; });
    observer.observe(document.body, { subtree: true, attributes: true, characterData: true, childList: true });
    let frames = 0;
    let changedFrames = 0;
    let seekValue = seek.value;
    const end = performance.now() + ms;
    function frame(now) {
      observer.takeRecords().forEach(() => { changed = true; });
      if (seek.value !== seekValue) { seekValue = seek.value; changed = true; }
      frames++;
      if (changed) changedFrames++;
      changed = false;
      if (now < end) requestAnimationFrame(frame);
      else { observer.disconnect(); resolve({ frames, changedFrames, time: document.querySelector('video').currentTime }); }
    }
    requestAnimationFrame(frame);
  }), ms);
}

describe('playback drawing', () => {
  it('changes the page in a few frames a second, following at least half the samples', async () => {
    const { page, native, context, errors } = await openPage(browser);
    await playClip(page, native, 'DRAW0001.MOV', 8);
    const seconds = 2;
    const counted = await countChanges(page, seconds * 1000);
    assert.ok(counted.frames > 2 * seconds * SAMPLES_PER_SECOND, `too few frames to tell: ${counted.frames}`);
    assert.ok(counted.changedFrames <= seconds * CHANGES_PER_SECOND + 1,
      `the page changed in ${counted.changedFrames} of ${counted.frames} frames`);
    assert.ok(counted.changedFrames >= seconds * SAMPLES_PER_SECOND / 2, 'the views stopped following the video');
    assert.deepEqual(errors, []);
    await context.close();
  });

  // WebKit without a GPU repaints the page beside every video frame it
  // shows; a box-shadow or a rounded box that clips its content in that
  // repaint costs it most of its frames, and so does a transition or
  // animation of anything but a transform or opacity, which lays out or
  // paints on every frame it runs.
  it('keeps everything shown while playing free of shadows, rounded clips and costly animations', async () => {
    const { page, native, context } = await openPage(browser);
    await playClip(page, native, 'DRAW0003.MOV', 8);
    await page.evaluate(() => {
      window.intake_progress('running', 3, 10, 300, 1000, 12);
      window.exp_progress(40);
    });
    // Shown once, the panels move on: what changes now may be animated.
    await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(() => {
      window.intake_progress('running', 4, 10, 500, 1000, 10);
      window.exp_progress(60);
      done();
    }))));
    const costly = await page.evaluate(() => {
      const outerShadow = (value) => value !== 'none' &&
        value.split(/,(?![^(]*\))/).some((layer) => !/\binset\b/.test(layer));
      const rounded = (s) => ['TopLeft', 'TopRight', 'BottomLeft', 'BottomRight']
        .some((corner) => parseFloat(s['border' + corner + 'Radius']) > 0);
      const clips = (s) => s.overflowX !== 'visible' || s.overflowY !== 'visible';
      const name = (el) => el.tagName.toLowerCase() + (el.className && el.className.baseVal === undefined
        ? '.' + String(el.className).trim().replace(/\s+/g, '.') : '');
      // A form control's own clip is the browser's drawing of it, not ours.
      const control = (el) => ['SELECT', 'INPUT', 'BUTTON', 'TEXTAREA'].includes(el.tagName);
      return [...document.querySelectorAll('body *')].filter((el) => el.checkVisibility())
        .flatMap((el) => {
          const s = getComputedStyle(el);
          return [outerShadow(s.boxShadow) ? name(el) + ' has a box-shadow' : null,
            rounded(s) && clips(s) && !control(el) ? name(el) + ' clips to rounded corners' : null].filter(Boolean);
        });
    });
    const animated = await page.evaluate(() => document.getAnimations().flatMap((animation) => {
      const target = animation.effect.target;
      const owner = target.className ? target : target.parentElement; // a bar's fill has no class
      const name = '.' + String(owner.className).trim().replace(/\s+/g, '.') +
        (owner === target ? '' : ' > ' + target.tagName.toLowerCase());
      const properties = animation.effect.getKeyframes().flatMap((frame) => Object.keys(frame))
        .filter((key) => !['offset', 'computedOffset', 'easing', 'composite'].includes(key));
      return properties.filter((p) => p !== 'transform' && p !== 'opacity').map((p) => name + ' animates ' + p);
    }));
    assert.ok(await page.locator('.toast.progress').isVisible());
    assert.ok(await page.locator('[data-r="intake"]').isVisible());
    assert.deepEqual(costly, []);
    assert.deepEqual(animated, []);
    await context.close();
  });

  it('paints what changes while playing in layers of its own, inside panels that contain their layout', async () => {
    const { page, native, context } = await openPage(browser);
    await playClip(page, native, 'DRAW0004.MOV', 8);
    const unlayered = await page.evaluate(() => new Promise((resolve) => {
      const changed = new Set([document.querySelector('[data-r="seek"]')]);
      const observer = new MutationObserver((records) => records.forEach((r) => {
        changed.add(r.target.nodeType === Node.ELEMENT_NODE ? r.target : r.target.parentElement);
      }));
      observer.observe(document.body, { subtree: true, attributes: true, characterData: true, childList: true });
      const within = (el, test) => {
        for (let at = el; at && at !== document.body; at = at.parentElement) if (test(getComputedStyle(at))) return true;
        return false;
      };
      const layered = (el) => within(el, (s) => /\btransform\b/.test(s.willChange));
      const contained = (el) => within(el, (s) => /\b(layout|strict|content)\b/.test(s.contain) &&
        /\btransform\b/.test(s.willChange));
      const label = (el) => el.tagName.toLowerCase() + (el.dataset.r ? '[data-r=' + el.dataset.r + ']' : '.' + el.className);
      setTimeout(() => {
        observer.disconnect();
        resolve({ seen: changed.size, unlayered: [...changed].filter((el) => !layered(el)).map(label),
          uncontained: [...changed].filter((el) => !contained(el)).map(label) });
      }, 1500);
    }));
    assert.ok(unlayered.seen >= 5, `only ${unlayered.seen} elements changed while playing`);
    assert.deepEqual(unlayered.unlayered, []);
    assert.deepEqual(unlayered.uncontained, []);
    await context.close();
  });

  // Over `ms` of playback: canvases cleared (a whole redraw) and layout or
  // style reads by the page's own code, and where the route marker stood.
  async function watchPlaying(page, ms) {
    await page.evaluate(READ_SPY);
    return page.evaluate((ms) => new Promise((resolve) => {
      const seen = { cleared: [], reads: [], markers: new Set() };
      const ctxProto = CanvasRenderingContext2D.prototype;
      const clear = ctxProto.clearRect;
      ctxProto.clearRect = function (...args) { seen.cleared.push(this.canvas.className); return clear.apply(this, args); };
      const stopSpying = window.spyReads(seen.reads, () => true);
      const marker = document.querySelector('.route-marker');
      const observer = new MutationObserver(() => seen.markers.add(marker.style.transform));
      observer.observe(marker, { attributes: true });
      setTimeout(() => {
        ctxProto.clearRect = clear;
        stopSpying();
        observer.disconnect();
        const point = VEK.app.views.route.currentPoint();
        resolve({ cleared: seen.cleared, reads: seen.reads, moves: seen.markers.size,
          marker: marker.style.transform, visible: getComputedStyle(marker).visibility,
          expected: [Number(point.x.toFixed(1)), Number(point.y.toFixed(1))] });
      }, ms);
    }), ms);
  }

  it('moves the route marker and grows the done route without drawing a canvas whole or reading layout', async () => {
    const { page, native, context, errors } = await openPage(browser);
    await playClip(page, native, 'DRAW0005.MOV', 8);
    const seen = await watchPlaying(page, 1500);
    assert.deepEqual(seen.cleared, []);
    assert.deepEqual(seen.reads, []);
    assert.ok(seen.moves >= 5, `the marker moved ${seen.moves} times`);
    assert.equal(seen.visible, 'visible');
    // Compared as numbers: the style serialises 125.0px as 125px.
    const at = /^translate\(([-\d.]+)px, ([-\d.]+)px\)$/.exec(seen.marker);
    assert.ok(at, `the marker's transform is ${seen.marker}`);
    assert.deepEqual([Number(at[1]), Number(at[2])], seen.expected);
    assert.deepEqual(errors, []);
    await context.close();
  });

  // A clip chosen clears the charts, then draws them with its track, in the
  // same task as the list and the video: a layout or style read there would
  // work out the whole page once more.
  it('draws the charts of a chosen clip without reading layout or styles, and again in a new scheme\'s colours', async () => {
    const { page, native, context, errors } = await openPage(browser);
    await playClip(page, native, 'DRAW0006.MOV', 8);
    await page.evaluate(READ_SPY);
    const reads = await page.evaluate(() => new Promise((resolve) => {
      const seen = [];
      const stopSpying = window.spyReads(seen, (stack) => /chart|canvas/.test(stack));
      const viewer = VEK.app.viewer;
      viewer.select(viewer.current, true);
      const drawn = () => {
        if (!viewer.track) { setTimeout(drawn, 20); return; }
        stopSpying();
        resolve(seen);
      };
      drawn();
    }));
    assert.deepEqual(reads, []);
    await page.emulateMedia({ colorScheme: 'dark' });
    await page.waitForFunction(() => VEK.app.views.speedChart.colors['--speed'] === '#6ea0ff');
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('shows exactly the video time once paused, and after a seek while paused', async () => {
    const { page, native, context } = await openPage(browser);
    await playClip(page, native, 'DRAW0002.MOV', 8);
    const shown = () => page.evaluate(() => {
      const v = document.querySelector('video');
      const viewer = VEK.app.viewer;
      const chart = document.querySelector('[data-r="chart-speed"]');
      const cursor = chart.querySelector('.chart-cursor').style.transform;
      const x = parseFloat(cursor.replace('translateX(', ''));
      return {
        seek: Number(document.querySelector('[data-r="seek"]').value),
        expectedSeek: Math.round(v.currentTime / v.duration * 1000),
        reading: viewer.views.readings.index,
        expectedReading: VEK.track.indexAt(viewer.track, v.currentTime),
        cursorFraction: (x - 40) / (chart.clientWidth - 50),
        timeFraction: v.currentTime / v.duration
      };
    });
    const matches = (s) => s.seek === s.expectedSeek && s.reading === s.expectedReading &&
      Math.abs(s.cursorFraction - s.timeFraction) < 0.005;
    // WebKit may settle a paused video's time a frame after the pause; the
    // views must follow within a few frames.
    const settled = async () => {
      let s = await shown();
      for (let tries = 0; !matches(s) && tries < 20; tries += 1) {
        await new Promise((resolve) => setTimeout(resolve, 50));
        s = await shown();
      }
      return s;
    };
    const exact = (s) => {
      assert.equal(s.seek, s.expectedSeek);
      assert.equal(s.reading, s.expectedReading);
      assert.ok(Math.abs(s.cursorFraction - s.timeFraction) < 0.005, JSON.stringify(s));
    };
    await page.waitForFunction(() => document.querySelector('video').currentTime > 1.1);
    await page.keyboard.press('Space');
    await page.waitForFunction(() => document.querySelector('video').paused);
    exact(await settled());
    await page.evaluate(() => { document.querySelector('video').currentTime = 5.37; });
    await page.waitForFunction(() => Math.abs(document.querySelector('video').currentTime - 5.37) < 0.01 &&
      !document.querySelector('video').seeking);
    exact(await settled());
    await context.close();
  });
});
