// The page inside the real application under the X display: a generated
// dash-camera clip given on the command line is taken in, its track read
// and its video played, as the page reports on the app's console.
import { it } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { scratchFolder } from './harness.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const APP = process.env.VEK_APP;
const FIXTURE = join(here, '..', '..', 'tools', 'vek-fixture.py');
const WAIT_MS = 60000; // WebKit starts in under a second; sanitizer builds are slower

function waitForLine(output, pattern, child) {
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => { stop(); reject(new Error(`no line ${pattern} in:\n${output.text}`)); }, WAIT_MS);
    const check = () => {
      const m = pattern.exec(output.text);
      if (m) { stop(); resolve(m); }
    };
    const ended = () => { stop(); reject(new Error(`the app ended:\n${output.text}`)); };
    function stop() { clearTimeout(timer); output.listeners.delete(check); child.off('exit', ended); }
    output.listeners.add(check);
    child.on('exit', ended);
    check();
  });
}

it('plays a generated clip with its route in the real app', { skip: !APP || !process.env.DISPLAY ? 'needs VEK_APP and an X display' : false }, async () => {
  const work = scratchFolder('vek-page-app-');
  const clip = join(work, 'FILE0001.MOV');
  execFileSync('python3', [FIXTURE, '--kind', 'freegps', '--seconds', '6', '--out', clip, '--json', join(work, 'clip.json')]);
  const home = join(work, 'home');
  const child = spawn(APP, [clip], { env: { ...process.env, HOME: home }, stdio: ['ignore', 'pipe', 'pipe'] });
  const output = { text: '', listeners: new Set() };
  const collect = (chunk) => { output.text += chunk; output.listeners.forEach((f) => f()); };
  child.stdout.on('data', collect);
  child.stderr.on('data', collect);
  try {
    const track = await waitForLine(output, /vek page: FILE0001\.MOV track (\d+) samples, route (\d+) points/, child);
    assert.equal(track[1], '60');
    assert.equal(track[2], '60');
    await waitForLine(output, /vek page: playing FILE0001\.MOV (\d+)x(\d+)/, child);
    assert.doesNotMatch(output.text, /CONSOLE JS ERROR/);
  } finally {
    child.kill('SIGTERM');
  }
});
