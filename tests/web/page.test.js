// The page in a real browser, opened from disk, used as a person uses it:
// its first screen, a run's verdict (of that run's files alone) and outputs
// against the native tool, the catalogue form and what it refuses, Cancel,
// a forced bank, the grid's keys, the inspector and the comparison with the
// way back from a bad burn, a reload during a run and after one, Start
// over, the Tab stops, phone width, axe-core, and not one request to a network.
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { after, before, test } = require('node:test');
const { unzipSync } = require('fflate');
const {
  pageFile,
  decode,
  example,
  forgedBlock,
  concat,
  filled,
  speedDos,
  unknown,
  imageWith,
  runNative,
  launchBrowser,
  openPage,
  addFiles: add,
  idle,
  startRun,
  runEnded,
  runTool,
  bankLabels,
} = require('./support');

const pageUrl = `file://${pageFile}`;
const shots = path.dirname(pageFile);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-page-'));
const downloads = path.join(scratch, 'downloads');
const requests = []; // every request the page made beyond its own file
let browser, page;

// What the native tools give on the example and an unknown block, to hold the page's results against.
const exampleFiles = { 'DD2.bin': example('DD2.bin'), 'fcFlash.prg': example('fcFlash.prg'), 'odd.bin': unknown };
// Beside them, a ROM file that no run here reads: an unknown block and a blank one.
const bystander = { 'mystery.bin': concat(forgedBlock(0x0b1e, 9), filled(8192, 0xff)) };
const nativeRun = runNative('quillmore-flashtool', ['DD2.bin', 'odd.bin', '-t'], exampleFiles);

before(async () => {
  fs.mkdirSync(downloads);
  browser = await launchBrowser(path.join(scratch, 'profile'));
  page = await openPage(browser, {
    prepare: async (tab) => {
      tab.on('request', (request) => {
        if (request.url() !== pageUrl && !/^(blob|data):/.test(request.url())) requests.push(request.url());
      });
      const session = await tab.createCDPSession();
      await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    },
  });
  await page.setViewport({ width: 1280, height: 800 });
});

