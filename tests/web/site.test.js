// The page at a web address: build/site served over http as any static
// host serves it, kept by its service worker so that it opens and runs
// offline once visited, a new version offered and taking over; and the page
// in German for a browser that asks for German, its own words all German.
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { after, before, test } = require('node:test');
const { example, launchBrowser, pageFile, runTool, serveFolder, addFiles: add } = require('./support');
const { TABLES } = require('./support').loadModule('web/language.js');

const siteDir = path.join(path.dirname(pageFile), '..', 'site');
const shots = path.dirname(pageFile);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmore-site-'));
const published = path.join(scratch, 'site'); // a copy, so that a test can publish a new version there
const files = { 'fcFlash.prg': example('fcFlash.prg'), 'DD2.bin': example('DD2.bin') };
let browser, served;

before(async () => {
  fs.cpSync(siteDir, published, { recursive: true });
  served = await serveFolder(published);
  browser = await launchBrowser(path.join(scratch, 'profile'));
});

after(async () => {
  if (browser) await browser.close();
  if (served) served.stop();
  fs.rmSync(scratch, { recursive: true, force: true });
});

// Opens the site in a tab of context, once its page is ready and its service worker controls it.
async function openSite(context = browser, setup = null) {
  const page = await context.newPage();
  await page.setViewport({ width: 1280, height: 800 });
  if (setup) await page.evaluateOnNewDocument(setup);
  await page.goto(served.url);
  await page.waitForSelector('body[data-ready="true"]');
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { polling: 100 });
  return page;
}

const ready = (page) => page.waitForSelector('body[data-ready="true"]');

test('the site holds only the page, its service worker, manifest and icon', () => {
  assert.deepStrictEqual(fs.readdirSync(siteDir).sort(), ['icon.svg', 'index.html', 'manifest.webmanifest', 'sw.js']);
  const page = fs.readFileSync(path.join(siteDir, 'index.html'), 'utf8');
  const policy = /http-equiv="Content-Security-Policy" content="([^"]*)"/.exec(page)[1];
  assert.match(policy, /default-src 'none'/);
  assert.doesNotMatch(policy, /connect-src|https?:/, 'no request beyond its own files');
  assert.ok(fs.statSync(path.join(siteDir, 'index.html')).size <= 450 * 1024, 'at most 450 KB');
});

// The tab's network on or off. (Puppeteer's setOfflineMode sends what this
// Chromium refuses; the protocol's own call does the same.)
const network = (session, offline) =>
  session.send('Network.emulateNetworkConditions', {
    offline,
    latency: 0,
    downloadThroughput: -1,
    uploadThroughput: -1,
  });

test('once visited, the page reloads offline from its service worker and runs to a verdict and a disk', async () => {
  const page = await openSite();
  const elsewhere = [];
  page.on('request', (request) => {
    if (!request.url().startsWith(served.url) && !/^(blob|data):/.test(request.url())) elsewhere.push(request.url());
  });
  // Offline, and the host gone too.
  const session = await page.createCDPSession();
  await session.send('Network.enable');
  await network(session, true);
  await served.stop();
  try {
    const reloaded = await page.reload();
    assert.ok(reloaded.fromServiceWorker(), 'the page came from its service worker');
    await ready(page);
    await add(page, files, scratch);
    assert.match(await runTool(page, ['DD2.bin'], ['opt-t']), /^2 bank loader files written, .*\(exit status 0\)\.$/);
    await page.click('::-p-aria(Make the disk images)');
    await page.waitForSelector('::-p-aria(Disk images) a');
    assert.strictEqual(await page.$eval('::-p-aria(Disk images) a', (link) => link.textContent), 'bank-loaders.d64');
  } finally {
    await network(session, false);
    served = await serveFolder(published, served.port);
  }
  assert.deepStrictEqual(elsewhere, []);
  await page.close();
});

