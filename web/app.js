// The page: the workspace, a run of the flash tool in the engine's worker,
// its verdict and the next step to the drive, the picture of the flash, the
// catalogue, and the inspector's reports. What a file is and what a bank
// holds is always the inspector's word.
import { zipSync } from 'fflate';

import { askForEntry, showCatalogue } from './catalogue.js';
import { CATALOGUE, inspect, lineCount, parsedJson, readCatalogue } from './inspection.js';
import { draw as drawMap } from './map.js';
import { runFacts, showDrive, showVerdict } from './result.js';
import { cancel as cancelRuns, run, warm } from './runner.js';
import * as Views from './views.js';
import * as Workspace from './workspace.js';

const { element, decode, isolated, nameList, plural } = Views;
const $ = (id) => document.getElementById(id);
const TOOL = 'quillmore-flashtool';
const INFO = 'quillmore-flashinfo';
const DISK = 'quillmore-flashdisk';
const FLASHER = 'fcFlash.prg';
const IMAGE = 'flash.bin';
const NAMED_KINDS = new Map([[CATALOGUE, 'catalogue'], [FLASHER, 'flasher program']]);  // the tools' fixed names
const KIND_WORDS = new Map([['flash image', 'flash image'], ['ROM file', 'ROM file'], ['bank loader', 'bank loader file'],
  ['catalogue', 'catalogue'], ['disk image', 'disk image']]);
const MARK_WORDS = { new: 'new', changed: 'changed', rewritten: 'rewritten, same bytes' };

let reports = new Map();  // name -> the inspector's JSON entry of the file shown by that name
let chosen = [];          // the ROM files to run, in the order checked
let record = null;        // the last run, kept across visits (see keptRun)
let kept = true;          // whether this browser keeps the workspace at all
let running = false;
let catalogue;            // the inspector's report of crc.ini; null when there is none

const alerts = () => $('alerts');
const kindOf = (name) => NAMED_KINDS.get(name) || KIND_WORDS.get((reports.get(name) || {}).kind) || 'other';
const namesOfKind = (kind) => Workspace.names().filter((name) => kindOf(name) === kind);

// A name handed to a tool is a file, never an option.
const fileArgument = (name) => (name.startsWith('-') ? `./${name}` : name);

// Says that a run was aborted: which run, on which files, and why.
function reportAbort(key, program, args, files, result, consequence) {
  const ranOut = decode(result.stderr).includes(`${program}: out of memory`);
  const lines = files.get(CATALOGUE) ? lineCount(files.get(CATALOGUE)) : 0;
  const command = [program, ...args].map(Views.shellWord).join(' ');
  const cause = !ranOut ? ['it was aborted: ', decode(result.stderr).trim().split('\n').pop()]
    : lines > 0 ? ['the engine ran out of memory: ', isolated(CATALOGUE), `: ${lines.toLocaleString('en')} lines is more than a run can hold`]
      : ['the engine ran out of memory'];
  Views.alert(alerts(), key, ['The run ', element('code', {}, command), ` on ${plural(files.size, 'file')} (`,
    ...nameList([...files.keys()]), ') did not finish: ', ...cause, '. ', consequence]);
}

// Tells every file's kind and what it holds, the inspector's word on each
// kept by content; the page's picture changes at once when all are told.
async function tellKinds() {
  const files = Workspace.files();
  const { entries, aborted } = await inspect([...files.keys()].filter((name) => !NAMED_KINDS.has(name)), files);
  if (aborted) {
    reportAbort('inspect', aborted.program, aborted.args, aborted.files, aborted.result,
      'The files are shown as if the catalogue were empty: no block is known by name until crc.ini is smaller.');
  }
  reports = entries;
  catalogue = files.has(CATALOGUE) ? await readCatalogue(files.get(CATALOGUE)) : null;
}

