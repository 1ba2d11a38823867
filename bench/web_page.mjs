// The web build in headless Chromium: what the page downloads, how long from the address to the
// title, the frames a second it holds there, and the speed of an uncapped automatic run.
// Usage: node bench/web_page.mjs [build-web]   (after tests/web/run.sh installed the driver)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { serve, launchChromium, canvasColours, waitFor, isTitle } from '../tests/web/harness.mjs';

const webDir = path.resolve(process.argv[2] ?? 'build-web');
const FRAMES = 20000;
const HOLD_SECONDS = 10;

function downloadBytes() {
  const files = fs.readdirSync(webDir).filter((f) => /\.(html|js|css|png|wasm|data)$/.test(f));
  return files.reduce((sum, f) => sum + fs.statSync(path.join(webDir, f)).size, 0);
}

// Each picture the game shows is one putImageData on the canvas: their times give the rate.
function countPictures() {
  window.zzPictures = [];
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    window.zzPictures.push(performance.now());
    return put.apply(this, args);
  };
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zz-bench-'));
const server = await serve(webDir, profile);
const origin = `http://127.0.0.1:${server.address().port}`;
const browser = await launchChromium(profile);
try {
  console.log(`page download: ${(downloadBytes() / 1024).toFixed(0)} KiB`);

  const page = await browser.newPage();
  await page.evaluateOnNewDocument(countPictures);
  const t0 = Date.now();
  await page.goto(`${origin}/index.html`);
  await page.waitForFunction(() => document.getElementById('cover-text').textContent.includes('press'));
  const loaded = Date.now() - t0;
  await page.keyboard.press('Space');
  await waitFor('the title', async () => ({ ok: isTitle(await canvasColours(page)) }), 60);
  console.log(`start-up: ${loaded} ms to "press a key", ${Date.now() - t0} ms to the title ` +
    '(the logo itself lasts about 6.7 s of it)');

  const from = await page.evaluate(() => performance.now());
  await new Promise((r) => setTimeout(r, HOLD_SECONDS * 1000));
  const times = await page.evaluate((f) => window.zzPictures.filter((t) => t >= f), from);
  const gaps = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
  const span = (times.at(-1) - times[0]) / 1000;
  console.log(`title: ${((times.length - 1) / span).toFixed(2)} pictures a second over ${span.toFixed(1)} s; ` +
    `gaps median ${gaps[gaps.length >> 1].toFixed(1)} ms, longest ${gaps.at(-1).toFixed(1)} ms`);
  await page.close();

  const run = await browser.newPage();
  const t1 = Date.now();
  await run.goto(`${origin}/index.html?frames=${FRAMES}&fps=0`);
  await run.waitForFunction(() => window.zzExitCode !== undefined, { timeout: 600000, polling: 200 });
  const seconds = (Date.now() - t1) / 1000;
  console.log(`uncapped: ${FRAMES} frames in ${seconds.toFixed(1)} s, ${(FRAMES / seconds).toFixed(0)} a second`);
} finally {
  await browser.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
