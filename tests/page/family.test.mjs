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

it('names the family in the page language, and follows a switch of language', async () => {
  const { page, native, errors, context } = await openPage(browser, { settings: 'km,CHT' });
  await page.waitForFunction(() => document.documentElement.lang === 'zh-Hant');
  const clips = ['/card/A.MOV', '/card/B.MOV', '/card/C.MOV', '/card/D.MOV', '/card/E.MOV'];
  await listWithFacts(native, page, clips,
    '3.000000||no GPS data found,3.000000||encrypted%2C not readable,' +
    '3.000000||XOR-0xAA text records in a gps0 atom (family 8),3.000000||gps0%2Fgsen records,' +
    '3.000000||a reader this page does not know,');
  assert.equal(await familyShownFor(page, 'A.MOV'), '找不到 GPS 資料');
  assert.equal(await familyShownFor(page, 'B.MOV'), '已加密，無法讀取');
  assert.equal(await familyShownFor(page, 'C.MOV'), 'gps0 區塊中的 XOR-0xAA 文字紀錄（第 8 類）');
  assert.equal(await page.getAttribute('.readings [data-r="family"]', 'title'), 'gps0 區塊中的 XOR-0xAA 文字紀錄（第 8 類）');
  assert.equal(await familyShownFor(page, 'E.MOV'), 'a reader this page does not know', 'shown as recorded');
  assert.equal(await familyShownFor(page, 'D.MOV'), 'gps0/gsen 紀錄');
  await page.selectOption('[data-r="lang"]', 'ENG');
  await page.waitForFunction(() => document.documentElement.lang === 'en');
  assert.equal(await page.textContent('.readings [data-r="family"]'), 'gps0/gsen records', 'the switch re-translates');
  assert.equal(await page.getAttribute('.readings [data-r="family"]', 'title'), 'gps0/gsen records');
  assert.equal(await familyShownFor(page, 'E.MOV'), 'a reader this page does not know');
  await page.selectOption('[data-r="lang"]', 'CHT');
  assert.equal(await page.textContent('.readings [data-r="family"]'), 'a reader this page does not know',
    'an unknown name keeps no stale translation key');
  assert.deepEqual(errors, []);
  await context.close();
});

it('has a text in both languages for every family name', async () => {
  const { page, context } = await openPage(browser);
  const names = await page.evaluate(() => {
    var out = [];
    VEK.i18n.setLanguage('ENG');
    var keys = ['famFreeGps', 'famGps0', 'famNone', 'famEncrypted', 'famSingleFix', 'famGpmd', 'famFreeGpsText',
      'famInt32', 'famGpsBox', 'famV02', 'famFreeChildren', 'famGpsSidecar', 'famSubtitleNmea', 'famSubtitleBinary',
      'famGps0Xor', 'famAitg', 'famXorFreeGps', 'famXorTrack', 'famCamm', 'famNmeaSidecar', 'famMapSidecar',
      'famSrtSidecar'];
    keys.forEach(function (k) { out.push({ key: k, eng: VEK.i18n.t(k), found: VEK.i18n.keyOf('fam', VEK.i18n.t(k)) }); });
    VEK.i18n.setLanguage('CHT');
    out.forEach(function (o) { o.cht = VEK.i18n.t(o.key); });
    VEK.i18n.setLanguage('ENG');
    return out;
  });
  for (const { key, eng, found, cht } of names) {
    assert.notEqual(eng, key, key + ' has an English text');
    assert.equal(found, key, key + ': its English text names it alone');
    assert.notEqual(cht, eng, key + ' has its own Chinese text');
  }
  await context.close();
});
