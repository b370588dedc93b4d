// The replay page of the demo in a real browser (headless Chromium driven
// by puppeteer-core): it loads without console errors; at 5, 30 and 75 s
// window.replay.objectsAt agrees with the run's trace (the vessels that
// exist, the mill's visible meshes, the ore box aboard or set down); the
// view at 75 s is not blank; and the site map of the same run is an SVG
// document the browser reads without a parse error.
//
//   node replay_browser_test.cjs SIMHOST NODE_MODULES BROWSER_CJS
'use strict';
const assert = require('assert');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [simhost, nodeModules, browserScript] = process.argv.slice(2);
const { launch, openReplay } = require(path.resolve(browserScript));
const kMoments = [5, 30, 75];
const kMill = 'Mill';
const kOreClass = 'UCGO\\Cargos\\KVT_Ore_Cargo';
// The mill loads at stage 0: only its base, mesh 0, is shown.
const kMillMeshesAtLoad = [0];
// Where the cargo add-on puts the mesh of cargo slot 0.
const kCargoMesh = 24;

// What the trace says at time t.
function traceAt(trace, t) {
  const vessels = new Map();
  const millMeshes = new Map(kMillMeshesAtLoad.map((i) => [i, 1]));
  for (const e of trace) {
    if (e.t > t + 1e-9) break;
    if (e.kind === 'created') vessels.set(e.name, e.class);
    if (e.kind === 'deleted') vessels.delete(e.name);
    if (e.kind !== 'mesh' || e.name !== kMill) continue;
    if (e.action === 'added' || e.action === 'inserted') millMeshes.set(e.index, 1);
    if (e.action === 'deleted') millMeshes.delete(e.index);
    if (e.action === 'visibility') millMeshes.set(e.index, e.mode);
  }
  const visible = [...millMeshes].filter(([, mode]) => mode !== 0).map(([i]) => i).sort((a, b) => a - b);
  return {
    vessels: [...vessels.keys()].sort(),
    millMeshes: visible,
    boxAboard: visible.includes(kCargoMesh),
    boxesSetDown: [...vessels].filter(([, cls]) => cls === kOreClass).map(([name]) => name).sort(),
  };
}

function pageAt(objects) {
  const mill = objects.vessels.find((v) => v.name === kMill);
  return {
    vessels: objects.vessels.map((v) => v.name).sort(),
    millMeshes: mill.visibleMeshes,
    boxAboard: mill.visibleMeshes.includes(kCargoMesh),
    boxesSetDown: objects.vessels.filter((v) => v.class === kOreClass).map((v) => v.name).sort(),
  };
}

// The share of the screenshot's pixels unlike its corner, and how many
// colours it has, counted by the page itself.
async function screenshotVariety(page, png) {
  return page.evaluate(async (base64) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + base64;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    const ctx = canvas.getContext('2d');
    ctx.drawImage(image, 0, 0);
    const pixels = ctx.getImageData(0, 0, image.width, image.height).data;
    const colours = new Set();
    let unlike = 0;
    for (let i = 0; i < pixels.length; i += 4) {
      colours.add((pixels[i] << 16) | (pixels[i + 1] << 8) | pixels[i + 2]);
      if (pixels[i] !== pixels[0] || pixels[i + 1] !== pixels[1] || pixels[i + 2] !== pixels[2]) unlike++;
    }
    return { colours: colours.size, unlike: unlike / (pixels.length / 4) };
  }, png.toString('base64'));
}

async function main() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'replay-test-'));
  const files = { trace: path.join(dir, 'demo.jsonl'), page: path.join(dir, 'demo.html'), map: path.join(dir, 'demo.svg') };
  execFileSync(simhost, ['run', '--quiet', '--trace', files.trace, '--replay', files.page, '--map', files.map],
    { stdio: 'inherit' });
  const trace = fs.readFileSync(files.trace, 'utf8').trim().split('\n').map((line) => JSON.parse(line));
  const { browser, close } = await launch(nodeModules);
  let passed = 0;
  try {
    const page = await browser.newPage();
    const errors = [];
    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
    page.on('pageerror', (e) => errors.push(e.message));
    await openReplay(browser, page, files.page, 0, 1280, 720);
    assert.deepStrictEqual(errors, [], 'console errors while the page loads');
    passed++;
    for (const t of kMoments) {
      const objects = await page.evaluate((time) => window.replay.objectsAt(time), t);
      assert.deepStrictEqual(pageAt(objects), traceAt(trace, t), `the page and the trace at ${t} s`);
      passed++;
    }
    await page.evaluate(() => window.replay.seek(75));
    const variety = await screenshotVariety(page, Buffer.from(await page.screenshot()));
    assert.ok(variety.colours > 200 && variety.unlike > 0.3, `the view at 75 s looks blank: ${JSON.stringify(variety)}`);
    passed++;
    await page.goto('file://' + files.map);
    const map = await page.evaluate(() => ({
      root: document.documentElement.nodeName,
      parseError: document.getElementsByTagName('parsererror').length,
    }));
    assert.deepStrictEqual(map, { root: 'svg', parseError: 0 }, 'the site map as the browser reads it');
    passed++;
    assert.deepStrictEqual(errors, [], 'console errors');
  } finally {
    await close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
  console.log(`${passed} passed, 0 failed`);
}

main().catch((e) => {
  console.error(e.message || e);
  console.log('0 passed, 1 failed');
  process.exit(1);
});
