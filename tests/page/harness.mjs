// Headless Chromium over the page, with a stub of the native side that
// records every command navigation and answers with the same script calls
// the application makes.
import { chromium } from 'playwright-core';
import { mkdtempSync, mkdirSync, writeFileSync, existsSync, readFileSync, copyFileSync, lstatSync, rmSync } from 'node:fs';
import { join, dirname, basename } from 'node:path';
import { tmpdir } from 'node:os';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
export const WWW = process.env.VEK_WWW || join(here, '..', '..', 'resources', 'www');

// A fresh folder under the temporary directory, removed when the test
// process ends, so runs leave no homes or cards behind.
const scratchFolders = [];
process.once('exit', () => scratchFolders.forEach((dir) => rmSync(dir, { recursive: true, force: true })));
export function scratchFolder(prefix) {
  const dir = mkdtempSync(join(tmpdir(), prefix));
  scratchFolders.push(dir);
  return dir;
}

export async function launch() {
  return chromium.launch({
    executablePath: process.env.VEK_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--allow-file-access-from-files',
      '--autoplay-policy=no-user-gesture-required', '--mute-audio'],
  });
}

// A script string literal, as the native side escapes values.
export function literal(text) {
  // NUL is escaped on purpose: paths are sent as NUL-separated lists.
  // eslint-disable-next-line no-control-regex
  return "'" + String(text).replace(/[\\'\n\r\u0000\u2028\u2029]/g, (c) =>
    ({ '\\': '\\\\', "'": "\\'", '\n': '\\n', '\r': '\\r', '\u0000': '\\x00', '\u2028': '\\u2028', '\u2029': '\\u2029' })[c]) + "'";
}

// A list as the native side sends it: "a,b," while no path holds a comma,
// otherwise a NUL and every path followed by a NUL.
export function listText(paths) {
  return paths.some((p) => p.includes(',')) ? '\u0000' + paths.map((p) => p + '\u0000').join('')
    : paths.map((p) => p + ',').join('');
}

const trackPathOf = (home, clip) => join(home, 'VEK', 'data', basename(clip).replaceAll('.MOV', '.data').replaceAll('.mov', '.data'));

export class Native {
  constructor(page, home) {
    this.page = page;
    this.home = home;
    this.tracks = [];
    this.clips = [];
    this.commands = []; // URLs as the browser sent them
    this.chosen = []; // what the next file chooser returns
    this.exportResult = 'Export Completed';
    mkdirSync(join(home, 'VEK', 'data'), { recursive: true });
    mkdirSync(join(home, 'VEK', 'files'), { recursive: true });
  }

  get userPath() { return join(this.home, 'VEK', 'data'); }

  async report(current) {
    await this.page.evaluate(`file_list_fun(${literal(listText(this.tracks))},${literal(listText(this.clips))},${literal(current)});` +
      `user_path=${literal(this.userPath)}`);
  }

  async handle(url, request) {
    this.commands.push(url);
    this.request = request;
    const word = /^http:\/\/([a-z_]+)\//.exec(url)[1];
    const arg = url.slice(`http://${word}/`.length);
    const handler = this[`on_${word}`];
    if (handler) await handler.call(this, arg);
  }

  async on_file_copy_fun() {
    let last = null;
    for (const clip of [...this.chosen].reverse()) {
      const stem = basename(clip).replace(/\.[^.]*$/, '');
      if (!existsSync(clip)) continue;
      if (!this.clips.some((p) => basename(p).replace(/\.[^.]*$/, '') === stem)) {
        this.tracks.push(trackPathOf(this.home, clip));
        this.clips.push(clip);
      }
      last = clip;
    }
    this.chosen = [];
    await this.report(last ?? '(null)');
  }

  // Listed paths are matched whole, commas and all, before the text is cut.
  async on_file_del_fun(arg) {
    let text = decodeURIComponent(arg);
    while (text) {
      const listed = this.clips.filter((p) => text === p || text.startsWith(p + ','))
        .sort((a, b) => b.length - a.length)[0];
      const element = listed ?? text.split(',')[0].replaceAll('%20', ' ');
      const at = this.clips.indexOf(element);
      if (at >= 0) { this.clips.splice(at, 1); this.tracks.splice(at, 1); }
      text = text.slice((listed ?? text.split(',')[0]).length + 1);
    }
    await this.reload();
  }

  // Reloads the page once the last command's navigation is given up: a
  // reload racing it is aborted by the browser.
  async reload() {
    await this.settled(this.request);
    await this.page.reload();
  }

  // The app reloads after it has ignored the command's navigation; here the
  // reload waits until the browser has given that navigation up.
  async settled(request) {
    if (!request) return;
    const done = (r) => r === request;
    await Promise.race([
      this.page.waitForEvent('requestfailed', { predicate: done }).catch(() => {}),
      this.page.waitForEvent('requestfinished', { predicate: done }).catch(() => {}),
      new Promise((r) => setTimeout(r, 1000)),
    ]);
  }

  async on_check_file(arg) {
    const candidates = decodeURIComponent(arg.replaceAll('%20', ' ')).split(',').slice(0, 8);
    const hit = candidates.find((p) => { try { lstatSync(p); return true; } catch { return false; } });
    if (hit) await this.page.evaluate(`video1_show(${literal(hit)})`);
  }

  async on_get_photo() { await this.snapshotDone(); }
  async on_get_full_photo() { await this.snapshotDone(); }
  async snapshotDone() {
    await this.page.evaluate(this.snapshotFailure == null ? 'get_act()'
      : `if(window.snapshot_failed)snapshot_failed(${literal(this.snapshotFailure)})`);
  }
  async on_save_set(arg) { writeFileSync(join(this.userPath, 'ini.txt'), arg); }
  async on_route_out() { await this.page.evaluate(`route_out_done(true,${literal('route_20160301_090507.gpx')})`); }
  async on_merger() {
    await this.page.evaluate("if(window.exp_progress)exp_progress('42')");
    await this.page.evaluate(`exp(${literal(this.exportResult)});`);
  }

  // Places a clip file on the "card" and its track in the library folder.
  addClip(dir, name, track, video) {
    mkdirSync(dir, { recursive: true });
    const clip = join(dir, name);
    copyFileSync(video, clip);
    if (track !== null) writeFileSync(trackPathOf(this.home, clip), track);
    return clip;
  }

  // Waits until the stub has handled `count` commands.
  async received(count, timeoutMs = 5000) {
    const until = Date.now() + timeoutMs;
    while (this.commands.length < count) {
      if (Date.now() > until) throw new Error(`${this.commands.length} of ${count} commands arrived`);
      await new Promise((r) => setTimeout(r, 20));
    }
  }

  sent(word) { return this.commands.filter((u) => u.startsWith(`http://${word}/`)); }
}

// A page with the stub attached; each load gets the clip-list report.
// The browser's own zone is UTC, so shown times do not depend on the machine's.
export async function openPage(browser, { settings = 'km,ENG', colorScheme = 'light', viewport, timezoneId = 'UTC' } = {}) {
  const home = scratchFolder('vek-page-home-');
  const context = await browser.newContext({ colorScheme, timezoneId, viewport: viewport || { width: 1440, height: 900 } });
  const page = await context.newPage();
  const native = new Native(page, home);
  if (settings !== null) writeFileSync(join(native.userPath, 'ini.txt'), settings);
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.route(/^https?:\/\/tile\./, (route) => route.abort());
  // The native side acts when a navigation starts, as here; a navigation
  // the page starts before the previous one got through the network layer
  // cancels that one's routing, but not its request event.
  const command = /^http:\/\/[a-z_]+\//;
  page.on('request', (request) => {
    if (!command.test(request.url())) return;
    // A page closed at the end of a test may still have a reply under way.
    native.handle(request.url(), request).catch((e) => { if (!page.isClosed()) throw e; });
  });
  await page.route(command, (route) => route.fulfill({ status: 204 }));
  page.on('load', () => { native.report('0').catch(() => {}); });
  await page.goto(pathToFileURL(join(WWW, 'index.html')).href);
  // The load's report is applied in a task of its own: a test that goes on
  // before it would see the list cleared under what it set up.
  await page.waitForFunction(() => window.user_path !== '' && !VEK.bridge.reportWaiting());
  return { page, native, home, errors, context };
}

export const readText = (file) => readFileSync(file, 'utf8');
