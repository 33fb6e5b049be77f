// A card of hundreds of clips: the list keeps in the page only the rows in
// and near sight, while its scroll bar spans every clip, and rows brought
// into sight show their clip, marks and texts and act on their clip.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { launch, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const MOST_ROWS = 60; // a tall window's screenful and the rows kept near it

// Lists `count` clips (files that are not there: only the list matters).
async function listClips({ page, native, home }, count) {
  const names = Array.from({ length: count }, (_, i) => `2016_0301_1000${String(i).padStart(3, '0')}.MOV`);
  native.clips = names.map((n) => join(home, 'card', n));
  native.tracks = names.map((n) => join(native.userPath, n.replace('.MOV', '.data')));
  await native.report('0');
  await page.waitForFunction((n) => VEK.app.viewer.clips.length === n && !VEK.app.views.list.unbuilt, count);
}

// The rows in the page: their indices, in order.
const rowIndices = (page) => page.$$eval('[data-r="clip-list"] .clip', (els) => els.map((e) => +e.dataset.index));

// Whether row `index` is in the page and wholly inside the list's box.
const inSight = (page, index) => page.evaluate((i) => {
  const row = document.querySelector(`.clip[data-index="${i}"]`);
  if (!row) return false;
  const r = row.getBoundingClientRect(); const box = row.parentElement.getBoundingClientRect();
  return r.top >= box.top - 1 && r.bottom <= box.bottom + 1;
}, index);

function assertRun(indices, what) {
  assert.ok(indices.length > 5 && indices.length <= MOST_ROWS, `${what}: ${indices.length} rows in the page`);
  assert.ok(indices.every((n, k) => k === 0 || n === indices[k - 1] + 1), `${what}: rows in a run, in order`);
}

