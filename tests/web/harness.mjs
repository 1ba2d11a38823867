// What the browser tests and the page's benchmark share: a static server on the loopback
// address, the system's Chromium, and a look at the canvas's colours.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.data': 'application/octet-stream', '.zzr': 'application/octet-stream',
};

// A static server for the page and the fixtures, on a free port of the loopback address only.
export function serve(webDir, fixtures) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    const rel = decodeURIComponent(url.pathname);
    const [root, name] = rel.startsWith('/fixtures/')
      ? [fixtures, rel.slice('/fixtures/'.length)] : [webDir, rel.slice(1) || 'index.html'];
    const file = path.resolve(root, name);
    if (!file.startsWith(path.resolve(root) + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Debian's Chromium, headless, with nothing of its own reaching out to the network.
export function launchChromium(profile) {
  return puppeteer.launch({
    executablePath: process.env.ZZ_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`],
  });
}

// The canvas's colours: how many there are, and the shares of black and of blue-ish pixels.
export function canvasColours(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const copy = document.createElement('canvas');
    copy.width = canvas.width;
    copy.height = canvas.height;
    const g = copy.getContext('2d');
    g.drawImage(canvas, 0, 0);
    const data = g.getImageData(0, 0, copy.width, copy.height).data;
    const seen = new Set();
    let black = 0, blue = 0;
    for (let i = 0; i < data.length; i += 4) {
      const [r, gr, b] = [data[i], data[i + 1], data[i + 2]];
      seen.add((r << 16) | (gr << 8) | b);
      if (r === 0 && gr === 0 && b === 0) ++black;
      if (b > 100 && b > r + 40) ++blue;
    }
    const pixels = data.length / 4;
    return { colours: seen.size, black: black / pixels, blue: blue / pixels };
  });
}

export async function waitFor(what, check, seconds) {
  const end = Date.now() + seconds * 1000;
  let last;
  while (Date.now() < end) {
    last = await check();
    if (last.ok) return last;
    await new Promise((r) => setTimeout(r, 100));
  }
  assert.fail(`${what} within ${seconds} s; last seen ${JSON.stringify(last)}`);
}

// The logo: a few colours, mostly black, a blue name. The title: the game's full palette at work.
export const isLogo = (c) => c.colours >= 2 && c.colours <= 20 && c.black > 0.8 && c.blue > 0.002;
export const isTitle = (c) => c.colours >= 30;


// What the page's sound output carries over a few seconds: the context's state and the loudest
// sample, read through an analyser beside SDL's own output node.
export function soundPeak(page, seconds) {
  return page.evaluate(async (ms) => {
    const sdl = Module.SDL2;
    if (!sdl || !sdl.audioContext || !sdl.audio) return { state: 'none', peak: 0 };
    const analyser = sdl.audioContext.createAnalyser();
    analyser.fftSize = 32768;
    sdl.audio.scriptProcessorNode.connect(analyser);
    const samples = new Float32Array(analyser.fftSize);
    let peak = 0;
    for (let waited = 0; waited < ms; waited += 250) {
      await new Promise((r) => setTimeout(r, 250));
      analyser.getFloatTimeDomainData(samples);
      for (const v of samples) peak = Math.max(peak, Math.abs(v));
    }
    return { state: sdl.audioContext.state, peak };
  }, seconds * 1000);
}