after(async () => {
  if (browser) await browser.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

const openConsole = () =>
  page
    .click('::-p-aria(Console)')
    .then(() => page.waitForFunction(() => document.getElementById('console').textContent !== ''));
const textOf = (selector) => page.$eval(selector, (node) => node.textContent);
const focused = () => page.evaluate(() => document.activeElement.textContent);
const rowOf = (name) =>
  page.$$eval(
    '#files tbody tr',
    (rows, wanted) => rows.map((row) => row.innerText.replace(/\s+/g, ' ')).find((text) => text.startsWith(wanted)),
    name,
  );

// Follows the download link with this accessible text inside selector. Returns: the bytes saved.
async function download(selector, text, name) {
  const saved = path.join(downloads, name);
  if (fs.existsSync(saved)) fs.rmSync(saved);
  await page.click(`${selector} ::-p-aria(${text})`);
  for (let tries = 0; tries < 100 && !fs.existsSync(saved); tries++) await new Promise((done) => setTimeout(done, 50));
  return new Uint8Array(fs.readFileSync(saved));
}

test("one screen holds the files, Run and the map; the verdict, outputs, console, map and disk image are the run's own", async () => {
  await add(page, { ...exampleFiles, ...bystander }, scratch);
  assert.match(
    await runTool(page, ['DD2.bin', 'odd.bin'], ['opt-t']),
    /^2 bank loader files written, .*\(exit status 0\)\.$/,
  );
  // The verdict is brought into view, its heading focused.
  assert.strictEqual(await focused(), 'Result');
  const box = await (await page.$('#verdict')).boundingBox();
  assert.ok(box.y >= 0 && box.y < 800, `the verdict in view at ${box.y}`);
  const verdict = await page.$eval('#verdict', (node) => node.innerText);
  for (const line of [
    'bank 0b: &flashbank0b.prg, SpeedDOS 40T HIROM',
    'odd.bin, block 00: CRC-16 1a2b Add block 00 of odd.bin to the catalogue',
    '1 block the catalogue did not know',
    '1 blank block (all $FF) passed over',
    '1 error line in the console',
  ])
    assert.ok(verdict.includes(line), line);
  assert.ok(!verdict.includes('mystery.bin'), 'a ROM file the run did not read');
  await page.evaluate(() => window.scrollTo(0, 0));
  for (const selector of ['#pick', '#files tbody tr', '::-p-aria(Run)', '[role="grid"][aria-label="Flash banks"]']) {
    const where = await (await page.$(selector)).boundingBox();
    assert.ok(where.y >= 0 && where.y + where.height <= 800, `${selector} in view at 1280×800`);
  }
  await page.screenshot({ path: path.join(shots, 'page.png') });
  await openConsole();
  assert.strictEqual(await textOf('#console'), decode(nativeRun.stdout) + decode(nativeRun.stderr));
  assert.deepStrictEqual(
    await download('#verdict', '&flashbank18.prg', '&flashbank18.prg'),
    nativeRun.files['&flashbank18.prg'],
  );
  const zip = unzipSync(
    await download('#drive', 'Download the 2 bank loader files as one .zip', 'quillmore-bank-loaders.zip'),
  );
  const loaders = ['&flashbank0b.prg', '&flashbank18.prg'];
  assert.deepStrictEqual(zip, Object.fromEntries(loaders.map((name) => [name, nativeRun.files[name]])));
  // The same files onto a disk image by the engine, byte for byte as the native program writes it, kept and inspected.
  await page.click('::-p-aria(Make the disk images)');
  await page.waitForSelector('#disks li');
  const disk = await download('#disks', 'bank-loaders.d64', 'bank-loaders.d64');
  assert.deepStrictEqual(
    disk,
    runNative('quillmore-flashdisk', ['bank-loaders.d64', ...loaders], nativeRun.files).files['bank-loaders.d64'],
  );
  await idle(page);
  assert.match(await rowOf('bank-loaders.d64'), /disk image .*"QUILLMORE", 2 files \(banks 0b 18\), 5\d\d blocks free/);
  const labels = await bankLabels(page);
  assert.deepStrictEqual(
    [labels.length, labels[0x0b], labels[0x18], labels.filter((label) => label.endsWith(': blank')).length],
    [64, 'bank 0b: SpeedDOS 40T HIROM, CRC-16 d3da', 'bank 18: SpeedDOS 40T HIROM, CRC-16 d3da', 62],
  );
  await (await page.$('#result')).screenshot({ path: path.join(shots, 'verdict.png') });
  await (await page.$('#drive')).screenshot({ path: path.join(shots, 'drive.png') });
  // A file rewritten with the same bytes is listed as written.
  await runTool(page, ['DD2.bin'], ['opt-t']);
  assert.deepStrictEqual(
    (
      await page.$$eval('#verdict [aria-label="Written by this run"] li', (items) =>
        items.map((item) => item.textContent),
      )
    ).slice(-3),
    [
      'flash.bin (rewritten, same bytes)',
      '&flashbank0b.prg (rewritten, same bytes)',
      '&flashbank18.prg (rewritten, same bytes)',
    ],
  );
});

test('the catalogue form writes only what the tool reads back as shown, says which entry shares a bank, and gives the focus back', async () => {
  await runTool(page, ['odd.bin'], []);
  const before = await textOf('#catalogue-body p');
  await page.click('#files ::-p-aria(Add block 00 of odd.bin to the catalogue)');
  const name = '::-p-aria(ROM name)';
  const banks = '::-p-aria(Banks it goes to: two hexadecimal digits each, 00 to 3f, separated by spaces or commas)';
  const fillIn = (selector, value) =>
    page.$eval(
      selector,
      (input, text) => {
        input.value = text;
        input.dispatchEvent(new Event('input', { bubbles: true }));
      },
      value,
    );
  // name, banks: what the tool would read instead
  const refusals = [
    [
      '€'.repeat(65),
      '13',
      /^The tool would read this line as 2 lines: an entry named "", then a line it passes over\./,
    ],
    ['é'.repeat(70), '05', /^The tool would read this line otherwise: CRC-16 1a2b, bank 05, name ""\./],
    ['Café', '05', /name "Caf"\./],
    ['a\u0000b', '05', /name "a"\./],
    ['Two', '05;06', /bank 05, name "06; Two"\./],
    ['Mine', '100000001', /bank 01, name "Mine"\./],
    [
      'Mine',
      '40',
      /^The tool refuses the line \(rc=-4\): the banks are not hexadecimal numbers 00 to 3f, separated by commas or blanks\.$/,
    ],
    ['   ', '05', /^A ROM name is needed\.$/],
  ];
  for (const [rom, bank, why] of refusals) {
    await fillIn(name, rom);
    await fillIn(banks, bank);
    await page.click('dialog ::-p-aria(Add)');
    await page.waitForFunction(() => document.getElementById('add-problem').textContent !== '', { polling: 50 });
    assert.match(await textOf('#add-problem'), why, `${rom} / ${bank}`);
  }
  await page.screenshot({ path: path.join(shots, 'catalogue-form.png') });
  await page.type(banks, ' ');
  assert.strictEqual(await textOf('#add-problem'), '', 'a refusal clears when the input changes');
  await fillIn(name, 'Mine');
  await fillIn(banks, '0b');
  await page.waitForFunction(() => document.getElementById('add-reading').textContent !== '', { polling: 50 });
  assert.strictEqual(
    await textOf('#add-reading'),
    'The tool reads: CRC-16 1a2b, bank 0b, name "Mine".bank 0b also holds ' +
      'SpeedDOS 40T HIROM (line 15): a run writes each ROM it is given there, the later over the earlier.',
  );
  assert.strictEqual(await textOf('#catalogue-body p'), before, 'nothing written meanwhile');
  await page.click('dialog ::-p-aria(Add)');
  await page.waitForFunction(() => !document.getElementById('add-entry').open, { polling: 50 });
  await idle(page);
  assert.strictEqual(await focused(), 'odd.bin', 'the focus goes back to the file whose block was added');
  assert.strictEqual(await rowOf('odd.bin'), 'odd.bin 8,192 bytes, ROM file Mine → bank 0b Download Remove');
  assert.match(
    await textOf('#verdict'),
    /odd\.bin, block 00: CRC-16 1a2b: now in the catalogue, line 33 \(bank 0b\): run again to write it/,
  );
  const catalogue = await page.$eval('#catalogue-body', (node) => node.innerText);
  assert.match(
    catalogue,
    /^30 entries on 33 lines\.\n+bank 0b is named by 2 entries: SpeedDOS 40T HIROM \(line 15\), Mine \(line 33\)/,
  );
  assert.match(catalogue, /\n33\t1a2b\t0b\tMine$/);
});

test('the map is a grid with one Tab stop; arrows, Home and End move within it', async () => {
  await page.focus('#image-choice');
  await page.keyboard.press('Tab');
  for (const [key, label] of [
    ['ArrowRight', 'bank 01'],
    ['ArrowDown', 'bank 09'],
    ['End', 'bank 0f'],
    ['Home', 'bank 08'],
    ['ArrowUp', 'bank 00'],
    ['ArrowLeft', 'bank 00'],
  ]) {
    await page.keyboard.press(key);
    assert.match(
      await page.evaluate(() => document.activeElement.getAttribute('aria-label')),
      new RegExp(`^${label}: blank$`),
      key,
    );
  }
  assert.strictEqual(await textOf('#bank-detail'), 'bank 00: blank');
  await page.keyboard.press('Tab');
  assert.strictEqual(
    await page.evaluate(() => document.activeElement.closest('[aria-label="Flash banks"]')),
    null,
    'one Tab stop',
  );
});

test('the inspector and the comparison report what the native inspector does; a disk of the files to program the differing banks again', async () => {
  const image = await download('#files', 'Download flash.bin', 'flash.bin');
  const catalogue = await download('#files', 'Download crc.ini', 'crc.ini');
  const loaders = Object.fromEntries(
    await Promise.all(
      ['&flashbank0b.prg', '&flashbank18.prg'].map(async (name) => [
        name,
        await download('#files', `Download ${name}`, name),
      ]),
    ),
  );
  const readback = imageWith({ 0x0b: image.slice(0x16000, 0x18000) }); // bank 18 never burned
  await add(page, { 'readback.bin': readback }, scratch);
  assert.deepStrictEqual(
    await page.$$eval('#expected-choice, #found-choice', (selects) => selects.map((s) => s.value)),
    ['flash.bin', 'readback.bin'],
  );
  const files = {
    'flash.bin': image,
    'readback.bin': readback,
    'DD2.bin': example('DD2.bin'),
    'crc.ini': catalogue,
    ...loaders,
  };
  for (const [choices, button, args, status] of [
    [{ '#inspect-choice': 'DD2.bin' }, 'Inspect', ['--', 'DD2.bin'], 0],
    [
      { '#expected-choice': 'flash.bin', '#found-choice': 'readback.bin' },
      'Compare',
      ['--compare', '--', 'flash.bin', 'readback.bin'],
      1,
    ],
  ]) {
    for (const [select, value] of Object.entries(choices)) await page.select(select, value);
    await page.click(`::-p-aria(${button})`);
    const report = `${decode(runNative('quillmore-flashinfo', args, files).stdout)}\n(exit status ${status})\n`;
    await page
      .waitForFunction((report) => document.getElementById('report').textContent === report, { polling: 50 }, report)
      .catch(() => {});
    assert.strictEqual(await textOf('#report'), report);
  }
  await page.waitForFunction(() => document.querySelectorAll('[role="gridcell"].differs').length === 1, {
    polling: 50,
  });
  assert.strictEqual(
    await page.$eval('.differs', (node) => node.getAttribute('aria-label')),
    'bank 18: blank; differs from the expected image in 8,192 bytes: expected SpeedDOS 40T HIROM (CRC-16 d3da), found blank',
  );
  assert.strictEqual(
    await textOf('#again p'),
    'To program it again, as expected: &flashbank18.prg, in the workspace. A disk to program bank 18 again',
  );
  await page.click('::-p-aria(A disk to program bank 18 again)');
  await page.waitForSelector('#again-disks li');
  assert.deepStrictEqual(
    await download('#again-disks', 'program-again.d64', 'program-again.d64'),
    runNative('quillmore-flashdisk', ['program-again.d64', '&flashbank18.prg'], files).files['program-again.d64'],
  );
});

test('Cancel ends a run under way and leaves the workspace as it was', async () => {
  const big = new Uint8Array(16 << 20).map((_, i) => (i * 7 + (i >> 13)) & 0xff); // 2,048 blocks
  await add(page, { 'big.bin': big }, scratch);
  const files = await page.$$eval('#files tbody tr', (rows) => rows.length);
  await startRun(page, ['big.bin'], ['opt-b']);
  await page.waitForSelector('::-p-aria(Cancel)', { visible: true });
  await page.click('::-p-aria(Cancel)');
  assert.strictEqual(await runEnded(page), 'The run did not finish: you cancelled it. Nothing it did was kept.');
  assert.strictEqual(await page.$$eval('#files tbody tr', (rows) => rows.length), files);
  assert.match(
    await rowOf('big.bin'),
    /big\.bin 16,777,216 bytes, ROM file 2,048 unknown blocks, CRC-16 [0-9a-f]{4} [0-9a-f]{4} [0-9a-f]{4} …/,
  );
});

test("a reload during a run says the run did not finish, and marks the verdict before it as the previous run's", async () => {
  await startRun(page, ['big.bin'], ['opt-b']);
  await page.waitForSelector('::-p-aria(Cancel)', { visible: true });
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  await idle(page);
  assert.match(
    await page.$eval('#verdict', (node) => node.innerText),
    new RegExp(
      '^The run quillmore-flashtool big\\.bin -b did not finish: ' +
        'nothing of it was kept\\. The page was closed or reloaded while it ran\\.\\n+The run before it: The run did not finish: you cancelled it\\.',
    ),
  );
});

test('a forced bank takes two hex digits; one past the flash is said first and left off the disk unless ticked', async () => {
  await page.type(
    '::-p-aria(Send every block to one bank, without the catalogue (-sb, two hex digits; empty: the catalogue decides))',
    '3',
  );
  assert.deepStrictEqual(
    await page.evaluate(() => [
      document.getElementById('run-tool').disabled,
      document.getElementById('sb-problem').textContent,
    ]),
    [true, '"3" is not two hexadecimal digits (00 to ff): Run waits for two.'],
  );
  await page.type('#opt-sb', '0');
  assert.match(await page.$eval('#command', (node) => node.textContent), / -sb30$/);
  await page.$eval('#opt-sb', (input) => {
    input.value = '';
  });
  await page.type('#opt-sb', '40');
  assert.strictEqual(
    await runTool(page, ['odd.bin'], ['opt-t']),
    'Bank 40 has no slot in flash.bin: the flash has banks 00–3f. 1 bank loader file written (exit status 1).',
  );
  assert.match(
    await textOf('#drive'),
    /Not in the flash, whose banks are 00–3f: 1 file for bank 40\..*Put &flashbank40\.prg \(bank 40\) on the disk all the same/,
  );
  assert.strictEqual(
    await page.$eval('#make-disks', (button) => button.disabled),
    true,
    'nothing for the disk unless ticked',
  );
  await page.click('::-p-aria(Put &flashbank40.prg (bank 40) on the disk all the same)');
  await page.click('::-p-aria(Make the disk images)');
  await page.waitForFunction(
    () =>
      document.querySelector('#disks pre') &&
      document.querySelector('#disks pre').textContent.includes('&flashbank40.prg'),
  );
  await page.$eval('#opt-sb', (input) => {
    input.value = '';
    input.dispatchEvent(new Event('input', { bubbles: true }));
  });
});

test('without fcFlash.prg the verdict says why nothing was written; a reload keeps verdict, console, marks and options', async () => {
  await page.click('::-p-aria(Remove fcFlash.prg)');
  await idle(page);
  assert.strictEqual(await runTool(page, ['DD2.bin'], ['opt-t']), 'No bank loader file was written (exit status 0).');
  assert.match(await textOf('#verdict'), /There is no fcFlash\.prg \(the flasher program\) in the workspace/);
  await openConsole();
  const seen = await page.evaluate(() =>
    ['verdict', 'console', 'files', 'command'].map((id) => document.getElementById(id).innerText),
  );
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  await idle(page);
  await openConsole();
  assert.deepStrictEqual(
    await page.evaluate(() =>
      ['verdict', 'console', 'files', 'command'].map((id) => document.getElementById(id).innerText),
    ),
    seen,
  );
});

test('Start over asks first, naming flash.bin and the files it deletes', async () => {
  const count = await page.$$eval('#files tbody tr', (rows) => rows.length);
  for (const answer of ['Keep them', `Delete ${count} files`]) {
    await page.click('::-p-aria(Start over…)');
    await page.waitForSelector('dialog[open]');
    assert.strictEqual(
      await textOf('dialog[open] p'),
      `Delete all ${count} files of the workspace among them flash.bin, the image of the whole flash? What is not downloaded is lost.`,
    );
    await page.click(`dialog[open] ::-p-aria(${answer})`);
    await idle(page);
  }
  assert.strictEqual(await page.$$eval('#files tbody tr', (rows) => rows.length), 0);
  assert.strictEqual(await focused(), 'Start over…');
});

test('Run within 12 Tab presses of 30 files; at 360 px nothing scrolls sideways after an all-banks run; axe-core; no network', async () => {
  await page.evaluate(fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8'));
  const violations = async (label) => {
    for (const scheme of ['light', 'dark']) {
      await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
      const results = await page.evaluate(() => axe.run());
      assert.deepStrictEqual(
        results.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(', ')}`),
        [],
        `${label}, ${scheme}`,
      );
    }
  };
  await violations('empty');
  const banks = Object.fromEntries(
    Array.from({ length: 26 }, (_, n) => [
      `memFlashBank_${n.toString(16).padStart(2, '0')}.bin`,
      n % 3 ? forgedBlock(0x1000 + n, n) : speedDos,
    ]),
  );
  await add(page, { ...exampleFiles, ...bystander, ...banks, 'flash.bin': imageWith({ 5: speedDos }) }, scratch);
  await idle(page);
  await page.click('#roms input[value="odd.bin"]');
  for (const skip of [false, true]) {
    // From the top of the page, as when it has just opened.
    await page.evaluate(() => {
      const top = Object.assign(document.createElement('span'), { tabIndex: -1 });
      document.body.prepend(top);
      top.focus();
      top.remove();
    });
    let presses = 0;
    while (presses < 40 && (await page.evaluate(() => document.activeElement.id)) !== 'run-tool') {
      await page.keyboard.press(skip && presses === 1 ? 'Enter' : 'Tab');
      presses++;
    }
    assert.ok(presses <= (skip ? 2 : 12), `${presses} presses to Run with 30 files${skip ? ', by the skip link' : ''}`);
  }
  await runTool(page, ['odd.bin', 'DD2.bin'], ['opt-t']);
  await violations('after a run');
  await page.click('input[name="mode"][value="all"]');
  await runTool(page, [], ['opt-t', 'opt-b']);
  await page.setViewport({ width: 360, height: 740 });
  for (const state of ['after an all-banks run', 'with the console open']) {
    assert.deepStrictEqual(
      await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.clientWidth]),
      [360, 360],
      state,
    );
    await page.evaluate(() => {
      document.getElementById('console-box').open = true;
    });
  }
  await page.evaluate(() => window.scrollTo(0, 0));
  await page.screenshot({ path: path.join(shots, 'phone.png') });
  assert.deepStrictEqual(requests, []);
});
