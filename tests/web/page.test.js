// The page in a real browser, opened from disk: files added through the
// file input, a run, its console, downloads and map, the inspector and the
// comparison, the keyboard, axe-core, and not one request to a network.
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { after, before, test } = require('node:test');
const { unzipSync } = require('fflate');
const { root, pageFile, forgedBlock, imageWith, runNative, launchBrowser, openPage, addFiles: add } = require('./support');

const example = (name) => new Uint8Array(fs.readFileSync(path.join(root, 'examples', name)));
const decode = (bytes) => new TextDecoder().decode(bytes);
const pageUrl = `file://${pageFile}`;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-page-'));
const downloads = path.join(scratch, 'downloads');
const requests = [];  // every request the page made beyond its own file
let browser;
let page;

// What the native tools give on the example, to hold the page's results against.
const exampleFiles = { 'DD2.bin': example('DD2.bin'), 'fcFlash.prg': example('fcFlash.prg') };
const nativeRun = runNative('quillmore-flashtool', ['DD2.bin', '-t'], exampleFiles);

before(async () => {
  fs.mkdirSync(downloads);
  browser = await launchBrowser(path.join(scratch, 'profile'));
  page = await openPage(browser, { prepare: async (tab) => {
    await tab.setRequestInterception(true);
    tab.on('request', (request) => {
      const url = request.url();
      if (url === pageUrl || url.startsWith('blob:') || url.startsWith('data:')) return request.continue();
      requests.push(url);
      return request.abort();
    });
    const session = await tab.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  } });
});

after(async () => {
  if (browser) await browser.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

async function open() {
  await page.goto(pageUrl);
  await page.waitForSelector('body[data-ready="true"]');
}

const textOf = (selector) => page.$eval(selector, (node) => node.textContent);
const addFiles = (files) => add(page, files, scratch);

// Clicks the download link with this text inside selector. Returns: the bytes saved.
async function download(selector, text, name) {
  const saved = path.join(downloads, name);
  if (fs.existsSync(saved)) fs.rmSync(saved);
  const links = await page.$$(`${selector} a`);
  for (const link of links) {
    if ((await link.evaluate((node) => node.textContent)) === text) await link.click();
  }
  for (let tries = 0; tries < 100 && !fs.existsSync(saved); tries++) await new Promise((done) => setTimeout(done, 50));
  return new Uint8Array(fs.readFileSync(saved));
}

test('DD2.bin -t in the page: the console, the outputs and the map are the tool\'s', async () => {
  await addFiles(exampleFiles);
  assert.deepStrictEqual(await page.$$eval('#files tbody tr', (rows) => rows.map((row) => row.cells[2].textContent)),
    ['ROM file', 'flasher program']);
  await page.click('#roms input[value="DD2.bin"]');
  await page.click('#opt-t');
  assert.strictEqual(await textOf('#command'), 'quillmore-flashtool DD2.bin -t');
  await page.click('#run-tool');
  await page.waitForFunction(() => document.getElementById('exit-status').textContent !== '');
  assert.strictEqual(await textOf('#console'), decode(nativeRun.stdout) + decode(nativeRun.stderr));
  assert.strictEqual(await textOf('#exit-status'), 'quillmore-flashtool ended with exit status 0');
  assert.deepStrictEqual(await page.$$eval('#files tr.new code', (codes) => codes.map((code) => code.textContent)),
    ['&flashbank0b.prg', '&flashbank18.prg', 'crc.ini', 'flash.bin']);

  assert.deepStrictEqual(await download('#outputs', '&flashbank0b.prg', '&flashbank0b.prg'), nativeRun.files['&flashbank0b.prg']);
  const zip = unzipSync(await download('#outputs', 'Download all of them as one .zip', 'quillmore-outputs.zip'));
  for (const name of ['&flashbank0b.prg', '&flashbank18.prg', 'crc.ini', 'flash.bin']) {
    assert.deepStrictEqual(zip[name], nativeRun.files[name], name);
  }

  const cells = await page.$$eval('#map button', (buttons) => buttons.map((button) => button.getAttribute('aria-label')));
  assert.strictEqual(cells.length, 64);
  assert.strictEqual(cells[0x0b], 'bank 0b: SpeedDOS 40T HIROM, CRC-16 d3da');
  assert.strictEqual(cells[0x18], 'bank 18: SpeedDOS 40T HIROM, CRC-16 d3da');
  assert.strictEqual(cells.filter((label) => label.endsWith(': blank')).length, 62);
  assert.match(await textOf('#legend'), /SpeedDOS 40T HIROM: banks 0b 18/);
  await page.screenshot({ path: path.join(path.dirname(pageFile), 'page.png'), fullPage: true });
});

test('the keyboard reaches the map, and a focused bank tells what it holds', async () => {
  await page.focus('#image-choice');
  for (let i = 0; i < 12; i++) await page.keyboard.press('Tab');  // banks 00 to 0b
  assert.strictEqual(await page.evaluate(() => document.activeElement.textContent), '0b');
  assert.strictEqual(await textOf('#bank-detail'), 'bank 0b: SpeedDOS 40T HIROM, CRC-16 d3da');
});

test('the inspector and the comparison report what the native inspector does', async () => {
  const readback = imageWith({ 0x0b: nativeRun.files['flash.bin'].slice(0x16000, 0x18000) });  // bank 18 never burned
  await addFiles({ 'readback.bin': readback });
  const files = { ...nativeRun.files, 'readback.bin': readback };

  await page.select('#inspect-choice', 'DD2.bin');
  await page.click('#inspect-run');
  const inspected = runNative('quillmore-flashinfo', ['--', 'DD2.bin'], files);
  await page.waitForFunction(() => document.getElementById('report').textContent !== '');
  assert.strictEqual(await textOf('#report'), `${decode(inspected.stdout)}\n(exit status 0)\n`);

  await page.select('#expected-choice', 'flash.bin');
  await page.select('#found-choice', 'readback.bin');
  await page.click('#compare-run');
  const compared = runNative('quillmore-flashinfo', ['--compare', '--', 'flash.bin', 'readback.bin'], files);
  await page.waitForFunction(() => document.getElementById('report').textContent.includes('compare:'));
  assert.strictEqual(await textOf('#report'), `${decode(compared.stdout)}\n(exit status 1)\n`);
  await page.waitForFunction(() => document.querySelectorAll('#map button.differs').length === 1);
  assert.match(await page.$eval('#map button.differs', (node) => node.getAttribute('aria-label')),
    /^bank 18: blank; differs from the expected image in 8192 bytes$/);
  const json = JSON.parse(decode(await download('#report-downloads', 'Download the report as JSON (compare.json)', 'compare.json')));
  assert.strictEqual(json.compare.summary.differ, 1);
});

test('the workspace is kept across a reload, and start over empties it', async () => {
  await open();
  assert.strictEqual((await page.$$('#files tbody tr')).length, 7);
  await page.click('#start-over');
  await page.waitForFunction(() => document.querySelectorAll('#files tbody tr').length === 0);
  await open();
  assert.strictEqual((await page.$$('#files tbody tr')).length, 0);
});

test('axe-core finds no violation, and the page asked no network for anything', async () => {
  await addFiles({ ...exampleFiles, 'odd.bin': forgedBlock(0x1a2b, 4), 'flash.bin': imageWith({ 5: forgedBlock(0xd3da, 1) }) });
  await page.evaluate(fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8'));
  for (const scheme of ['light', 'dark']) {
    await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
    const results = await page.evaluate(() => axe.run());
    assert.deepStrictEqual(results.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(', ')}`), [], scheme);
  }
  assert.deepStrictEqual(requests, []);
});
