// The inspector's report of any file, and the comparison of two flash
// images: the banks that differ outlined on the map, and for each the bank
// loader file that programs it again, with a disk image of those the
// workspace holds.
import { page } from './state.js';
import { parsedJson } from './inspection.js';
import { say, text } from './language.js';
import { run } from './runner.js';
import { decode, downloadLink, element, fill, isolated, nameList, showConsole } from './views.js';
import { INFO } from './words.js';
import * as Workspace from './workspace.js';

const $ = (id) => document.getElementById(id);

// Shows a report of the inspector (tables), with its JSON to download.
// Returns: the JSON run.
async function showReport(args, jsonName) {
  const files = Workspace.files();
  const result = await run(INFO, args, files);
  showConsole($('report'), [
    ...result.pieces.map(([stream, bytes]) => [stream, decode(bytes)]),
    ['stdout', `\n${text('report.status', { status: result.status })}\n`],
  ]);
  const json = await run(INFO, ['--json', ...args], files);
  page.report = { name: jsonName, bytes: json.stdout };
  showReportDownload();
  return json;
}

// Offers the last report's JSON to download, in the language shown.
export function showReportDownload() {
  const shown = page.report;
  fill(
    $('report-downloads'),
    shown
      ? element('p', {}, downloadLink(shown.name, shown.bytes, say('report.json', { name: isolated(shown.name) })))
      : null,
  );
}

export async function inspectFile(name, asCatalogue) {
  page.comparison = null;
  showAgain(null);
  await showReport(asCatalogue ? ['--catalogue', name] : ['--', name], `${name}.json`);
}

// Compares the two chosen images. Returns: the banks that differ, as the inspector's JSON has them.
export async function compare(expected, found) {
  const json = await showReport(['--compare', '--', expected, found], 'compare.json');
  const report = parsedJson(json.stdout);
  const banks =
    report && report.compare && report.compare.banks ? report.compare.banks.filter((bank) => !bank.same) : [];
  page.comparison = { expected, found, banks };
  return banks;
}

// Returns: the bank loader files that program the differing banks again,
// those the workspace holds with the expected block, and those it does not.
export function filesAgain(comparison) {
  const withFile = comparison.banks.filter((bank) => bank.loader);
  const held = withFile.filter((bank) => bank.loader.matches && Workspace.get(bank.loader.file));
  return {
    held,
    missing: withFile.filter((bank) => !held.includes(bank)),
    blank: comparison.banks.filter((bank) => !bank.loader),
  };
}

// Returns: "bank 0b", "banks 0b, 0c and 0d".
function banksWord(banks) {
  const numbers = banks.map((bank) => bank.bank);
  const last = numbers.pop();
  const listed = numbers.length ? `${numbers.join(', ')}${text('list.and')}${last}` : last;
  return text('words.banks', { n: banks.length, banks: listed });
}

// Returns: what the workspace holds to program the banks again, and a button for a disk of it.
function heldAgain(held, onDisk) {
  const button = element(
    'button',
    { type: 'button', className: 'busy-off' },
    text('again.disk', { banks: banksWord(held) }),
  );
  button.addEventListener('click', () => onDisk(held.map((bank) => bank.loader.file)));
  const files = nameList(held.map((bank) => bank.loader.file));
  return element('p', {}, say('again.held', { n: held.length, files }), ' ', button);
}

// Returns: the bank loader files the workspace lacks (or holds with other data), and how to write them.
function missingAgain(missing) {
  const named = missing.map((bank, i) => [
    i ? '; ' : '',
    say(bank.loader.present ? 'again.otherData' : 'again.notThere', {
      file: element('code', { translate: false }, isolated(bank.loader.file)),
    }),
  ]);
  return element(
    'p',
    { className: 'problem' },
    say('again.missing', { n: missing.length, named, banks: banksWord(missing) }),
  );
}

// Says, below the comparison, which bank loader files program the differing
// banks again, and offers a disk of those the workspace holds.
export function showAgain(comparison, { onDisk } = {}) {
  const box = $('again');
  if (!comparison || comparison.banks.length === 0) {
    fill(box);
    return;
  }
  const { held, missing, blank } = filesAgain(comparison);
  fill(
    box,
    held.length > 0 ? heldAgain(held, onDisk) : null,
    missing.length > 0 ? missingAgain(missing) : null,
    blank.length > 0 ? element('p', {}, text('again.blank', { banks: banksWord(blank) })) : null,
  );
}
