// Memory cards in the page: the offer's text, one click is one import, and
// the offer goes when the native side withdraws it.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, literal } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const call = (page, name, ...args) =>
  page.evaluate(`if(window.${name})${name}(${args.map(literal).join(',')})`);

describe('card offers', () => {
  it('offers a card in one line and imports it with one click', async () => {
    const { page, native, context, errors } = await openPage(browser);
    const offers = page.locator('[data-r="cards"]');
    assert.equal(await offers.isHidden(), true);
    await call(page, 'card_offer', '3', 'NO NAME', '143', '42.7 GB');
    assert.equal(await offers.isVisible(), true);
    assert.equal(await page.locator('.card-offer-text').textContent(), 'Import 143 clips (42.7 GB) from NO NAME');
    await page.click('.card-offer button');
    await page.click('.card-offer button', { force: true }).catch(() => {});
    await native.received(1);
    assert.deepEqual(native.sent('card_import'), ['http://card_import/3'], 'a second click sends nothing');
    await call(page, 'card_withdrawn', '3');
    assert.equal(await page.locator('.card-offer').count(), 0);
    assert.equal(await offers.isHidden(), true);
    assert.deepEqual(errors, []);
    await context.close();
  });

  it('shows a card name as text and replaces an offer sent again', async () => {
    const { page, context, errors } = await openPage(browser);
    await call(page, 'card_offer', '1', '<b>x</b>', '2', '1 MB');
    await call(page, 'card_offer', '1', '<b>x</b>', '3', '2 MB');
    await call(page, 'card_offer', '2', 'B', '2', '1 MB');
    assert.equal(await page.locator('.card-offer').count(), 2);
    assert.equal(await page.locator('.card-offer-text').first().textContent(), 'Import 3 clips (2 MB) from <b>x</b>');
    await call(page, 'card_withdrawn', '1');
    assert.equal(await page.locator('.card-offer-text').textContent(), 'Import 2 clips (1 MB) from B');
    assert.deepEqual(errors, []);
    await context.close();
  });
});
