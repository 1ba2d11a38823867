// The web build in the system's headless Chromium, served from 127.0.0.1: the first press starts
// the sound, the logo and the title, an automatic run ends on the desktop's checksum, the quit
// question is asked in the page, F12 hands over a PNG, and the settings file stays in the
// browser's storage.
// Run by tests/web/run.sh, which sets:
//   ZZ_WEB_DIR       the built page (build-web/)
//   ZZ_WEB_FIXTURES  a folder served as /fixtures/: game.zzr, the recorded game
//   ZZ_WEB_FRAMES    its frame count; ZZ_WEB_CHECKSUM the desktop build's checksum line for it
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { serve, launchChromium, canvasColours, soundPeak, waitFor, isLogo, isTitle } from './harness.mjs';

const env = (name) => {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set (run tests/web/run.sh)`);
  return value;
};
const WEB_DIR = env('ZZ_WEB_DIR');
const FIXTURES = env('ZZ_WEB_FIXTURES');

let server, browser, origin, profile;

before(async () => {
  server = await serve(WEB_DIR, FIXTURES);
  origin = `http://127.0.0.1:${server.address().port}`;
  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zz-chromium-'));
  browser = await launchChromium(profile);
});

after(async () => {
  await browser?.close();
  server?.close();
  if (profile) fs.rmSync(profile, { recursive: true, force: true });
});

// A fresh page whose console lines are kept; requests that leave the page's server fail the test.
async function openPage(query = '') {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  const lines = [];
  const outside = [];
  page.on('console', (message) => lines.push(message.text()));
  page.on('request', (request) => {
    if (!request.url().startsWith(origin) && !request.url().startsWith('blob:')) outside.push(request.url());
  });
  await page.goto(`${origin}/index.html${query}`);
  return { context, page, lines, outside };
}

async function startAndReachTitle(page) {
  await page.waitForFunction(() => document.getElementById('cover-text').textContent.includes('press a key'));
  assert.equal(await canvasColours(page).then((c) => c.colours), 1, 'nothing drawn before the press');
  await page.keyboard.press('Space');
  const seen = (wanted) => async () => {
    const c = await canvasColours(page);
    return { ok: wanted(c), ...c };
  };
  await waitFor('the logo', seen(isLogo), 20);
  await waitFor('the title', seen(isTitle), 30);
}

test('a press starts the game and its sound: the logo, then the title, nothing from outside', async () => {
  const { context, page, lines, outside } = await openPage();
  try {
    await startAndReachTitle(page);
    const sound = await soundPeak(page, 3);
    assert.equal(sound.state, 'running');
    assert.ok(sound.peak > 0.01, `the title is heard: ${JSON.stringify(sound)}`);
    assert.deepEqual(outside, []);
    assert.ok(!lines.some((l) => /abort|exception/i.test(l)), lines.join('\n'));
  } finally {
    await context.close();
  }
});

test('an automatic run from the address prints the desktop build\'s checksum', async () => {
  const frames = env('ZZ_WEB_FRAMES');
  const { context, page, lines } = await openPage(`?replay=fixtures/game.zzr&frames=${frames}&checksum`);
  try {
    await page.waitForFunction(() => window.zzExitCode !== undefined, { timeout: 400000, polling: 500 });
    assert.equal(await page.evaluate(() => window.zzExitCode), 0, lines.join('\n'));
    assert.deepEqual(lines.filter((l) => l.startsWith('checksum ')), [env('ZZ_WEB_CHECKSUM')]);
  } finally {
    await context.close();
  }
});

test('Escape asks in the page: No (Escape) plays on, Yes ends the game', async () => {
  const { context, page } = await openPage();
  try {
    await startAndReachTitle(page);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.getElementById('ask').hidden);
    assert.deepEqual(await page.$$eval('#ask-buttons button', (b) => b.map((x) => x.textContent)), ['Yes', 'No']);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.getElementById('ask').hidden);
    // The title's stars move: a game that plays on draws a new picture.
    const picture = () => page.evaluate(() => document.getElementById('canvas').toDataURL());
    const before = await picture();
    await new Promise((r) => setTimeout(r, 500));
    assert.notEqual(await picture(), before, 'No plays on');
    assert.equal(await page.evaluate(() => window.zzExitCode), undefined);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.getElementById('ask').hidden);
    await page.click('#ask-buttons button:first-child');
    await page.waitForFunction(() => window.zzExitCode !== undefined, { timeout: 10000 });
    assert.equal(await page.evaluate(() => window.zzExitCode), 0);
  } finally {
    await context.close();
  }
});

test('F12 hands the screenshot over as a PNG download', async () => {
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'zz-downloads-'));
  const { context, page } = await openPage();
  try {
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', {
      behavior: 'allow', downloadPath: downloads, browserContextId: context.id,
    });
    await startAndReachTitle(page);
    await page.keyboard.press('F12');
    const found = await waitFor('a downloaded PNG', async () => {
      const files = fs.readdirSync(downloads).filter((f) => f.endsWith('.png'));
      return { ok: files.length === 1, files };
    }, 10);
    const png = fs.readFileSync(path.join(downloads, found.files[0]));
    assert.deepEqual([...png.subarray(0, 8)], [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
  } finally {
    await context.close();
    fs.rmSync(downloads, { recursive: true, force: true });
  }
});

test('the settings file written at the first start is there again after a reload', async () => {
  const { context, page } = await openPage();
  const settings = '/home/web_user/.config/zizid-ozavav/settings.ini';
  const exists = () => page.evaluate((p) => Module.FS.analyzePath(p).exists, settings);
  try {
    await page.waitForFunction(() => document.getElementById('cover-text').textContent.includes('press a key'));
    assert.equal(await exists(), false, 'a new browser profile has none');
    await page.keyboard.press('Space');
    await page.waitForFunction((p) => Module.FS.analyzePath(p).exists, {}, settings);
    // The page keeps its storage every few seconds and when it is hidden; here at once.
    await page.evaluate(() => new Promise((resolve) => Module.FS.syncfs(false, resolve)));
    await page.reload();
    await page.waitForFunction(() => document.getElementById('cover-text').textContent.includes('press a key'));
    assert.equal(await exists(), true);
    assert.match(await page.evaluate((p) => Module.FS.readFile(p, { encoding: 'utf8' }), settings), /^# Settings of/);
  } finally {
    await context.close();
  }
});