// Returns: what a file holds, in a few words, from the inspector's report of it.
function holds(name) {
  const entry = reports.get(name);
  if (name === CATALOGUE) return catalogue && catalogue.summary ? plural(catalogue.summary.entries, 'entry', 'entries') : '';
  if (name === FLASHER) return 'sent to the drive with every bank loader file';
  if (!entry) return '';
  if (entry.error) return entry.error;
  if (entry.kind === 'bank loader') {
    if (!entry.flasher || !entry.block) return `damaged: ${entry.damage ? entry.damage.kind : 'no flasher records'}`;
    return [`bank ${entry.flasher.bank}: `, entry.block.name === null ? `unknown ROM, CRC-16 ${entry.block.crc}` : isolated(entry.block.name)];
  }
  if (entry.kind === 'disk image') {
    const banks = entry.files.filter((file) => file.kind === 'bank loader' && file.flasher).map((file) => file.flasher.bank);
    return [`"`, isolated(entry.name), `", ${plural(entry.files.length, 'file')}`,
      banks.length ? ` (bank${banks.length === 1 ? '' : 's'} ${banks.join(' ')})` : '', `, ${plural(entry.blocksFree, 'block')} free`,
      entry.damage.length ? `; damaged: ${entry.damage.join('; ')}` : entry.ok ? '' : '; a file on it is not right: inspect it'];
  }
  const blocks = entry.blocks || entry.banks || [];
  const roms = new Map();
  for (const block of blocks.filter((b) => b.content === 'known')) {
    roms.set(block.name, [...(roms.get(block.name) || []), ...(entry.kind === 'ROM file' ? block.banks : [block.bank])]);
  }
  const parts = [];
  for (const [rom, banks] of roms) parts.push(parts.length ? '; ' : '', isolated(rom), ` → bank${banks.length === 1 ? '' : 's'} ${banks.join(' ')}`);
  for (const block of blocks.filter((b) => b.content === 'unknown')) {
    parts.push(parts.length ? '; ' : '', `unknown ${entry.kind === 'ROM file' ? 'block' : 'bank'} ${block.block || block.bank}, CRC-16 `,
      element('span', { className: 'unknown-crc' }, block.crc));
  }
  const blank = blocks.filter((b) => b.content === 'blank').length;
  if (blank > 0) parts.push(parts.length ? '; ' : '', plural(blank, entry.kind === 'ROM file' ? 'blank block' : 'blank bank'));
  if (entry.kind === 'ROM file' && blocks.length === 0) parts.push('no whole block: nothing to write');
  return parts;
}

function markText(name) {
  const mark = record && record.marks[name];
  const notKept = kept && !Workspace.isKept(name) ? 'not kept' : '';
  return [mark ? MARK_WORDS[mark] : '', notKept].filter(Boolean).join(', ');
}

// The rows of the files, made anew only for the files whose bytes, word or mark changed.
const rows = new Map();  // name -> { row, bytes, signature }
function showFiles() {
  const tbody = $('files').tBodies[0];
  const names = Workspace.names();
  for (const [name, shown] of rows) {
    if (!Workspace.get(name)) {
      shown.row.remove();
      rows.delete(name);
    }
  }
  let previous = null;
  for (const name of names) {
    const bytes = Workspace.get(name);
    const holdsParts = [].concat(holds(name));
    const signature = `${kindOf(name)}|${markText(name)}|${holdsParts.map((part) => (typeof part === 'string' ? part : part.textContent)).join('')}`;
    let shown = rows.get(name);
    if (!shown || shown.bytes !== bytes || shown.signature !== signature) {
      const remove = element('button', { type: 'button', 'aria-label': `Remove ${name}`, className: 'busy-off' }, 'Remove');
      remove.addEventListener('click', () => act(() => removeFile(name)));
      const mark = markText(name);
      const row = element('tr', { className: (record && record.marks[name]) || '' },
        element('td', {}, element('code', {}, isolated(name)), element('br'),
          element('span', { className: 'size' }, `${Views.sizeText(bytes.length)}, `),
          element('span', { className: 'kind' }, kindOf(name)), mark ? element('span', { className: 'kind' }, ` (${mark})`) : null),
        element('td', {}, element('span', { className: 'holds' }, ...holdsParts)),
        element('td', {}, Views.downloadLink(name, () => Workspace.get(name), 'Download', `Download ${name}`), ' ', remove));
      if (shown) shown.row.replaceWith(row);
      shown = { row, bytes, signature };
      rows.set(name, shown);
    }
    const place = previous ? previous.nextSibling : tbody.firstChild;
    if (place !== shown.row) tbody.insertBefore(shown.row, place);
    previous = shown.row;
  }
  $('workspace-note').textContent = names.length ? plural(names.length, 'file') : 'The workspace is empty: add the files to work with.';
}

