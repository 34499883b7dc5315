// The page in a real browser, opened from disk, used as a person uses it:
// its first screen, a run's verdict and outputs against the native tool,
// the catalogue form, Cancel, the grid's keys, the inspector and the
// comparison, what a reload keeps, Start over, phone width, axe-core, and
// not one request to a network.
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { after, before, test } = require('node:test');
const { unzipSync } = require('fflate');
const { pageFile, decode, example, speedDos, unknown, imageWith, runNative, launchBrowser, openPage, addFiles: add, idle,
  startRun, runEnded, runTool, bankLabels } = require('./support');

const pageUrl = `file://${pageFile}`;
const shots = path.dirname(pageFile);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-page-'));
const downloads = path.join(scratch, 'downloads');
const requests = [];  // every request the page made beyond its own file
let browser, page;

// What the native tools give on the example and an unknown block, to hold the page's results against.
const exampleFiles = { 'DD2.bin': example('DD2.bin'), 'fcFlash.prg': example('fcFlash.prg'), 'odd.bin': unknown };
const nativeRun = runNative('quillmore-flashtool', ['DD2.bin', 'odd.bin', '-t'], exampleFiles);

before(async () => {
  fs.mkdirSync(downloads);
  browser = await launchBrowser(path.join(scratch, 'profile'));
  page = await openPage(browser, { prepare: async (tab) => {
    tab.on('request', (request) => {
      if (request.url() !== pageUrl && !/^(blob|data):/.test(request.url())) requests.push(request.url());
    });
    const session = await tab.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  } });
  await page.setViewport({ width: 1280, height: 800 });
});

