// Shared by the web tests: blocks with a chosen CRC-16, the native tools run
// on a folder, to compare the engine with, and the page in a browser.
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const root = path.join(__dirname, '..', '..');
const native = process.env.QUILLMORE_NATIVE_DIR || path.join(root, 'build', 'native', 'src');
const engineFile = process.env.QUILLMORE_ENGINE || path.join(root, 'build', 'web', 'quillmore.js');
const pageFile = path.join(path.dirname(engineFile), 'quillmore-flashtool.html');

// The CRC-16 of the catalogue: polynomial 0x8005 over the data alone, most significant bit first.
function crc16(bytes) {
  let register = 0;
  for (const byte of bytes) {
    for (let bit = 7; bit >= 0; bit--)
      register = (((register << 1) | ((byte >> bit) & 1)) & 0xffff) ^ (register & 0x8000 ? 0x8005 : 0);
  }
  return register;
}

// Returns: an 8192-byte block patterned from seed, never blank, whose CRC-16 is target.
function forgedBlock(target, seed) {
  const block = new Uint8Array(8192);
  for (let i = 0; i < block.length; i++) block[i] = (seed + i * 3 + (i >> 8)) & 0xff;
  block[8190] = block[8191] = 0; // the last two bytes are added to the remainder as they are
  const tail = crc16(block) ^ target;
  block[8190] = tail >> 8;
  block[8191] = tail & 0xff;
  return block;
}

const concat = (...parts) => Uint8Array.from(parts.flatMap((part) => Array.from(part)));
const text = (s) => new TextEncoder().encode(s);
const decode = (bytes) => new TextDecoder().decode(bytes);
const filled = (size, value) => new Uint8Array(size).fill(value);
const example = (name) => new Uint8Array(fs.readFileSync(path.join(root, 'examples', name)));
// Blocks of the default catalogue, and one it does not know.
const speedDos = forgedBlock(0xd3da, 1); // banks 0b and 18
const quickDos = forgedBlock(0x40e2, 2); // bank 24
const unknown = forgedBlock(0x1a2b, 4);

// Returns: a 512 KB image, all 0xFF but for these slots ({bank: block}).
function imageWith(slots) {
  const image = filled(524288, 0xff);
  for (const [bank, block] of Object.entries(slots)) image.set(block, Number(bank) * 8192);
  return image;
}

// The engine gives its files in an object without a prototype, so these are too.
const readFolder = (dir) =>
  Object.assign(
    Object.create(null),
    Object.fromEntries(
      fs
        .readdirSync(dir, { recursive: true })
        .sort()
        .filter((name) => fs.lstatSync(path.join(dir, name)).isFile())
        .map((name) => [name, new Uint8Array(fs.readFileSync(path.join(dir, name)))]),
    ),
  );

// Runs a built native tool in a fresh folder holding files.
// Returns: what quillmore.run returns for the same run.
function runNative(program, args, files) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-web-'));
  try {
    for (const [name, bytes] of Object.entries(files)) {
      fs.mkdirSync(path.dirname(path.join(dir, name)), { recursive: true });
      fs.writeFileSync(path.join(dir, name), bytes);
    }
    const run = spawnSync(path.join(native, program), args, { cwd: dir });
    return {
      status: run.status,
      stdout: new Uint8Array(run.stdout),
      stderr: new Uint8Array(run.stderr),
      files: readFolder(dir),
    };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// Starts headless Chromium on a profile folder, with no network to reach.
function launchBrowser(profile) {
  return require('puppeteer-core').launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
    ],
  });
}

// Opens the page from disk in a new tab, after prepare(page) and setup (run
// in the page before its scripts), and waits until it is ready for input.
async function openPage(browser, { setup = null, prepare = null } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 900 });
  if (prepare) await prepare(page);
  if (setup) await page.evaluateOnNewDocument(setup);
  await page.goto(`file://${pageFile}`);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}

