// The page keeps every byte: two tabs on one workspace, a full disk, no
// storage at all, stored records that are not files, a catalogue too big
// for a run, dropped folders, names that look like options.
'use strict';
const assert = require('assert');
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { after, test } = require('node:test');
const {
  forgedBlock,
  concat,
  text,
  example,
  speedDos,
  quickDos,
  imageWith,
  launchBrowser,
  openPage,
  addFiles,
  startRun,
  runEnded,
  runTool,
  bankLabels,
} = require('./support');

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-workspace-'));
const flasher = example('fcFlash.prg');
const roms = { 'speed.bin': speedDos, 'jiffy.bin': forgedBlock(0x514f, 3), 'quick.bin': quickDos };
const browsers = [];
let profiles = 0;

after(async () => {
  await Promise.all(browsers.map((browser) => browser.close()));
  spawnSync('umount', [path.join(scratch, 'small')]);
  fs.rmSync(scratch, { recursive: true, force: true });
});

async function browserOn(profile = path.join(scratch, `profile-${profiles++}`)) {
  browsers.push(await launchBrowser(profile));
  return browsers.at(-1);
}

const names = (page) => page.$$eval('#files tbody code', (codes) => codes.map((code) => code.textContent));
const alertText = (page) =>
  page.$$eval('#alerts [role="alert"]', (nodes) => nodes.map((node) => node.textContent).join('\n'));
const banksHolding = (labels) =>
  labels.flatMap((label, bank) => (label.endsWith(': blank') ? [] : [bank.toString(16).padStart(2, '0')]));
const waitForBanks = (page, banks) =>
  page
    .waitForFunction(
      (wanted) =>
        [...document.querySelectorAll('[aria-label="Flash banks"] [role="gridcell"]')]
          .filter((cell) => !cell.getAttribute('aria-label').endsWith(': blank'))
          .map((cell) => cell.textContent)
          .join(' ') === wanted,
      { timeout: 15000, polling: 100 },
      banks.join(' '),
    )
    .catch(async (error) => {
      throw new Error(`${error.message}: the map shows ${banksHolding(await bankLabels(page)).join(' ')}`);
    });

// Web Locks where the browser has them, else the page's lock record.
for (const [locks, setup] of [
  ['Web Locks', null],
  ['the lock record', () => Object.defineProperty(Navigator.prototype, 'locks', { get: () => undefined })],
]) {
  test(`two tabs at once, serialised by ${locks}: no slot lost, and each tab shows the other's`, async () => {
    const browser = await browserOn();
    const a = await openPage(browser, { setup });
    await addFiles(a, { 'fcFlash.prg': flasher, ...roms }, scratch);
    assert.match(await runTool(a, ['speed.bin'], ['opt-t']), /exit status 0/);
    const b = await openPage(browser, { setup });
    await startRun(a, ['jiffy.bin'], ['opt-t']);
    await startRun(b, ['quick.bin'], ['opt-t']);
    for (const headline of await Promise.all([runEnded(a), runEnded(b)])) assert.match(headline, /exit status 0/);
    for (const page of [a, b]) {
      // each looked at in turn: a tab in the background may be throttled
      await page.bringToFront();
      await waitForBanks(page, ['0b', '10', '18', '24']);
    }

    // A tab that does not hear of changes asks before it removes what changed since it showed it.
    await runTool(a, ['speed.bin'], ['opt-b']);
    const deaf = await openPage(browser, {
      setup: () => {
        window.BroadcastChannel = undefined;
      },
    });
    await runTool(a, ['quick.bin'], ['opt-b']);
    await deaf.bringToFront();
    await deaf.click('button[aria-label="Remove block00.bin"]');
    await deaf.waitForSelector('dialog[open]');
    assert.match(
      await deaf.$eval('dialog[open]', (node) => node.textContent),
      /^block00\.bin was changed in another tab/,
    );
    await deaf.click('dialog[open] button[value="no"]');
    assert.ok((await names(await openPage(browser))).includes('block00.bin'));
  });
}