after(async () => {
  if (browser) await browser.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

const openConsole = () => page.click('::-p-aria(Console)')
  .then(() => page.waitForFunction(() => document.getElementById('console').textContent !== ''));
const textOf = (selector) => page.$eval(selector, (node) => node.textContent);
const rowOf = (name) => page.$$eval('#files tbody tr', (rows, wanted) => rows.map((row) => row.innerText.replace(/\s+/g, ' '))
  .find((text) => text.startsWith(wanted)), name);

// Follows the download link with this accessible text inside selector. Returns: the bytes saved.
async function download(selector, text, name) {
  const saved = path.join(downloads, name);
  if (fs.existsSync(saved)) fs.rmSync(saved);
  await page.click(`${selector} ::-p-aria(${text})`);
  for (let tries = 0; tries < 100 && !fs.existsSync(saved); tries++) await new Promise((done) => setTimeout(done, 50));
  return new Uint8Array(fs.readFileSync(saved));
}

test('one screen holds the files, Run and the map; the verdict, outputs, console, map and disk image are the tool\'s', async () => {
  await add(page, exampleFiles, scratch);
  assert.match(await runTool(page, ['DD2.bin', 'odd.bin'], ['opt-t']), /^2 bank loader files written, .*\(exit status 0\)\.$/);
  await page.evaluate(() => window.scrollTo(0, 0));
  for (const selector of ['#pick', '#files tbody tr', '::-p-aria(Run)', '[role="grid"]']) {
    const box = await (await page.$(selector)).boundingBox();
    assert.ok(box.y >= 0 && box.y + box.height <= 800, `${selector} in view at 1280×800`);
  }
  await page.screenshot({ path: path.join(shots, 'page.png') });
  const verdict = await page.$eval('#verdict', (node) => node.innerText);
  for (const line of ['bank 0b: &flashbank0b.prg, SpeedDOS 40T HIROM', 'odd.bin, block 00: CRC-16 1a2b Add to catalogue',
    '1 blank block (all $FF) passed over', '1 error line in the console']) assert.ok(verdict.includes(line), line);
  await openConsole();
  assert.strictEqual(await textOf('#console'), decode(nativeRun.stdout) + decode(nativeRun.stderr));
  assert.deepStrictEqual(await download('#verdict', '&flashbank18.prg', '&flashbank18.prg'), nativeRun.files['&flashbank18.prg']);
  const zip = unzipSync(await download('#drive', 'Download the 2 bank loader files as one .zip', 'quillmore-bank-loaders.zip'));
  const loaders = ['&flashbank0b.prg', '&flashbank18.prg'];
  assert.deepStrictEqual(zip, Object.fromEntries(loaders.map((name) => [name, nativeRun.files[name]])));
  // The same files onto a disk image by the engine, byte for byte as the native program writes it; dropped back, it is inspected.
  await page.click('::-p-aria(Make the disk images)');
  await page.waitForSelector('#disks li');
  const disk = await download('#disks', 'bank-loaders.d64', 'bank-loaders.d64');
  assert.deepStrictEqual(disk, runNative('quillmore-flashdisk', ['bank-loaders.d64', ...loaders], nativeRun.files).files['bank-loaders.d64']);
  await add(page, { 'bank-loaders.d64': disk }, scratch);
  await idle(page);
  assert.match(await rowOf('bank-loaders.d64'), /disk image .*"QUILLMORE", 2 files \(banks 0b 18\), 5\d\d blocks free/);
  const labels = await bankLabels(page);
  assert.deepStrictEqual([labels.length, labels[0x0b], labels[0x18], labels.filter((label) => label.endsWith(': blank')).length],
    [64, 'bank 0b: SpeedDOS 40T HIROM, CRC-16 d3da', 'bank 18: SpeedDOS 40T HIROM, CRC-16 d3da', 62]);
  await (await page.$('#result')).screenshot({ path: path.join(shots, 'verdict.png') });
  // A file rewritten with the same bytes is listed as written.
  await runTool(page, ['DD2.bin'], ['opt-t']);
  assert.deepStrictEqual((await page.$$eval('#verdict [aria-label="Written by this run"] li', (items) => items.map((item) => item.textContent)))
    .slice(-3), ['flash.bin (rewritten, same bytes)', '&flashbank0b.prg (rewritten, same bytes)', '&flashbank18.prg (rewritten, same bytes)']);
});

test('Add to catalogue: a bad bank is refused in the parser\'s words; a good line makes the block known', async () => {
  await runTool(page, ['odd.bin'], []);
  await page.click('::-p-aria(Add to catalogue)');
  await page.type('::-p-aria(ROM name)', 'Mine');
  await page.type('::-p-aria(Banks it goes to: two hexadecimal digits each, 00 to 3f, separated by spaces or commas)', '40');
  await page.click('dialog ::-p-aria(Add)');
  await page.waitForFunction(() => document.getElementById('add-problem').textContent !== '', { polling: 50 });
  assert.strictEqual(await textOf('#add-problem'), 'The tool refuses the line (rc=-4): the banks are not hexadecimal ' +
    'numbers 00 to 3f, separated by commas or blanks.');
  await page.screenshot({ path: path.join(shots, 'catalogue-form.png') });
  await page.$eval('#add-banks', (input) => { input.value = '05'; });
  await page.click('dialog ::-p-aria(Add)');
  await page.waitForFunction(() => !document.getElementById('add-entry').open, { polling: 50 });
  await idle(page);
  assert.strictEqual(await rowOf('odd.bin'), 'odd.bin 8,192 bytes, ROM file Mine → bank 05 Download Remove');
  assert.ok(!(await textOf('#verdict')).includes('Add to catalogue'));
  assert.match(await page.$eval('#catalogue-body', (node) => node.innerText), /^30 entries on 33 lines\.\n[^]*\n33\t1a2b\t05\tMine$/);
});

test('the map is a grid with one Tab stop; arrows, Home and End move within it', async () => {
  await page.focus('#image-choice');
  await page.keyboard.press('Tab');
  for (const [key, label] of [['ArrowRight', 'bank 01'], ['ArrowDown', 'bank 09'], ['End', 'bank 0f'], ['Home', 'bank 08'],
    ['ArrowUp', 'bank 00'], ['ArrowLeft', 'bank 00']]) {
    await page.keyboard.press(key);
    assert.match(await page.evaluate(() => document.activeElement.getAttribute('aria-label')), new RegExp(`^${label}: blank$`), key);
  }
  assert.strictEqual(await textOf('#bank-detail'), 'bank 00: blank');
  await page.keyboard.press('Tab');
  assert.strictEqual(await page.evaluate(() => document.activeElement.closest('[role="grid"]')), null, 'one Tab stop');
});

test('the inspector and the comparison report what the native inspector does', async () => {
  const image = await download('#files', 'Download flash.bin', 'flash.bin');
  const catalogue = await download('#files', 'Download crc.ini', 'crc.ini');
  const readback = imageWith({ 0x0b: image.slice(0x16000, 0x18000) });  // bank 18 never burned
  await add(page, { 'readback.bin': readback }, scratch);
  const files = { 'flash.bin': image, 'readback.bin': readback, 'DD2.bin': example('DD2.bin'), 'crc.ini': catalogue };
  for (const [choices, button, args, status] of [[{ '#inspect-choice': 'DD2.bin' }, 'Inspect', ['--', 'DD2.bin'], 0],
    [{ '#expected-choice': 'flash.bin', '#found-choice': 'readback.bin' }, 'Compare', ['--compare', '--', 'flash.bin', 'readback.bin'], 1]]) {
    for (const [select, value] of Object.entries(choices)) await page.select(select, value);
    await page.click(`::-p-aria(${button})`);
    const report = `${decode(runNative('quillmore-flashinfo', args, files).stdout)}\n(exit status ${status})\n`;
    await page.waitForFunction((report) => document.getElementById('report').textContent === report, { polling: 50 }, report).catch(() => {});
    assert.strictEqual(await textOf('#report'), report);
  }
  await page.waitForFunction(() => document.querySelectorAll('[role="gridcell"].differs').length === 1, { polling: 50 });
  assert.strictEqual(await page.$eval('.differs', (node) => node.getAttribute('aria-label')),
    'bank 18: blank; differs from the expected image in 8192 bytes');
});

test('Cancel ends a run under way and leaves the workspace as it was', async () => {
  const big = new Uint8Array(16 << 20).map((_, i) => (i * 7 + (i >> 13)) & 0xff);  // 2,048 blocks
  await add(page, { 'big.bin': big }, scratch);
  const files = await page.$$eval('#files tbody tr', (rows) => rows.length);
  await startRun(page, ['big.bin'], ['opt-b']);
  await page.waitForSelector('::-p-aria(Cancel)', { visible: true });
  await page.click('::-p-aria(Cancel)');
  assert.strictEqual(await runEnded(page), 'The run did not finish: you cancelled it. Nothing it did was kept.');
  assert.strictEqual(await page.$$eval('#files tbody tr', (rows) => rows.length), files);
});

test('without fcFlash.prg the verdict says why nothing was written; a reload keeps verdict, console, marks and options', async () => {
  await page.click('::-p-aria(Remove fcFlash.prg)');
  await idle(page);
  assert.strictEqual(await runTool(page, ['DD2.bin'], ['opt-t']), 'No bank loader file was written (exit status 0).');
  assert.match(await textOf('#verdict'), /There is no fcFlash\.prg \(the flasher program\) in the workspace/);
  const seen = await page.evaluate(() => ['verdict', 'console', 'files', 'command'].map((id) => document.getElementById(id).innerText));
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  await idle(page);
  await openConsole();
  assert.deepStrictEqual(await page.evaluate(() => ['verdict', 'console', 'files', 'command']
    .map((id) => document.getElementById(id).innerText)), seen);
});

test('Start over asks first, naming flash.bin and the files it deletes', async () => {
  const count = await page.$$eval('#files tbody tr', (rows) => rows.length);
  for (const answer of ['Keep them', `Delete ${count} files`]) {
    await page.click('::-p-aria(Start over…)');
    await page.waitForSelector('dialog[open]');
    assert.strictEqual(await textOf('dialog[open] p'),
      `Delete all ${count} files of the workspace among them flash.bin, the image of the whole flash? What is not downloaded is lost.`);
    await page.click(`dialog[open] ::-p-aria(${answer})`);
    await idle(page);
  }
  assert.strictEqual(await page.$$eval('#files tbody tr', (rows) => rows.length), 0);
  assert.strictEqual(await page.evaluate(() => document.activeElement.textContent), 'Start over…');
});

test('at 360 px nothing scrolls sideways; axe-core finds no violation; the page asked no network for anything', async () => {
  await page.evaluate(fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8'));
  const violations = async (label) => {
    for (const scheme of ['light', 'dark']) {
      await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
      const results = await page.evaluate(() => axe.run());
      assert.deepStrictEqual(results.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(', ')}`), [],
        `${label}, ${scheme}`);
    }
  };
  await violations('empty');
  await add(page, { ...exampleFiles, 'flash.bin': imageWith({ 5: speedDos }) }, scratch);
  await runTool(page, ['odd.bin', 'DD2.bin'], ['opt-t']);
  await violations('after a run');
  await page.setViewport({ width: 360, height: 740 });
  assert.deepStrictEqual(await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.clientWidth]),
    [360, 360]);
  await page.evaluate(() => window.scrollTo(0, 0));
  await page.screenshot({ path: path.join(shots, 'phone.png') });
  assert.deepStrictEqual(requests, []);
});