// Adds files ({name: bytes}) through the file input, from a scratch folder.
async function addFiles(page, files, scratch) {
  fs.mkdirSync(path.join(scratch, 'in'), { recursive: true });
  const paths = Object.keys(files).map((name) => path.join(scratch, 'in', name));
  Object.values(files).forEach((bytes, i) => fs.writeFileSync(paths[i], bytes));
  await (await page.$('#pick')).uploadFile(...paths);
  await page.waitForFunction(
    (names) =>
      names.every((name) => [...document.querySelectorAll('#files code')].some((code) => code.textContent === name)),
    { polling: 100 },
    Object.keys(files),
  );
}

// Waits until the page has done what it was doing (a change another tab made, say).
const idle = (page) => page.waitForFunction(() => !document.body.hasAttribute('aria-busy'), { polling: 50 });

// Checks the ROM files named, sets the options (ids of checkboxes) and
// starts the tool, in a tab brought to the front as a person would.
async function startRun(page, roms, options = []) {
  await page.bringToFront();
  await idle(page);
  await page.evaluate((options) => {
    for (const box of document.querySelectorAll('#roms input:checked:not(:disabled)')) box.click();
    for (const id of ['opt-t', 'opt-b'])
      if (document.getElementById(id).checked !== options.includes(id)) document.getElementById(id).click();
    document.getElementById('verdict').textContent = ''; // so that the end of this run is seen
  }, options);
  // By keyboard, as the page may move under a pointer while another tab's change is shown.
  const press = (selector, key) =>
    idle(page)
      .then(() => page.focus(selector))
      .then(() => page.keyboard.press(key));
  for (const rom of roms) await press(`#roms input[value="${rom}"]`, 'Space'); // the order checked is the order run
  await press('#run-tool', 'Enter');
}

// Waits for the end of the run started. Returns: the headline of its verdict.
async function runEnded(page) {
  await page.waitForFunction(
    () => document.getElementById('verdict').textContent !== '' && !document.body.hasAttribute('aria-busy'),
    { timeout: 60000, polling: 100 },
  );
  return page.$eval('#verdict .headline', (node) => node.textContent);
}

// Runs the tool as startRun does. Returns: the headline of its verdict.
const runTool = (page, roms, options = []) => startRun(page, roms, options).then(() => runEnded(page));

// Returns: the exports of a module of the page (its path from the project's
// root), bundled for node as the page's build bundles it for the browser.
function loadModule(file) {
  const bundled = require('esbuild').buildSync({
    entryPoints: [path.join(root, file)],
    bundle: true,
    format: 'cjs',
    platform: 'node',
    write: false,
  });
  const loaded = { exports: {} };
  new Function('module', 'exports', 'require', bundled.outputFiles[0].text)(loaded, loaded.exports, require);
  return loaded.exports;
}

// Serves a folder over http on port (a free one for 0) of this machine, as
// any static host would (python3 -m http.server). Returns: { url, port,
// stop() }, stop's promise kept when the server is gone.
function serveFolder(dir, port = 0) {
  const server = require('child_process').spawn(
    'python3',
    ['-u', '-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', dir],
    { stdio: ['ignore', 'pipe', 'ignore'] },
  );
  const gone = new Promise((done) => server.on('exit', done));
  const stop = () => {
    server.kill();
    return gone;
  };
  return new Promise((resolve, reject) => {
    let said = '';
    server.on('error', reject);
    gone.then((status) => reject(new Error(`http.server ended with ${status}: ${said}`)));
    server.stdout.on('data', (chunk) => {
      said += chunk;
      const at = /port (\d+)/.exec(said);
      if (at) resolve({ url: `http://127.0.0.1:${at[1]}/`, port: Number(at[1]), stop });
    });
  });
}

// Returns: the accessible name of each of the map's 64 banks.
const bankLabels = (page) =>
  page.$$eval('[aria-label="Flash banks"] [role="gridcell"]', (cells) =>
    cells.map((cell) => cell.getAttribute('aria-label')),
  );

module.exports = {
  engineFile,
  pageFile,
  forgedBlock,
  concat,
  text,
  decode,
  filled,
  example,
  speedDos,
  quickDos,
  unknown,
  imageWith,
  runNative,
  launchBrowser,
  openPage,
  addFiles,
  idle,
  startRun,
  runEnded,
  runTool,
  bankLabels,
  loadModule,
  serveFolder,
};
