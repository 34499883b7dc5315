// The page's figures, in headless Chromium, opened from disk: how soon it is
// ready (empty, and with 2,000 small files kept; the site's page over http
// and, its host gone, from its service worker); how soon the list shows
// one file added to or removed from those 2,000; the longest task on the
// page's thread while a 16 MB ROM is run; the all-banks workload of the
// native benchmark (35 bank files, -a -t -b -v0) through the page's worker
// against the native tool; and what the page weighs. Prints them; not a test.
//   node bench/web_bench.js [RUNS]
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { launchBrowser, openPage, runTool, serveFolder } = require('../tests/web/support');

const root = path.join(__dirname, '..');
const tool = path.join(root, 'build', 'native', 'src', 'quillmore-flashtool');
const pageFile = path.join(root, 'build', 'web', 'quillmore-flashtool.html');
const siteDir = path.join(root, 'build', 'site');
const runs = Number(process.argv[2] || 10);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-bench-'));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(0)} ms`;

// 35 files of a load address and an 8 KB block, as the native benchmark makes them,
// and a catalogue naming one bank per file from the CRC-16 the tool reports.
function workload() {
  const files = { 'fcFlash.prg': Uint8Array.from({ length: 1024 }, (_, i) => (i * 131 + (i >> 7)) & 0xff) };
  for (let n = 0; n <= 0x22; n++) {
    const rom = Uint8Array.from({ length: 8194 }, (_, i) => (i * 131 + (i >> 7)) & 0xff);
    rom[2] = n;
    files[`memFlashBank_${n.toString(16).padStart(2, '0')}.bin`] = rom;
  }
  const told = inFolder(files, (dir) => spawnSync(tool, ['-a', '-v0'], { cwd: dir }).stderr.toString());
  const crcs = [...told.matchAll(/CRC-16:([0-9a-f]{4})/g)].map((match) => match[1]);
  files['crc.ini'] = new TextEncoder().encode(
    crcs.map((crc, n) => `${crc}; ${n.toString(16).padStart(2, '0')}; bench ROM ${n}\n`).join(''),
  );
  return files;
}

