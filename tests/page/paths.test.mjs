// The page's path encodings, run in node without a browser: what the native
// side receives must decode to the bytes of the path it listed.
import { describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { runInNewContext } from 'node:vm';
import { fileURLToPath } from 'node:url';

const source = readFileSync(fileURLToPath(new URL('../../resources/www/js/paths.js', import.meta.url)), 'utf8');
const window = {};
runInNewContext(source, { window });
const { fileUrl, commandArg } = window.VEK.paths;

// The native literal of "/m/caf\xE9.MOV" (a Latin-1 name) as the page reads it.
const latin1Path = '/m/caf\udce9.MOV';

describe('paths that are not UTF-8', () => {
  it('go back to the native side as their own bytes', () => {
    assert.equal(commandArg(latin1Path), '/m/caf%E9.MOV');
    assert.equal(commandArg('/m/\udc80\udcff'), '/m/%80%FF');
  });

  it('make file URLs that name the same bytes instead of throwing', () => {
    assert.equal(fileUrl(latin1Path), 'file:///m/caf%E9.MOV');
    assert.equal(fileUrl('/m/a b\udce9#1.MOV'), 'file:///m/a%20b%E9%231.MOV');
  });

  it('leave real characters outside the Basic Multilingual Plane alone', () => {
    const astral = '/m/\u{10080}.MOV'; // its low surrogate lies in the raw-byte range
    assert.equal(commandArg(astral), astral);
    assert.equal(fileUrl(astral), 'file:///m/%F0%90%82%80.MOV');
  });

  it('still escape what the command decoder or the URL parser would change', () => {
    assert.equal(commandArg('/m/100%#?\\\n.MOV'), '/m/100%25%23%3F%5C%0A.MOV');
    assert.equal(commandArg('/m/行車 1.MOV'), '/m/行車 1.MOV');
  });
});