const choices = new Map();  // name -> { item, box, order, kind }: the checklist's entries
// The ROM checklist: ROM files first, then any other file the tool could be
// given (its own message says why it takes none of them); its boxes stay the
// same elements while the same files are listed, so that a change shown from
// another tab never takes a click or the focus away.
function showRomChoices() {
  const others = Workspace.names().filter((name) => !NAMED_KINDS.has(name) && !['ROM file', 'catalogue'].includes(kindOf(name)));
  const roms = [...namesOfKind('ROM file'), ...others];
  chosen = chosen.filter((name) => roms.includes(name));
  const list = $('roms');
  const items = [];
  for (const name of roms) {
    const kind = kindOf(name);
    let choice = choices.get(name);
    if (!choice || choice.kind !== kind) {
      const box = element('input', { type: 'checkbox', value: name });
      box.addEventListener('change', () => {
        chosen = box.checked ? [...chosen, name] : chosen.filter((rom) => rom !== name);
        showRomChoices();
        showCommand();
        saveOptions();
      });
      const order = element('span', { className: 'order' });
      const item = element('li', {}, element('label', {}, box, ' ', element('code', {}, isolated(name)),
        kind === 'ROM file' ? '' : element('span', { className: 'kind' }, ` (${kind})`)), ' ', order);
      if (choice) choice.item.replaceWith(item);
      choice = { item, box, order, kind };
      choices.set(name, choice);
    }
    const place = chosen.indexOf(name);
    choice.box.checked = place >= 0;
    choice.order.textContent = place < 0 ? '' : `${place + 1}.`;
    items.push(choice.item);
  }
  for (const [name, choice] of choices) {
    if (!roms.includes(name)) {
      choice.item.remove();
      choices.delete(name);
    }
  }
  if (items.length === 0) items.push(element('li', {}, 'No ROM file in the workspace yet.'));
  if (items.length !== list.children.length || items.some((item, i) => list.children[i] !== item)) list.replaceChildren(...items);
}

function commandArguments() {
  const allBanks = document.querySelector('input[name="mode"]:checked').value === 'all';
  const args = allBanks ? ['-a'] : chosen.map(fileArgument);
  if ($('opt-t').checked) args.push('-t');
  if ($('opt-b').checked) args.push('-b');
  if ($('opt-v').value) args.push(`-v${$('opt-v').value}`);
  if ($('opt-sb').value) args.push(`-sb${$('opt-sb').value}`);
  return { allBanks, args };
}

function showCommand() {
  const { allBanks, args } = commandArguments();
  $('command').textContent = [TOOL, ...args].map(Views.shellWord).join(' ');
  $('roms').classList.toggle('off', allBanks);
  for (const box of $('roms').querySelectorAll('input')) box.disabled = allBanks;
  const ready = allBanks || chosen.length > 0;
  $('run-tool').disabled = running || !ready;
  if (!running) $('run-note').textContent = ready ? '' : 'Check a ROM file, or choose all banks.';
}

// Draws the chosen image, with the banks that differ from the expected one marked.
async function showFlash(differing = new Map(), preferred = null) {
  const images = namesOfKind('flash image');
  $('flash-view').hidden = images.length === 0;
  $('flash-note').hidden = images.length > 0;
  if (images.length === 0) return;
  Views.fillChoice($('image-choice'), images, images.includes(IMAGE) ? IMAGE : images[0]);
  if (preferred && images.includes(preferred)) $('image-choice').value = preferred;
  const entry = reports.get($('image-choice').value);
  if (entry && entry.banks) drawMap({ table: $('map'), legend: $('legend'), detail: $('bank-detail') }, entry.banks, differing);
}

function showChoices() {
  const images = namesOfKind('flash image');
  const inspectable = Workspace.names().filter((name) => name !== FLASHER);
  Views.fillChoice($('inspect-choice'), inspectable, inspectable[0]);
  Views.fillChoice($('expected-choice'), images, images[0]);
  Views.fillChoice($('found-choice'), images, images[1] || images[0]);
  showCompareChoice();
}

function showCompareChoice() {
  const two = $('expected-choice').value !== $('found-choice').value;
  $('inspect-run').disabled = running || $('inspect-choice').options.length === 0;
  $('compare-run').disabled = running || !two;
  $('compare-note').textContent = namesOfKind('flash image').length < 2 ? 'Compare takes two flash images.'
    : two ? '' : 'Choose two different images.';
}

