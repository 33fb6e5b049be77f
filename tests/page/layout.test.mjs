// The page at the window's sizes: from the 960 x 600 the window opens at to
// a large screen, in each language, every control is in sight inside its
// panel and no panel cuts off what it shows.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, scratchFolder } from './harness.mjs';
import { freeGpsTrack, clipFile } from './fixtures.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const TRANSPORT_ROW_PX = 44;

async function showClip(page, native) {
  const name = '2016_0301_100000_001.MOV';
  native.chosen = [native.addClip(scratchFolder('vek-card-'), name, freeGpsTrack(name, { seconds: 5 }),
    clipFile(5))];
  await page.click('.toolbar [data-act="import"]');
  await page.waitForFunction(() => VEK.app.viewer.track && document.querySelector('video').readyState >= 1);
}

// Controls shown (not hidden by the layout) whose box leaves the page or
// the bar that holds them, by name.
const controlsOutOfSight = (page) => page.evaluate(() => {
  const out = [];
  for (const bar of document.querySelectorAll('.topbar, .transport')) {
    const box = bar.getBoundingClientRect();
    for (const el of bar.querySelectorAll('button, select, input, summary')) {
      const r = el.getBoundingClientRect();
      if (!r.width) continue;
      if (r.left < box.left - 1 || r.right > box.right + 1 || r.right > innerWidth || r.bottom > innerHeight) {
        out.push(el.dataset.act || el.dataset.r || el.dataset.export || el.className || el.tagName);
      }
    }
  }
  return out;
});

// Panels whose content is taller or wider than the panel shows.
const cutPanels = (page) => page.evaluate(() => [...document.querySelectorAll('.panel, .transport')]
  .filter((el) => el.scrollHeight > el.clientHeight + 1 || el.scrollWidth > el.clientWidth + 1)
  .map((el) => el.className));

describe('the page at the window\'s sizes', () => {
  for (const [width, height, settings] of [[960, 600, 'km,ENG'], [960, 600, 'km,CHT'], [1180, 740, 'km,ENG'],
    [1920, 1050, 'km,CHT']]) {
    it(`shows every control whole at ${width} x ${height} (${settings})`, async () => {
      const { page, native, context, errors } = await openPage(browser, { settings, viewport: { width, height } });
      await showClip(page, native);
      assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), width, 'no sideways scrolling');
      assert.deepEqual(await controlsOutOfSight(page), []);
      assert.deepEqual(await cutPanels(page), []);
      const transport = await page.evaluate(() => document.querySelector('.transport').getBoundingClientRect().height);
      assert.ok(transport < 2 * TRANSPORT_ROW_PX, `the transport in at most two rows (${transport} px)`);
      assert.deepEqual(errors, []);
      await context.close();
    });
  }

  it('names the buttons whose labels the narrow window hides', async () => {
    const { page, context } = await openPage(browser, { viewport: { width: 960, height: 600 } });
    const unnamed = await page.evaluate(() => [...document.querySelectorAll('.topbar button')]
      .filter((b) => b.getBoundingClientRect().width && !b.innerText.trim() && !b.title && !b.getAttribute('aria-label'))
      .map((b) => b.dataset.act || b.dataset.export || b.className));
    assert.deepEqual(unnamed, []);
    await context.close();
  });
});
