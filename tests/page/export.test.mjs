// Exports with options: in and out marks from the player across the picked
// clips, the overlay's elements, the command text, and the replies.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, scratchFolder } from './harness.mjs';
import { freeGpsTrack, clipFile } from './fixtures.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

async function importClips(page, native, names) {
  const dir = scratchFolder('vek-card-');
  const chosen = names.map((n) => native.addClip(dir, n, freeGpsTrack(n, { seconds: 5 }), clipFile(5)));
  native.chosen = chosen;
  await page.click('.toolbar [data-act="import"]');
  await page.waitForFunction((n) => document.querySelectorAll('.clip').length >= n, names.length);
  return chosen;
}

// Chromium here has no H.264 decoder: the player's clock is set by hand.
const playing = (page, path) => page.waitForFunction((p) => VEK.app.viewer.playingPath === p, path);
const at = (page, seconds) => page.evaluate((s) => { VEK.app.views.player.time = () => s; }, seconds);

describe('export options', () => {
  it('marks in and out across picked clips and sends them with the chosen elements', async () => {
    const { page, native, context } = await openPage(browser);
    const [a, b] = await importClips(page, native, ['t 1.MOV', 't 2.MOV']);
    await page.check('.clip:has-text("t 1") .clip-pick');
    await page.check('.clip:has-text("t 2") .clip-pick');
    await playing(page, a);
    await at(page, 1.5);
    await page.keyboard.press('i');
    await page.evaluate(() => VEK.app.viewer.step(1));
    await playing(page, b);
    await at(page, 2.25);
    await page.click('[data-export="out"]');
    await page.click('[data-export="panel"]');
    assert.equal(await page.locator('[data-r="export-range"]').textContent(), 'From 0:01 to 0:02');
    await page.uncheck('[data-element="gforce"]');
    await page.check('[data-element="decimal"]');
    await page.click('[data-export="overlay"]');
    await page.waitForFunction(() => VEK.commands.sent.some((u) => u.startsWith('http://export_clips/')));
    const sent = await page.evaluate(() => VEK.commands.sent.filter((u) => u.startsWith('http://export_clips/')));
    assert.equal(sent.length, 1);
    const text = decodeURIComponent(sent[0].slice('http://export_clips/'.length));
    assert.equal(text, `overlay;clock+speed+position+route+decimal;0@1.500;1@2.250;${a},${b}`);
    await page.evaluate(() => { exp('Export Completed'); exp_saved('/home/u/VEK/files/exp_1.mov'); });
    await page.locator('.toast.ok', { hasText: 'Saved /home/u/VEK/files/exp_1.mov' }).waitFor();
    await context.close();
  });

  it('refuses an out mark before the in mark and offers re-encoding when a join is refused', async () => {
    const { page, native, context } = await openPage(browser);
    const [a] = await importClips(page, native, ['r 1.MOV']);
    await playing(page, a);
    await at(page, 3);
    await page.keyboard.press('i');
    await at(page, 1);
    await page.keyboard.press('o');
    await page.click('[data-export="panel"]');
    await page.click('[data-export="copy"]');
    await page.locator('.toast.error', { hasText: 'The out point lies before the in point' }).waitFor();
    assert.equal(await page.evaluate(() => VEK.commands.sent.filter((u) => u.startsWith('http://export_clips/')).length), 0);
    assert.equal(await page.locator('[data-r="export-panel"]').isHidden(), false, 'the panel stays for a fix');
    await page.click('[data-export="clear"]');
    await page.click('[data-export="copy"]');
    await page.waitForFunction(() => VEK.commands.sent.some((u) => u.startsWith('http://export_clips/')));
    await page.evaluate(() => exp_incompatible());
    await page.locator('.toast.error', { hasText: 're-encode them instead' }).waitFor();
    assert.equal(await page.locator('[data-r="export-panel"]').isHidden(), false, 'the panel offers re-encoding');
    await page.click('[data-export="cancel"]');
    await page.waitForFunction(() => VEK.commands.sent.some((u) => u === 'http://export_cancel/'));
    await context.close();
  });
});
