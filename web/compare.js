// The inspector's report of any file, and the comparison of two flash
// images: the banks that differ outlined on the map, and for each the bank
// loader file that programs it again, with a disk image of those the
// workspace holds.
import { page } from './state.js';
import { parsedJson } from './inspection.js';
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
    ['stdout', `\n(exit status ${result.status})\n`],
  ]);
  const json = await run(INFO, ['--json', ...args], files);
  fill(
    $('report-downloads'),
    element('p', {}, downloadLink(jsonName, json.stdout, `Download the report as JSON (${jsonName})`)),
  );
  return json;
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

const banksOf = (banks) =>
  banks
    .map((bank) => bank.bank)
    .join(' and ')
    .replace(/ and (?=.* and )/g, ', ');

const banksWord = (banks) => `bank${banks.length === 1 ? '' : 's'} ${banksOf(banks)}`;

// Returns: what the workspace holds to program the banks again, and a button for a disk of it.
function heldAgain(held, onDisk) {
  const button = element(
    'button',
    { type: 'button', className: 'busy-off' },
    `A disk to program ${banksWord(held)} again`,
  );
  button.addEventListener('click', () => onDisk(held.map((bank) => bank.loader.file)));
  const files = nameList(held.map((bank) => bank.loader.file));
  return element(
    'p',
    {},
    'To program ',
    held.length === 1 ? 'it' : 'them',
    ' again, as expected: ',
    files,
    ', in the workspace. ',
    button,
  );
}

// Returns: the bank loader files the workspace lacks (or holds with other data), and how to write them.
function missingAgain(missing) {
  const named = missing.map((bank, i) => [
    i ? '; ' : '',
    element('code', {}, isolated(bank.loader.file)),
    bank.loader.present ? ' holds other data' : ' is not there',
  ]);
  const them = missing.length === 1 ? 'it' : 'them';
  return element(
    'p',
    { className: 'problem' },
    'Not in the workspace as expected: ',
    named,
    `: run the tool on the ROM file for ${banksWord(missing)} to write ${them}.`,
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
    blank.length > 0
      ? element('p', {}, `Expected blank: ${banksWord(blank)}. No bank loader file writes a blank bank.`)
      : null,
  );
}