describe('a long clip list', () => {
  it('keeps a bounded run of rows in the page, with a scroll bar as long as the whole list', async () => {
    const opened = await openPage(browser);
    const { page, context, errors } = opened;
    await listClips(opened, 500);
    const top = await rowIndices(page);
    assertRun(top, 'at the top');
    assert.equal(top[0], 0);
    const list = page.locator('[data-r="clip-list"]');
    const height = await list.evaluate((el) => el.scrollHeight);
    assert.ok(height > 500 * 40 && height < 500 * 60, `the list scrolls over every row (${height} px)`);
    await list.evaluate((el) => { el.scrollTop = el.scrollHeight; });
    await page.waitForFunction(() => document.querySelector('.clip[data-index="499"]'));
    assertRun(await rowIndices(page), 'at the end');
    assert.ok(await inSight(page, 499), 'the last row in sight at the end');
    const measured = await list.evaluate((el) => el.scrollHeight);
    assert.ok(Math.abs(measured - height) < 48, `the scroll bar keeps its length but for rows measured (${height}, ${measured} px)`);
    await list.evaluate((el) => { el.scrollTop = el.scrollHeight / 2; });
    await page.waitForFunction(() => !document.querySelector('.clip[data-index="499"]'));
    const middle = await rowIndices(page);
    assertRun(middle, 'in the middle');
    assert.ok(middle[0] > 150 && middle.at(-1) < 350, `rows of the middle of the list (${middle[0]}-${middle.at(-1)})`);
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('stays bounded while a card is read report by report', async () => {
    const opened = await openPage(browser);
    const { page, native, home, context } = opened;
    let most = 0;
    for (let count = 25; count <= 500; count += 25) {
      const names = Array.from({ length: count }, (_, i) => `2016_0301_1000${String(i).padStart(3, '0')}.MOV`);
      native.clips = names.map((n) => join(home, 'card', n));
      native.tracks = names.map((n) => join(native.userPath, n.replace('.MOV', '.data')));
      await native.report('0');
      await page.waitForFunction((n) => VEK.app.viewer.clips.length === n, count);
      most = Math.max(most, (await rowIndices(page)).length);
    }
    assert.ok(most <= MOST_ROWS, `at most ${most} rows in the page`);
    assert.equal(await page.textContent('[data-r="clip-count"]'), '500 clips');
    await context.close();
  });

  it('scrolls the current row into sight, and a row brought into sight acts on its own clip', async () => {
    const opened = await openPage(browser);
    const { page, context, errors } = opened;
    await listClips(opened, 500);
    await page.evaluate(() => VEK.app.viewer.select(450, false));
    await page.waitForFunction(() => document.querySelector('.clip.current'));
    assert.equal(await page.getAttribute('.clip.current', 'data-index'), '450');
    assert.ok(await inSight(page, 450), 'the current row in sight');
    await page.click('.clip[data-index="452"] .clip-main');
    await page.waitForFunction(() => VEK.app.viewer.current === 452);
    assert.match(await page.textContent('.clip.current .clip-name'), /1000452\.MOV$/);
    await page.keyboard.press('PageDown');
    await page.waitForFunction(() => VEK.app.viewer.current === 453);
    assert.ok(await inSight(page, 453), 'the next row in sight after a key');
    await page.evaluate(() => VEK.app.viewer.select(3, false));
    await page.waitForFunction(() => document.querySelector('.clip.current')?.dataset.index === '3');
    assert.ok(await inSight(page, 3), 'back at the top');
    assert.ok(!(await rowIndices(page)).includes(450), 'the rows far below left the page');
    assert.equal(await page.locator('.clip.current').count(), 1, 'one current row');
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('shows marks and texts given to rows out of sight once they come into sight', async () => {
    const opened = await openPage(browser);
    const { page, context } = opened;
    await listClips(opened, 500);
    await page.evaluate(() => {
      VEK.app.actions.pick(490, true);
      VEK.app.views.list.setMeta(485, { when: 'given out of sight' });
    });
    assert.ok(!(await rowIndices(page)).includes(485), 'the rows are out of sight');
    await page.locator('[data-r="clip-list"]').evaluate((el) => { el.scrollTop = el.scrollHeight; });
    await page.waitForFunction(() => document.querySelector('.clip[data-index="490"]') && document.querySelector('.clip[data-index="485"]'));
    assert.equal(await page.isChecked('.clip[data-index="490"] .clip-pick'), true);
    assert.equal(await page.getAttribute('.clip[data-index="490"]', 'class'), 'clip picked');
    assert.equal(await page.textContent('.clip[data-index="485"] .clip-when'), 'given out of sight');
    assert.equal(await page.locator('.clip.picked').count(), 1, 'no other row picked');
    await context.close();
  });

  it('keeps the rows in sight where they are while rows taller than thought come in above them', async () => {
    const opened = await openPage(browser);
    const { page, context } = opened;
    await page.addStyleTag({ content: '.clip[data-index$="0"] { min-height: 130px; }' });
    await listClips(opened, 500);
    const list = page.locator('[data-r="clip-list"]');
    await list.evaluate((el) => { el.scrollTop = el.scrollHeight / 2; });
    await page.waitForFunction(() => !document.querySelector('.clip[data-index="0"]'));
    // Where a row in sight is after each scroll up by 40 px: as many pixels lower.
    const steps = await list.evaluate(async (el) => {
      const frame = () => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
      await frame();
      const moves = [];
      for (let k = 0; k < 12; k++) {
        const box = el.getBoundingClientRect();
        const row = [...el.children].find((r) => r.getBoundingClientRect().top > box.top + 10);
        const before = row.getBoundingClientRect().top;
        el.scrollTop -= 40;
        await frame();
        moves.push(Math.round(row.getBoundingClientRect().top - before));
      }
      return moves;
    });
    assert.deepEqual(steps, steps.map(() => 40));
    await context.close();
  });

  it('keeps the keyboard focus on the list while its row is out of the page, and gives it back on return', async () => {
    const opened = await openPage(browser);
    const { page, context } = opened;
    await listClips(opened, 500);
    await page.focus('.clip[data-index="2"] .clip-main');
    const list = page.locator('[data-r="clip-list"]');
    await list.evaluate((el) => { el.scrollTop = el.scrollHeight; });
    await page.waitForFunction(() => !document.querySelector('.clip[data-index="2"]'));
    assert.equal(await page.evaluate(() => document.activeElement.dataset.r), 'clip-list', 'the focus stays on the list');
    await list.evaluate((el) => { el.scrollTop = 0; });
    await page.waitForFunction(() => document.querySelector('.clip[data-index="2"]'));
    assert.equal(await page.evaluate(() => document.activeElement.closest('.clip')?.dataset.index), '2');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => VEK.app.viewer.current === 2);
    await context.close();
  });

  it('shows rows that were out of sight during a change of language in the new language', async () => {
    const opened = await openPage(browser);
    const { page, context } = opened;
    await listClips(opened, 500);
    const list = page.locator('[data-r="clip-list"]');
    await list.evaluate((el) => { el.scrollTop = el.scrollHeight; });
    await page.waitForFunction(() => !document.querySelector('.clip[data-index="0"]'));
    const english = await page.evaluate(() => VEK.i18n.t('remove'));
    await page.evaluate(() => VEK.i18n.setLanguage('CHT'));
    await list.evaluate((el) => { el.scrollTop = 0; });
    await page.waitForFunction(() => document.querySelector('.clip[data-index="0"]'));
    const titles = await page.$$eval('.clip .clip-remove', (els) => [...new Set(els.map((e) => e.title))]);
    assert.deepEqual(titles, [await page.evaluate(() => VEK.i18n.t('remove'))]);
    assert.notEqual(titles[0], english);
    await context.close();
  });
});