test('a full disk: the outputs stay on view marked "not kept", the page says so, and keeps them once there is room', async () => {
  const small = path.join(scratch, 'small');
  fs.mkdirSync(small);
  const mounted = spawnSync('mount', ['-t', 'tmpfs', '-o', 'size=40m', 'tmpfs', small]);
  assert.strictEqual(mounted.status, 0, `a full disk needs a small tmpfs (run as root): ${mounted.stderr}`);
  const browser = await browserOn(path.join(small, 'profile'));
  const page = await openPage(browser);
  // Bytes storage cannot squeeze, from a fixed seed: truly random ones now and
  // then hold a block the catalogue knows, and the run writes its bank too.
  let seed = 0x2545f491;
  const random = Uint8Array.from({ length: 16 * 8192 }, () => {
    seed ^= seed << 13;
    seed ^= seed >>> 17;
    seed ^= seed << 5;
    return seed & 0xff;
  });
  await addFiles(page, { 'fcFlash.prg': flasher, 'rom.bin': random }, scratch);
  const free = Number(spawnSync('df', ['-k', '--output=avail', small]).stdout.toString().trim().split('\n').pop());
  fs.writeFileSync(path.join(small, 'filler'), Buffer.alloc((free - 60) * 1024));

  assert.match(
    await runTool(page, ['rom.bin'], ['opt-t', 'opt-b']),
    /^The run ended with exit status 0, but 18 files it wrote were not kept/,
  );
  await page.waitForSelector('[role="alert"]');
  assert.match(
    await alertText(page),
    new RegExp(
      "^Not kept: crc\\.ini, flash\\.bin, block00\\.bin, .*: the browser's storage is full or " +
        'refused the write \\(its words: UnknownError: .*NO_SPACE.*\\)\\. The browser gives this page .*: .* used, .* left\\.',
    ),
  );
  const outputs = await page.$$eval('#verdict [aria-label="Written by this run"] li', (items) =>
    items.map((item) => item.textContent),
  );
  assert.strictEqual(outputs.length, 18); // 16 blocks, crc.ini and flash.bin
  assert.ok(
    outputs.every((item) => item.endsWith('(new, not kept)')),
    outputs.join('\n'),
  );
  assert.ok(await page.$('#verdict a[download="quillmore-outputs.zip"]'));

  fs.rmSync(path.join(small, 'filler'));
  await page.click('button[aria-label="Remove rom.bin"]');
  await page.waitForFunction(() => document.querySelectorAll('#alerts [role="alert"]').length === 0, {
    timeout: 60000,
  });
  const reopened = await openPage(browser);
  assert.deepStrictEqual((await names(reopened)).filter((name) => name.startsWith('block')).length, 16);
  assert.ok((await names(reopened)).includes('flash.bin') && !(await names(reopened)).includes('rom.bin'));
});

test('no storage at all, or one that never answers: a banner that stays says nothing is kept', async () => {
  const browser = await browserOn();
  for (const [setup, why] of [
    [() => Object.defineProperty(window, 'indexedDB', { value: undefined }), 'no IndexedDB'],
    [
      () => {
        indexedDB.open = () => {
          throw new DOMException('refused', 'SecurityError');
        };
      },
      'refused',
    ],
    [
      () => {
        indexedDB.open = () => ({});
      },
      'it did not answer within 10 s',
    ],
  ]) {
    const page = await openPage(browser, { setup });
    await addFiles(page, { 'fcFlash.prg': flasher, 'speed.bin': roms['speed.bin'] }, scratch);
    await runTool(page, ['speed.bin'], ['opt-t']);
    assert.strictEqual(
      await alertText(page),
      `This browser keeps nothing for this page (${why}): the workspace lasts only until ` +
        'the page is closed. Download what matters, flash.bin above all, before you close it.',
    );
    assert.match(await page.$eval('#storage-note', (node) => node.textContent), /keeps nothing/);
  }
});