const sizeWords = (bytes) => (bytes < 1e6 ? `${Math.ceil(bytes / 1e3).toLocaleString('en')} KB`
  : bytes < 1e9 ? `${(bytes / 1e6).toFixed(1)} MB` : `${(bytes / 1e9).toFixed(1)} GB`);

// Says where the workspace is kept, and how much room is left there.
async function showStorage() {
  if (!kept) {
    $('storage-note').textContent = 'This browser keeps nothing for this page: the workspace lasts until the page is closed.';
    return;
  }
  const space = await Workspace.space();
  const room = space && space.quota ? ` (${sizeWords(space.usage)} used, ${sizeWords(Math.max(0, space.quota - space.usage))} left)` : '';
  const lasting = space && space.persisted ? 'until you start over' : 'until you start over, unless the browser clears it when space runs short';
  $('storage-note').textContent = `The workspace is kept in this browser${room} ${lasting}.`;
}

// The zip of files named, made when the link is followed.
const zipOf = (names) => () => zipSync(Object.fromEntries(names.filter((name) => Workspace.get(name))
  .map((name) => [name, Workspace.get(name)])));

// The verdict of the last run, and the step after it, from the inspector's
// word on what the run wrote and read, as the files are now.
async function showResult() {
  if (!record) return;
  const facts = runFacts(record, reports, Workspace.names());
  const written = record.written.filter((name) => Workspace.get(name));
  const outputs = written.length === 0 ? null : element('div', {}, element('p', {}, `Written by this run (${plural(written.length, 'file')}):`),
    element('ul', { 'aria-label': 'Written by this run' }, ...written.map((name) => element('li', {}, Views.downloadLink(name, () => Workspace.get(name), isolated(name)),
      ` (${markText(name)})`))),
    element('p', {}, Views.downloadLink('quillmore-outputs.zip', zipOf(written), 'Download all of them as one .zip')));
  showVerdict($('verdict'), record, facts, { onAddToCatalogue: (block) => act(() => addToCatalogue(block)), outputs });
  const loaders = facts.loaders.map((loader) => loader.file);
  showDrive($('drive'), $('drive-body'), facts, {
    zipLink: Views.downloadLink('quillmore-bank-loaders.zip', zipOf(loaders), `Download the ${plural(loaders.length, 'bank loader file')} as one .zip`),
    imageLink: Workspace.get(IMAGE) ? Views.downloadLink(IMAGE, () => Workspace.get(IMAGE)) : null,
  });
  $('disks').replaceChildren();  // made from the files as they were
  shownConsole = null;
  showConsoleIfOpen();
}

// Puts the run's bank loader files, in bank order, onto disk images made by
// quillmore-flashdisk, offered to download with what it said; the images
// are not kept in the workspace.
async function makeDisks() {
  const loaders = runFacts(record, reports, Workspace.names()).loaders.map((loader) => loader.file);
  const format = document.querySelector('input[name="disk"]:checked').value;
  const args = [`bank-loaders.${format}`, ...loaders.map(fileArgument)];
  const result = await run(DISK, args, new Map(loaders.map((name) => [name, Workspace.get(name)])));
  const said = element('pre', { tabIndex: 0, role: 'region', 'aria-label': `What ${DISK} said` });
  Views.showConsole(said, result.pieces.map(([stream, bytes]) => [stream, decode(bytes)]));
  const images = result.written.filter((name) => result.files.has(name));
  $('disks').replaceChildren(
    ...(result.status === 0 ? [] : [element('p', { role: 'alert' }, `${DISK} ended with status ${result.status}: see what it said.`)]),
    element('ul', { 'aria-label': 'Disk images' }, ...images.map((name) => element('li', {},
      Views.downloadLink(name, result.files.get(name)), ` (${Views.sizeText(result.files.get(name).length)})`))),
    said);
}

// The console is made only where it is open: a run of thousands of blocks
// prints thousands of lines, which the page need not lay out unasked.
let shownConsole = null;
function showConsoleIfOpen() {
  if (!record || !$('console-box').open || shownConsole === record.pieces) return;
  shownConsole = record.pieces;
  Views.showConsole($('console'), record.pieces);
}

async function refresh(preferredImage = null) {
  Views.unalert(alerts(), 'inspect');
  await tellKinds();
  showFiles();
  showRomChoices();
  showCommand();
  showChoices();
  await showFlash(new Map(), preferredImage);
  showCatalogue($('catalogue-body'), catalogue, { onWriteDefault: () => act(writeDefaultCatalogue) });
  await showResult();
  showStorage();  // the browser may take its time to say; nothing waits for it
}