function inFolder(files, work) {
  const dir = fs.mkdtempSync(path.join(scratch, 'run-'));
  try {
    for (const [name, bytes] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), bytes);
    return work(dir);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// Returns: the wall time of each run of the native tool, in ms, each in a fresh folder.
function nativeTimes(files) {
  return Array.from({ length: runs }, () =>
    inFolder(files, (dir) => {
      const started = process.hrtime.bigint();
      const run = spawnSync(tool, ['-a', '-t', '-b', '-v0'], { cwd: dir });
      if (run.status !== 0) throw new Error(`native run ended with ${run.status}`);
      return Number(process.hrtime.bigint() - started) / 1e6;
    }),
  );
}

// Adds files ({name: bytes}) through the file input, written to a folder first.
async function upload(page, files, wait) {
  const dir = fs.mkdtempSync(path.join(scratch, 'in-'));
  const paths = Object.entries(files).map(([name, bytes]) => {
    fs.writeFileSync(path.join(dir, name), bytes);
    return path.join(dir, name);
  });
  const started = Date.now();
  await (await page.$('#pick')).uploadFile(...paths);
  await page.waitForFunction(wait, { polling: 'mutation', timeout: 120000 });
  return Date.now() - started;
}

// Returns: the ms from opening the page (at url) to its being ready for input, five times.
async function readyTimes(page, url = `file://${pageFile}`) {
  const times = [];
  for (let i = 0; i < 5; i++) {
    await page.goto(url);
    await page.waitForSelector('body[data-ready="true"]');
    times.push(await page.evaluate(() => performance.getEntriesByName('quillmore-ready')[0].startTime));
  }
  return times;
}

// Returns: the medians of the site's page ready over http, and from its
// service worker once its host is gone.
async function siteReady(browser) {
  const served = await serveFolder(siteDir);
  const page = await (await browser.createBrowserContext()).newPage();
  await page.goto(served.url);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  const online = median(await readyTimes(page, served.url));
  await served.stop();
  return { online, offline: median(await readyTimes(page, served.url)) };
}

async function main() {
  const browser = await launchBrowser(path.join(scratch, 'profile'));
  try {
    const page = await openPage(browser);
    const readyEmpty = median(await readyTimes(page));
    const site = await siteReady(browser);

    // 2,000 small files, each of its own bytes.
    const many = Object.fromEntries(
      Array.from({ length: 2000 }, (_, i) => [
        `f${String(i).padStart(4, '0')}.bin`,
        new TextEncoder().encode(`file ${i}\n`),
      ]),
    );
    await upload(page, many, () => document.querySelectorAll('#files tbody tr').length === 2000);
    const readyMany = median(await readyTimes(page));
    // Timed in the page: from the input's change (or the click) to the list with one row more (or less).
    const timed = (rowsWanted) =>
      page.evaluate(
        (wanted) =>
          new Promise((done) => {
            let started = null;
            const start = () => {
              if (started === null) started = performance.now();
            };
            document.addEventListener('change', start, { capture: true, once: true });
            document.addEventListener('click', start, { capture: true, once: true });
            const body = document.querySelector('#files tbody');
            new MutationObserver((_, observer) => {
              if (body.rows.length !== wanted) return;
              observer.disconnect();
              done(performance.now() - started);
            }).observe(body, { childList: true });
          }),
        rowsWanted,
      );
    const adds = [];
    const removes = [];
    for (let i = 0; i < 5; i++) {
      const added = timed(2001);
      await upload(
        page,
        { [`new${i}.bin`]: new TextEncoder().encode(`new ${i}`) },
        () => document.querySelectorAll('#files tbody tr').length === 2001 && !document.body.hasAttribute('aria-busy'),
      );
      adds.push(await added);
      const removed = timed(2000);
      await page.click(`[aria-label="Remove new${i}.bin"]`);
      removes.push(await removed);
      await page.waitForFunction(() => !document.body.hasAttribute('aria-busy'));
    }

    // A 16 MB ROM, in a fresh workspace: the longest task on the page's thread meanwhile.
    const quiet = await openPage(await browser.createBrowserContext());
    await quiet.evaluate(() => {
      window.longest = 0;
      new PerformanceObserver((list) => {
        for (const entry of list.getEntries()) window.longest = Math.max(window.longest, entry.duration);
      }).observe({ type: 'longtask', buffered: false });
    });
    const big = new Uint8Array(16 << 20).map((_, i) => (i * 7 + (i >> 13)) & 0xff);
    await upload(
      quiet,
      { 'big.bin': big, 'fcFlash.prg': fs.readFileSync(path.join(root, 'examples', 'fcFlash.prg')) },
      () => document.querySelectorAll('#files tbody tr').length === 2 && !document.body.hasAttribute('aria-busy'),
    );
    await quiet.evaluate(() => {
      window.longest = 0;
    });
    await runTool(quiet, ['big.bin'], ['opt-t']);
    const longest = await quiet.evaluate(() => window.longest);

    // The all-banks workload through the worker, against the native tool.
    const files = workload();
    const banks = await openPage(await browser.createBrowserContext());
    await upload(
      banks,
      files,
      () => document.querySelectorAll('#files tbody tr').length === 37 && !document.body.hasAttribute('aria-busy'),
    );
    await banks.click('input[name="mode"][value="all"]');
    await banks.select('#opt-v', '0');
    const engine = [];
    for (let i = 0; i < runs; i++) {
      await runTool(banks, [], ['opt-t', 'opt-b']);
      engine.push(await banks.evaluate(() => performance.getEntriesByName('quillmore-run').pop().duration));
    }
    const native = median(nativeTimes(files));
    console.log(
      `page ready after opening:   ${ms(readyEmpty)} empty, ${ms(readyMany)} with 2,000 files kept (medians of 5; at most 300)`,
    );
    console.log(
      `one file of 2,000:          ${ms(median(adds))} to add, ${ms(median(removes))} to remove, to the updated list (medians of 5; at most 100)`,
    );
    console.log(
      `16 MB ROM run:              longest task on the page's thread ${ms(longest)} (0: none over 50 ms; at most 100)`,
    );
    console.log(
      `all banks, -a -t -b -v0:    ${median(engine).toFixed(1)} ms through the worker, ${native.toFixed(1)} ms native ` +
        `(process start included), ${(median(engine) / native).toFixed(2)}× (medians of ${runs}; at most 2)`,
    );
    console.log(
      `the site's page ready:      ${ms(site.online)} over http, ${ms(site.offline)} offline (empty; medians of 5; at most 300)`,
    );
    const kb = (file) => `${(fs.statSync(file).size / 1024).toFixed(0)} KB`;
    console.log(
      `page weight:                ${kb(pageFile)}, the site's ${kb(path.join(siteDir, 'index.html'))} (at most 450)`,
    );
  } finally {
    await browser.close();
    fs.rmSync(scratch, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