test("a write the browser refuses is said in words, with its own; the verdict's first line says what was not kept", async () => {
  // As a full disk refuses: the transaction aborts with an UnknownError.
  const refusing = () => {
    const put = IDBObjectStore.prototype.put;
    IDBObjectStore.prototype.put = function (value, key) {
      const transaction = this.transaction;
      if (window.refuse && !Array.isArray(key) && !transaction.refused) {
        transaction.refused = true;
        Object.defineProperty(transaction, 'error', {
          value: new DOMException('Failed to write blobs (IOError)', 'UnknownError'),
        });
        queueMicrotask(() => transaction.abort());
      }
      return put.call(this, value, key);
    };
  };
  const page = await openPage(await browserOn(), { setup: refusing });
  await addFiles(page, { 'fcFlash.prg': flasher, 'speed.bin': roms['speed.bin'] }, scratch);
  await page.evaluate(() => {
    window.refuse = true;
  });
  assert.strictEqual(
    await runTool(page, ['speed.bin'], []),
    'The run ended with exit status 0, but 3 files it wrote were not ' +
      'kept: the browser refused to store them. Download what you need below.',
  );
  assert.match(
    await alertText(page),
    new RegExp(
      "^Not kept: crc\\.ini, &flashbank0b\\.prg and &flashbank18\\.prg: the browser's " +
        'storage is full or refused the write \\(its words: UnknownError: Failed to write blobs \\(IOError\\)\\)\\.',
    ),
  );
});

test('sizes: a file over the limit is refused as it is added, its pick added all the same; a catalogue of 100,000 entries is listed and used', async () => {
  const page = await openPage(await browserOn());
  const huge = path.join(scratch, 'huge.bin');
  fs.writeFileSync(huge, '');
  fs.truncateSync(huge, 257 * 1024 * 1024); // sparse: its size alone is read
  fs.mkdirSync(path.join(scratch, 'in'), { recursive: true });
  fs.writeFileSync(path.join(scratch, 'in', 'fcFlash.prg'), flasher);
  await (await page.$('#pick')).uploadFile(huge, path.join(scratch, 'in', 'fcFlash.prg'));
  await page.waitForSelector('[role="alert"]');
  assert.match(
    await alertText(page),
    /^Not added: huge\.bin \(269\.5 MB: more than the 256 MB a workspace file may hold\)\./,
  );
  const entries = Array.from(
    { length: 100000 },
    (_, i) => `${(i % 0xffff).toString(16).padStart(4, '0')}; ${(i % 64).toString(16)}; ROM ${i}\n`,
  );
  await addFiles(
    page,
    { 'crc.ini': text(`${entries.join('')}d3da; 05; Speed\n`), 'speed.bin': roms['speed.bin'] },
    scratch,
  );
  await page.waitForFunction(
    () => /^100,001 entries on 100,001 lines/.test(document.getElementById('catalogue-body').textContent),
    { timeout: 60000 },
  );
  assert.strictEqual(await page.$$eval('#catalogue-body tbody tr', (rows) => rows.length), 200);
  assert.strictEqual(
    await runTool(page, ['speed.bin'], []),
    '1 bank loader file written, and every output in full (exit status 0).',
  );
  assert.deepStrictEqual(await names(page), ['&flashbank05.prg', 'crc.ini', 'fcFlash.prg', 'speed.bin']);
});

test('stored records that are not files are named and left out; the page still opens', async () => {
  const browser = await browserOn();
  const page = await openPage(browser);
  await addFiles(page, { 'speed.bin': roms['speed.bin'] }, scratch);
  await page.evaluate(
    () =>
      new Promise((done) => {
        const request = indexedDB.open('quillmore-flashtool');
        request.onsuccess = () => {
          const transaction = request.result.transaction('files', 'readwrite');
          for (const [key, value] of [
            ['huge.bin', { length: 2 ** 40 }],
            ['text.ini', 'd3da; 05; moved'],
            ['a/b', new Uint8Array(3)],
            [7, new Uint8Array(3)],
          ])
            transaction.objectStore('files').put(value, key);
          transaction.oncomplete = done;
        };
      }),
  );
  const reopened = await openPage(browser);
  assert.deepStrictEqual(await names(reopened), ['speed.bin']);
  assert.strictEqual(
    await alertText(reopened),
    'Left out of the workspace, not being files: 7 (not a file name); ' +
      'a/b (a name with "/" or NUL in it); huge.bin (not the bytes of a file); text.ini (not the bytes of a file).Dismiss',
  );
});

