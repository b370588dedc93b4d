// Headless Chromium for the replay page, driven by puppeteer-core (which
// downloads no browser: it starts the installed one). Used by the browser
// test and by scripts/make-pictures.
//
//   node browser.cjs NODE_MODULES PAGE.html OUT.png TIME [WIDTH HEIGHT]
// takes a screenshot of the replay at TIME seconds.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');

const kChromium = process.env.CHROMIUM || '/usr/bin/chromium';

// The flags Chromium needs as root on a machine without a network or GPU,
// with a fresh profile each time.
async function launch(nodeModules) {
  const puppeteer = require(path.resolve(nodeModules, 'puppeteer-core'));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'replay-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader', '--disable-quic',
      '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`],
  });
  const close = async () => {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { browser, close };
}

// Opens the replay page, paused at time t.
async function openReplay(browser, page, file, t, width, height) {
  await page.setViewport({ width, height });
  await page.goto('file://' + path.resolve(file) + '#t=' + t, { waitUntil: 'load' });
  await page.waitForFunction(() => window.replay && window.replay.ready, { timeout: 30000 });
  await page.evaluate((time) => { window.replay.pause(); window.replay.seek(time); }, t);
}

async function main() {
  const [nodeModules, file, out, t, width = '1400', height = '820'] = process.argv.slice(2);
  if (!out) {
    console.error('usage: node browser.cjs NODE_MODULES PAGE.html OUT.png TIME [WIDTH HEIGHT]');
    process.exit(2);
  }
  const { browser, close } = await launch(nodeModules);
  try {
    const page = await browser.newPage();
    await openReplay(browser, page, file, Number(t), Number(width), Number(height));
    await page.screenshot({ path: out });
  } finally {
    await close();
  }
}

module.exports = { launch, openReplay };
if (require.main === module) main().catch((e) => { console.error(e); process.exit(1); });
