// The page's figures, in headless Chromium: the all-banks workload of the
// native benchmark (35 bank files, -a -t -b -v0) through quillmore.run
// against the native tool, both measured here; how soon the page opened
// from disk is ready for input; and what it weighs. Prints them; not a test.
//   node bench/web_bench.js [RUNS]
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const root = path.join(__dirname, '..');
const tool = path.join(root, 'build', 'native', 'src', 'quillmore-flashtool');
const pageFile = path.join(root, 'build', 'web', 'quillmore-flashtool.html');
const runs = Number(process.argv[2] || 30);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

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
  files['crc.ini'] = new TextEncoder().encode(crcs.map((crc, n) => `${crc}; ${n.toString(16).padStart(2, '0')}; bench ROM ${n}\n`).join(''));
  return files;
}

function inFolder(files, work) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-bench-'));
  try {
    for (const [name, bytes] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), bytes);
    return work(dir);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// Returns: the wall time of each run of the native tool, in ms, each in a fresh folder.
function nativeTimes(files) {
  return Array.from({ length: runs }, () => inFolder(files, (dir) => {
    const started = process.hrtime.bigint();
    const run = spawnSync(tool, ['-a', '-t', '-b', '-v0'], { cwd: dir });
    if (run.status !== 0) throw new Error(`native run ended with ${run.status}`);
    return Number(process.hrtime.bigint() - started) / 1e6;
  }));
}

async function main() {
  const files = workload();
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-bench-profile-')),
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage();
    // Returns: the ms from opening the page to its being ready for input, five times.
    const readyTimes = async () => {
      const times = [];
      for (let i = 0; i < 5; i++) {
        await page.goto(`file://${pageFile}`);
        await page.waitForSelector('body[data-ready="true"]');
        times.push(await page.evaluate(() => performance.getEntriesByName('quillmore-ready')[0].startTime));
      }
      return times;
    };
    const ready = await readyTimes();
    // Again with a workspace kept from before: the example, its flasher and a blank image.
    const image = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-bench-image-')), 'flash.bin');
    fs.writeFileSync(image, new Uint8Array(524288).fill(0xff));
    await (await page.$('#pick')).uploadFile(path.join(root, 'examples', 'DD2.bin'), path.join(root, 'examples', 'fcFlash.prg'), image);
    await page.waitForFunction(() => document.querySelectorAll('#files tbody tr').length === 3);
    fs.rmSync(path.dirname(image), { recursive: true, force: true });
    const readyKept = await readyTimes();
    const plain = Object.fromEntries(Object.entries(files).map(([name, bytes]) => [name, Array.from(bytes)]));
    // The engine alone, into the page: its runs as the page's own would be, without the page around them.
    await page.evaluate(fs.readFileSync(path.join(root, 'build', 'web', 'quillmore.js'), 'utf8'));
    const engine = await page.evaluate(async (given, count) => {
      const folder = Object.fromEntries(Object.entries(given).map(([name, bytes]) => [name, Uint8Array.from(bytes)]));
      await window.quillmore.run('quillmore-flashinfo', ['--version'], {});  // the module compiled, as once per page
      const times = [];
      for (let i = 0; i < count; i++) {
        const started = performance.now();
        const result = await window.quillmore.run('quillmore-flashtool', ['-a', '-t', '-b', '-v0'], folder);
        times.push(performance.now() - started);
        if (result.status !== 0 || !result.files['flash.bin']) throw new Error('engine run failed');
      }
      return times;
    }, plain, runs);
    const native = nativeTimes(files);
    const ratio = median(engine) / median(native);
    console.log(`all banks, -a -t -b -v0, 35 files, ${runs} runs each (medians):`);
    console.log(`  native tool:              ${median(native).toFixed(1)} ms per run (process start included)`);
    console.log(`  engine in Chromium:       ${median(engine).toFixed(1)} ms per run (a fresh instance each)`);
    console.log(`  engine / native:          ${ratio.toFixed(2)} (at most 2)`);
    console.log(`page ready after opening:   ${median(ready).toFixed(0)} ms with an empty workspace, ${median(readyKept).toFixed(0)} ms ` +
      `with three files kept (medians of 5; at most 300)`);
    console.log(`page weight:                ${(fs.statSync(pageFile).size / 1024).toFixed(0)} KB (at most 400)`);
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