// Says what a change of the workspace could not keep, or takes back the
// last such message when everything is kept now.
function reportChange(outcome) {
  if (outcome.left && outcome.left.length > 0) {
    Views.alert(alerts(), 'left', ['Left out of the workspace, not being files: ',
      ...outcome.left.flatMap(({ name, why }, i) => [i ? '; ' : '', element('code', {}, isolated(name)), ` (${why})`]), '.']);
  }
  if (outcome.failure) {
    Views.alert(alerts(), 'storage', ['Not kept: ', ...nameList(outcome.failure.names), `: ${outcome.failure.why}. `,
      'They stay here, marked "not kept", until the page is closed: download what matters. ',
      'Each later change tries to keep them again.'], [['Try again', () => act(() => change(() => ({})))]]);
  } else if (Workspace.notKept().length === 0) {
    Views.unalert(alerts(), 'storage');
  }
}

// Changes the workspace (see Workspace.update), says what was not kept,
// and shows the outcome. Returns: the outcome.
async function change(work, options) {
  const outcome = await Workspace.update(work, options);
  reportChange(outcome);
  await refresh();
  return outcome;
}

// The last run as the page keeps it across visits; a stored one is taken
// only when it has this very shape.
function keptRun(value) {
  const strings = (list) => Array.isArray(list) && list.every((item) => typeof item === 'string');
  if (!value || typeof value !== 'object' || typeof value.command !== 'string' || !Number.isInteger(value.status)) return null;
  if (!strings(value.written) || !strings(value.read) || !value.marks || typeof value.marks !== 'object') return null;
  if (!Array.isArray(value.pieces) || !value.pieces.every((piece) => Array.isArray(piece) && piece.length === 2
    && ['stdout', 'stderr'].includes(piece[0]) && typeof piece[1] === 'string')) return null;
  const marks = Object.create(null);
  for (const [name, mark] of Object.entries(value.marks)) if (MARK_WORDS[mark]) marks[name] = mark;
  return { command: value.command, status: value.status, pieces: value.pieces, written: value.written, read: value.read, marks,
    stopped: typeof value.stopped === 'string' ? value.stopped : '' };
}

function setRunning(on, what = '') {
  running = on;
  document.body.classList.toggle('running', on);
  for (const node of document.querySelectorAll('.busy-off, #pick, #start-over, #download-all')) node.disabled = on;
  $('cancel').hidden = !on;
  $('run-note').textContent = on ? what : '';
  showCommand();
  showCompareChoice();
}

// Runs the tool on the workspace as stored now, in the engine's worker, and
// keeps what it wrote; Cancel ends it and keeps nothing.
async function runTool() {
  const { args } = commandArguments();
  const command = [TOOL, ...args].map(Views.shellWord).join(' ');
  setRunning(true, `Running ${command}…`);
  $('cancel').focus();
  let result = null;
  let inputs = null;
  let stopped = '';
  const outcome = await Workspace.update(async (files) => {
    inputs = files;
    try {
      performance.mark('quillmore-run-start');
      result = await run(TOOL, args, files);
      performance.measure('quillmore-run', 'quillmore-run-start');  // the worker's part of a run, for the benchmark
    } catch (error) {
      if (!error.cancelled) throw error;
      stopped = 'you cancelled it';
      return {};
    }
    if (result.status < 0) return {};
    return { puts: result.written.filter((name) => !result.unchanged.includes(name)).map((name) => [name, result.files.get(name)]) };
  }).finally(() => setRunning(false));
  reportChange(outcome);
  if (result && result.status < 0) {
    reportAbort('run', TOOL, args, inputs, result, 'Nothing it did was kept: the workspace is as it was.');
    stopped = 'the engine stopped it';
  } else {
    Views.unalert(alerts(), 'run');
  }
  const marks = Object.create(null);
  if (result && result.status >= 0) {
    for (const name of result.written) marks[name] = !inputs.has(name) ? 'new' : result.unchanged.includes(name) ? 'rewritten' : 'changed';
  }
  record = {
    command, status: result && !stopped ? result.status : -1, stopped, marks,
    pieces: result ? result.pieces.map(([stream, bytes]) => [stream, decode(bytes)]) : [],
    written: result && !stopped ? result.written : [],
    read: result && !stopped ? result.read.filter((name) => !NAMED_KINDS.has(name)) : [],
  };
  Workspace.saveState('run', record);  // the page's own record: a full storage says so for the files
  await refresh(record.written.includes(IMAGE) ? IMAGE : null);
  $('run-tool').focus();
}

