// The clip's details name the reader its track came from, as the clip facts
// carry it; facts from before the family field, and a garbled field, show none.
import { it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, literal, listText } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

async function listWithFacts(native, page, clips, facts) {
  native.clips = clips;
  native.tracks = clips.map((c) => c.replace('/card/', '/home/VEK/data/').replace('.MOV', '.data'));
  await page.evaluate(`clip_facts(${literal(listText(clips))},${literal(facts)})`);
  await native.report('0');
  await page.waitForFunction((n) => VEK.app.viewer.clips.length === n, clips.length);
}

async function familyShownFor(page, name) {
  return page.evaluate((n) => {
    VEK.app.viewer.select(VEK.app.viewer.clips.findIndex((c) => c.name === n), false);
    return document.querySelector('.readings [data-r="family"]').textContent;
  }, name);
}

it('shows the family of the selected clip, decoded, and none where it is unknown', async () => {
  const { page, native, errors, context } = await openPage(browser);
  const clips = ['/card/A.MOV', '/card/B.MOV', '/card/C.MOV', '/card/D.MOV'];
  await listWithFacts(native, page, clips,
    '3.000000||freeGPS boxes,|large|encrypted%2C not readable,5.000000|,||%E0%A4%A,');
  assert.equal(await familyShownFor(page, 'A.MOV'), 'freeGPS boxes');
  assert.equal(await familyShownFor(page, 'B.MOV'), 'encrypted, not readable');
  assert.equal(await familyShownFor(page, 'C.MOV'), '–', 'facts from before the family field');
  assert.equal(await familyShownFor(page, 'D.MOV'), '–', 'a garbled field');
  assert.equal(await page.evaluate(() => VEK.app.viewer.clips.find((c) => c.name === 'C.MOV').videoDuration), 5);
  assert.equal(await page.evaluate(() => VEK.app.viewer.clips.find((c) => c.name === 'B.MOV').trackTooLarge), true);
  await page.evaluate(() => VEK.app.viewer.clear());
  assert.equal(await page.textContent('.readings [data-r="family"]'), '–');
  assert.deepEqual(errors, []);
  await context.close();
});