test('a catalogue too big for a run is named as the cause; the files stay usable without it', async () => {
  const page = await openPage(await browserOn());
  await addFiles(
    page,
    { 'fcFlash.prg': flasher, 'speed.bin': roms['speed.bin'], 'crc.ini': text('0000; 01; x\n'.repeat(3000000)) },
    scratch,
  );
  await page.waitForSelector('[role="alert"]');
  assert.match(
    await alertText(page),
    /^The run quillmore-flashinfo --json -- .* did not finish: the engine ran out of memory: crc\.ini: 3,000,000 lines is more than a run can hold\./,
  );
  assert.strictEqual(
    await runTool(page, ['speed.bin'], ['opt-t']),
    'The run did not finish: the engine stopped it. Nothing it did was kept.',
  );
  assert.match(
    await alertText(page),
    /The run quillmore-flashtool speed\.bin -t on 3 files .* did not finish: .*3,000,000 lines .* Nothing it did was kept/,
  );
  assert.deepStrictEqual(await names(page), ['crc.ini', 'fcFlash.prg', 'speed.bin']);
});

test('a drop adds every file and names the folders it skipped', async () => {
  const page = await openPage(await browserOn());
  const dropped = path.join(scratch, 'dropped');
  fs.mkdirSync(path.join(dropped, 'roms'), { recursive: true });
  fs.writeFileSync(path.join(dropped, 'speed.bin'), roms['speed.bin']);
  fs.writeFileSync(path.join(dropped, 'roms', 'inside.bin'), roms['quick.bin']);
  const data = {
    items: [],
    files: [path.join(dropped, 'speed.bin'), path.join(dropped, 'roms')],
    dragOperationsMask: 1,
  };
  const session = await page.createCDPSession();
  for (const type of ['dragEnter', 'dragOver', 'drop'])
    await session.send('Input.dispatchDragEvent', { type, x: 100, y: 100, data });
  await page.waitForSelector('[role="alert"]');
  assert.match(await alertText(page), /^Not added: roms \(a folder\)\./);
  await page.waitForFunction(() => document.querySelectorAll('#files tbody tr').length === 1);
  assert.deepStrictEqual(await names(page), ['speed.bin']);
});

test('names: "-b.bin" stays a file, own-property kinds, "1 byte", and the map shows the new flash.bin', async () => {
  const page = await openPage(await browserOn());
  const files = {
    'fcFlash.prg': flasher,
    'a.bin': roms['jiffy.bin'],
    '-b.bin': roms['speed.bin'],
    'old.bin': imageWith({}),
    constructor: concat([0]),
    ['__proto__']: text('x'),
    toString: text('xyz'),
  };
  await addFiles(page, files, scratch);
  assert.deepStrictEqual(
    await page.$$eval('#files tbody tr', (rows) =>
      rows.map((row) => row.cells[0].textContent).filter((name) => /^[_ct]/.test(name)),
    ),
    ['__proto__1 byte, other', 'constructor1 byte, other', 'toString3 bytes, other'],
  );
  await page.select('#image-choice', 'old.bin');
  await runTool(page, ['a.bin', '-b.bin'], ['opt-t']);
  assert.strictEqual(await page.$eval('#command', (node) => node.textContent), 'quillmore-flashtool a.bin ./-b.bin -t');
  assert.strictEqual(await page.$eval('#image-choice', (node) => node.value), 'flash.bin');
  assert.deepStrictEqual(banksHolding(await bankLabels(page)), ['0b', '10', '18']);
});

test('the page build names in its policy the very text it inlines: a script holding "</script" runs', async () => {
  const { inlinePage } = require('../../web/build.js');
  const file = path.join(scratch, 'built.html');
  fs.writeFileSync(file, inlinePage(['document.body.dataset.ready = "</script><!-- ".length > 0;'], 'test'));
  const browser = await browserOn();
  const page = await browser.newPage();
  await page.goto(`file://${file}`);
  assert.strictEqual(await page.$eval('body', (node) => node.dataset.ready), 'true');
});