// Shows a report of the inspector (table), with its JSON to download.
async function showReport(args, jsonName) {
  const files = Workspace.files();
  const result = await run(INFO, args, files);
  Views.showConsole($('report'), [...result.pieces.map(([stream, bytes]) => [stream, decode(bytes)]),
    ['stdout', `\n(exit status ${result.status})\n`]]);
  const json = await run(INFO, ['--json', ...args], files);
  $('report-downloads').replaceChildren(element('p', {}, Views.downloadLink(jsonName, json.stdout, `Download the report as JSON (${jsonName})`)));
  return json;
}

async function inspectFile() {
  const name = $('inspect-choice').value;
  await showReport(kindOf(name) === 'catalogue' ? ['--catalogue', name] : ['--', name], `${name}.json`);
}

async function compare() {
  const expected = $('expected-choice').value;
  const found = $('found-choice').value;
  const json = await showReport(['--compare', '--', expected, found], 'compare.json');
  const report = parsedJson(json.stdout);
  const banks = (report && report.compare.banks) || [];
  await showFlash(new Map(banks.filter((bank) => !bank.same).map((bank) => [bank.bank, bank.differingBytes])), found);
}

// Asks before a change replaces or removes what another tab changed
// since this tab showed it. Returns: the change, or a conflict to ask about.
function unlessChangedElsewhere(name, seen, apply) {
  return (files) => (Workspace.sameBytes(files.get(name), seen) ? apply(files) : { conflict: { name, now: files.get(name) } });
}

async function removeFile(name) {
  let seen = Workspace.get(name);
  const next = rows.get(name) && rows.get(name).row.nextElementSibling;
  for (;;) {
    const outcome = await change(unlessChangedElsewhere(name, seen, () => ({ removals: [name] })), { only: [name] });
    if (!outcome.conflict || !outcome.conflict.now) break;
    const what = 'was changed in another tab since this tab showed it';
    if (!(await Views.ask([element('code', {}, isolated(name)), ` ${what}. Remove it all the same?`], 'Remove it', 'Leave it'))) return;
    seen = outcome.conflict.now;
  }
  chosen = chosen.filter((rom) => rom !== name);
  const after = next && next.isConnected ? next.querySelector('button') : $('pick');
  after.focus();
}

// Adds files, asking before one replaces a file of the same name.
async function addEntries(entries) {
  const taken = entries.filter(([name]) => Workspace.get(name)).map(([name]) => name);
  if (taken.length > 0 && !(await Views.ask([...nameList(taken), taken.length === 1 ? ' is' : ' are',
    ' in the workspace already. Replace ', taken.length === 1 ? 'it' : 'them', ' with the file', taken.length === 1 ? '' : 's',
    ' you are adding?'], 'Replace', 'Keep the workspace\'s'))) {
    entries = entries.filter(([name]) => !taken.includes(name));
  }
  let seen = new Map(entries.map(([name]) => [name, Workspace.get(name)]));
  const only = entries.map(([name]) => name);
  while (entries.length > 0) {
    const outcome = await change((files) => {
      const changed = entries.filter(([name]) => !Workspace.sameBytes(files.get(name), seen.get(name)));
      return changed.length ? { conflict: { names: changed.map(([name]) => name), files } } : { puts: entries };
    }, { only });
    if (!outcome.conflict) return;
    const { names, files } = outcome.conflict;
    const replace = await Views.ask([...nameList(names), names.length === 1 ? ' was' : ' were',
      ' changed or added in another tab since this tab showed the workspace. Replace with the file you are adding?'],
    'Replace', 'Leave it');
    if (!replace) entries = entries.filter(([name]) => !names.includes(name));
    seen = new Map(entries.map(([name]) => [name, files.get(name)]));
  }
}