// Words of the English table that the German one never uses: one of them
// in the page's own text is English left untranslated.
const words = (table) =>
  new Set(
    Object.values(table)
      .flatMap((value) => (typeof value === 'string' ? [value] : Object.values(value)))
      .flatMap((value) => value.replace(/`[^`]*`|\{\w+\}/g, ' ').match(/[A-Za-z]{2,}/g) || [])
      .map((word) => word.toLowerCase()),
  );
const german = words(TABLES.de);
const english = [...words(TABLES.en)].filter((word) => !german.has(word));

// Returns: the page's own texts (outside the tools' words: code, names,
// console, reports) and accessible names that hold an English word.
const englishLeft = (page) =>
  page.evaluate((vocabulary) => {
    const toolWords = 'code, pre, bdi, script, style, [translate="no"], [lang]:not(html)';
    const said = [];
    const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode())
      if (!node.parentElement.closest(toolWords)) said.push(node.textContent);
    for (const node of document.body.querySelectorAll('[aria-label], [title], [placeholder]'))
      if (!node.closest(toolWords))
        said.push(...['aria-label', 'title', 'placeholder'].map((name) => node.getAttribute(name) || ''));
    const found = new Set(vocabulary);
    return said.filter((text) => (text.match(/[A-Za-z]{2,}/g) || []).some((word) => found.has(word.toLowerCase())));
  }, english);

test('a browser that asks for German gets the page in German, numbers as German writes them; the choice is kept', async () => {
  const context = await browser.createBrowserContext();
  const asksGerman = () => {
    Object.defineProperty(navigator, 'languages', { get: () => ['de-DE', 'de', 'en'] });
    Object.defineProperty(navigator, 'language', { get: () => 'de-DE' });
  };
  const page = await openSite(context, asksGerman);
  const lang = () => page.$eval('html', (node) => node.lang);
  assert.strictEqual(await lang(), 'de');
  assert.deepStrictEqual(await englishLeft(page), [], 'the first screen');
  await add(page, files, scratch);
  assert.match(
    await runTool(page, ['DD2.bin'], ['opt-t']),
    /^2 Bank-Ladedateien geschrieben und jede Ausgabe vollständig \(Rückgabewert 0\)\.$/,
  );
  assert.deepStrictEqual(await englishLeft(page), [], 'after a run: the verdict, the drive, the map');
  assert.match(await page.$eval('#files', (node) => node.innerText), /16\.384 Bytes, ROM-Datei/);
  await page.evaluate(() => window.scrollTo(0, 0));
  await page.screenshot({ path: path.join(shots, 'page-de.png') });
  await (await page.$('#verdict')).screenshot({ path: path.join(shots, 'verdict-de.png') });

  await page.select('#language', 'en');
  await page.waitForSelector('::-p-aria(2. Run)');
  assert.strictEqual(await lang(), 'en');
  assert.match(await page.$eval('#verdict .headline', (node) => node.textContent), /^2 bank loader files written/);
  await page.reload();
  await ready(page);
  assert.strictEqual(await lang(), 'en', 'the choice outlasts a reload, whatever the browser asks');
  await page.select('#language', 'de');
  await page.reload();
  await ready(page);
  assert.strictEqual(await lang(), 'de');
  await context.close();
});

test('a new version published is offered ("A new version is ready: reload") and takes over when asked', async () => {
  const page = await openSite();
  const version = await page.$eval('.version', (node) => node.textContent);
  const index = path.join(published, 'index.html');
  const worker = path.join(published, 'sw.js');
  fs.writeFileSync(index, fs.readFileSync(index, 'utf8').replace(`>${version}<`, `>${version}-next<`));
  fs.writeFileSync(
    worker,
    fs.readFileSync(worker, 'utf8').replace(/const VERSION = '([^']*)'/, "const VERSION = '$1-next'"),
  );
  await page.reload();
  await ready(page);
  assert.strictEqual(await page.$eval('.version', (node) => node.textContent), version, 'the old one until asked');
  const offer = await page.waitForSelector('#alerts [data-key="update"]');
  assert.match(await offer.evaluate((node) => node.textContent), /^A new version is ready: reload/);
  await Promise.all([page.waitForNavigation(), page.click('#alerts [data-key="update"] ::-p-aria(Reload)')]);
  await ready(page);
  assert.strictEqual(await page.$eval('.version', (node) => node.textContent), `${version}-next`);
  await page.close();
});