// Adds files the user gave (File objects); folders and unreadable files are named and skipped.
async function addFiles(list, folders = []) {
  const given = [...list];
  const read = await Promise.allSettled(given.map((file) => file.arrayBuffer()));
  const skipped = folders.map((name) => [name, 'a folder']);
  const entries = [];
  read.forEach((outcome, i) => {
    const name = given[i].name;
    const problem = Workspace.nameProblem(name);
    if (outcome.status === 'rejected') skipped.push([name, 'cannot be read; a folder?']);
    else if (problem) skipped.push([name, problem]);
    else entries.push([name, new Uint8Array(outcome.value)]);
  });
  if (skipped.length > 0) {
    Views.alert(alerts(), 'skipped', ['Not added: ',
      ...skipped.flatMap(([name, why], i) => [i ? '; ' : '', element('code', {}, isolated(name)), ` (${why})`]),
      '. Only files join the workspace: add the files inside a folder by choosing them.']);
  } else {
    Views.unalert(alerts(), 'skipped');
  }
  if (entries.length > 0) await addEntries(entries);
}

// Files dropped on the page: each file is added, each folder named as skipped.
function dropped(dataTransfer) {
  const files = [];
  const folders = [];
  const items = [...(dataTransfer.items || [])];
  if (items.length > 0 && typeof items[0].webkitGetAsEntry === 'function') {
    for (const item of items) {
      if (item.kind !== 'file') continue;
      const entry = item.webkitGetAsEntry();
      if (entry && entry.isDirectory) folders.push(entry.name);
      else if (item.getAsFile()) files.push(item.getAsFile());
    }
  } else {
    files.push(...dataTransfer.files);
  }
  return { files, folders };
}

// The catalogue the tool itself writes when there is none: a run of the
// tool on a folder with only a stand-in flasher gives its bytes.
async function defaultCatalogue() {
  const result = await run(TOOL, ['-v0'], new Map([[FLASHER, Uint8Array.of(0, 0)]]));
  return result.files.get(CATALOGUE);
}

async function writeDefaultCatalogue() {
  const bytes = await defaultCatalogue();
  await change(unlessChangedElsewhere(CATALOGUE, undefined, () => ({ puts: [[CATALOGUE, bytes]] })), { only: [CATALOGUE] });
}

// Adds a line for an unknown block to crc.ini (first the tool's own
// default, where there is none), once the tool's parser has read it.
async function addToCatalogue(block) {
  await askForEntry(block, async (line) => {
    const seen = Workspace.get(CATALOGUE);
    const base = seen || await defaultCatalogue();
    const text = new TextEncoder().encode(`${base.length > 0 && base[base.length - 1] !== 0x0a ? '\n' : ''}${line}\n`);
    const bytes = new Uint8Array(base.length + text.length);
    bytes.set(base);
    bytes.set(text, base.length);
    const report = await readCatalogue(bytes);
    if (report.aborted || !report.summary) return 'crc.ini could not be read: it is more than a run can hold.';
    const refused = report.refused.find((entry) => entry.line === report.summary.lines);
    if (refused) return `The tool refuses the line (rc=${refused.status}): ${refused.why}.`;
    const outcome = await change(unlessChangedElsewhere(CATALOGUE, seen, () => ({ puts: [[CATALOGUE, bytes]] })), { only: [CATALOGUE] });
    return outcome.conflict ? 'crc.ini was changed in another tab meanwhile: look at it, then add the line again.' : '';
  });
}

// Runs one action at a time, the page marked busy meanwhile; what fails
// is said on the page, never only in the browser's console.
let acting = Promise.resolve();
let waiting = 0;
function act(action) {
  waiting++;
  document.body.setAttribute('aria-busy', 'true');
  acting = acting.then(action).catch((error) => {
    if (error && error.cancelled) return;
    Views.alert(alerts(), 'failure', ['Something failed: ', String((error && error.message) || error),
      '. The workspace is as the list shows; try again, or reload the page.']);
  }).finally(() => {
    if (--waiting === 0) document.body.removeAttribute('aria-busy');
  });
  return acting;
}

async function saveOptions() {
  await Workspace.saveState('options', {
    mode: document.querySelector('input[name="mode"]:checked').value, chosen,
    t: $('opt-t').checked, b: $('opt-b').checked, v: $('opt-v').value, sb: $('opt-sb').value,
  });
}

async function restoreOptions() {
  const options = await Workspace.loadState('options');
  if (!options || typeof options !== 'object') return;
  if (options.mode === 'all') document.querySelector('input[name="mode"][value="all"]').checked = true;
  if (Array.isArray(options.chosen)) chosen = options.chosen.filter((name) => typeof name === 'string');
  $('opt-t').checked = options.t === true;
  $('opt-b').checked = options.b === true;
  if ([...$('opt-v').options].some((option) => option.value === options.v)) $('opt-v').value = options.v;
  if (typeof options.sb === 'string' && /^[0-9a-fA-F]{0,2}$/.test(options.sb)) $('opt-sb').value = options.sb;
}

function listen() {
  // Files dropped anywhere on the page join the workspace; the browser never opens them instead.
  const drop = $('drop');
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    drop.classList.add('over');
  });
  document.addEventListener('dragleave', () => drop.classList.remove('over'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    drop.classList.remove('over');
    if (running) return;
    const { files, folders } = dropped(event.dataTransfer);
    act(() => addFiles(files, folders));
  });
  $('pick').addEventListener('change', () => act(async () => {
    await addFiles($('pick').files);
    $('pick').value = '';
  }));
  $('start-over').addEventListener('click', () => act(async () => {
    const count = Workspace.count();
    if (count === 0) return;
    const image = Workspace.get(IMAGE) ? [' among them ', element('code', {}, IMAGE), ', the image of the whole flash'] : [];
    if (!(await Views.ask([`Delete all ${plural(count, 'file')} of the workspace`, ...image, '? What is not downloaded is lost.'],
      `Delete ${plural(count, 'file')}`, 'Keep them'))) return;
    chosen = [];
    record = null;
    await Workspace.saveState('run', null);
    ['console', 'report', 'report-downloads'].forEach((id) => $(id).replaceChildren());
    shownConsole = null;
    $('verdict').className = '';
    $('verdict').replaceChildren(element('p', {}, 'No run yet.'));
    $('drive').hidden = true;
    await change(() => ({ clear: true }));
    $('start-over').focus();
  }));
  $('download-all').addEventListener('click', () => {
    const link = Views.downloadLink('quillmore-workspace.zip', zipOf(Workspace.names()));
    link.click();
  });
  for (const id of ['opt-t', 'opt-b', 'opt-v', 'opt-sb']) {
    $(id).addEventListener('input', () => {
      showCommand();
      saveOptions();
    });
  }
  document.querySelectorAll('input[name="mode"]').forEach((radio) => radio.addEventListener('change', () => {
    showCommand();
    saveOptions();
  }));
  $('run-tool').addEventListener('click', () => act(runTool));
  $('make-disks').addEventListener('click', () => act(makeDisks));
  $('cancel').addEventListener('click', () => cancelRuns());
  // The console opens where the verdict points into it, and shows its end when opened.
  $('verdict').addEventListener('click', (event) => {
    if (event.target.closest('a[href="#console-error-1"]')) $('console-box').open = true;
  });
  $('console-box').addEventListener('toggle', showConsoleIfOpen);
  $('image-choice').addEventListener('change', () => act(() => showFlash()));
  $('inspect-run').addEventListener('click', () => act(inspectFile));
  $('compare-run').addEventListener('click', () => act(compare));
  $('expected-choice').addEventListener('change', showCompareChoice);
  $('found-choice').addEventListener('change', showCompareChoice);
  // Another tab changed the workspace: show it as it is now, once for a burst of changes.
  let told = null;  // the names another tab changed, not shown yet; 'all' when it did not say
  Workspace.onChange((names) => {
    const shown = told === null;
    if (!names || told === 'all') told = 'all';
    else told = new Set([...(told || []), ...names]);
    if (!shown) return;
    act(async () => {
      const changed = told === 'all' ? null : [...told];
      told = null;
      reportChange({ left: await Workspace.reload(changed) });
      await refresh();
    });
  });
}

async function start() {
  warm();
  listen();
  const opened = await Workspace.open();
  kept = opened.kept;
  if (!kept) {
    Views.alert(alerts(), 'nothing-kept', ['This browser keeps nothing for this page',
      opened.why ? ` (${opened.why})` : '', ': the workspace lasts only until the page is closed. ',
      'Download what matters, flash.bin above all, before you close it.'], [], false);
  } else {
    reportChange(opened);
    // Firefox asks the user first: the page goes on meanwhile.
    Workspace.persist().then((granted) => granted && act(showStorage));
  }
  await restoreOptions();
  record = keptRun(await Workspace.loadState('run'));
  // The files are shown at once; what each holds follows as the inspector tells it.
  showFiles();
  showRomChoices();
  showCommand();
  document.body.dataset.ready = 'true';
  performance.mark('quillmore-ready');
  await act(() => refresh());
}

start();
