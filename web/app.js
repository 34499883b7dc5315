// The page: the workspace, a run of the flash tool, the picture of the
// flash, and the inspector's reports, each through the engine. What a file
// is and what a bank holds is always the inspector's word.
import { zipSync } from 'fflate';

import { draw as drawMap } from './map.js';
import { run } from './quillmore.js';
import * as Views from './views.js';
import * as Workspace from './workspace.js';

const { element, decode, isolated, nameList } = Views;
const $ = (id) => document.getElementById(id);
const TOOL = 'quillmore-flashtool';
const INFO = 'quillmore-flashinfo';
const CATALOGUE = 'crc.ini';
const NAMED_KINDS = new Map([[CATALOGUE, 'catalogue'], ['fcFlash.prg', 'flasher program']]);  // the tools' fixed names
const INSPECTED_KINDS = new Map([['flash image', 'flash image'], ['ROM file', 'ROM file'], ['bank loader', 'bank loader file']]);

let kinds = new Map();  // name -> kind, as the inspector tells it
let marks = new Map();  // name -> "new" or "changed" by the last run
let chosen = [];        // the ROM files to run, in the order checked
let kept = true;        // whether this browser keeps the workspace at all

const namesOfKind = (kind) => Workspace.names().filter((name) => kinds.get(name) === kind);
const alerts = () => $('alerts');

// A name handed to a tool is a file, never an option.
const fileArgument = (name) => (name.startsWith('-') ? `./${name}` : name);

// Returns: the catalogue's size in lines, the one thing in a folder that
// makes a run's memory grow.
function catalogueLines(files) {
  const bytes = files.get(CATALOGUE);
  if (!bytes) return 0;
  let lines = bytes.length > 0 && bytes[bytes.length - 1] !== 0x0a ? 1 : 0;
  for (const byte of bytes) if (byte === 0x0a) lines++;
  return lines;
}

// Says that a run was aborted: which run, on which files, and why.
function reportAbort(key, program, args, files, result, consequence) {
  const ranOut = decode(result.stderr).includes(`${program}: out of memory`);
  const lines = catalogueLines(files);
  const command = [program, ...args].map(Views.shellWord).join(' ');
  const cause = !ranOut ? ['it was aborted: ', decode(result.stderr).trim().split('\n').pop()]
    : lines > 0 ? ['the engine ran out of memory: ', isolated(CATALOGUE), `: ${lines.toLocaleString('en')} lines is more than a run can hold`]
      : ['the engine ran out of memory'];
  Views.alert(alerts(), key, ['The run ', element('code', {}, command), ` on ${files.size} file${files.size === 1 ? '' : 's'} (`,
    ...nameList([...files.keys()]), ') did not finish: ', ...cause, '. ', consequence]);
}

// Runs the inspector on files. Returns: its JSON document, or null. When
// the catalogue is more than a run can hold, says so and reads the files
// against an empty one, so that they stay usable without the ROM names.
async function inspectJson(args, files) {
  let result = await run(INFO, ['--json', ...args], files);
  if (result.status < 0 && files.has(CATALOGUE)) {
    reportAbort('inspect', INFO, ['--json', ...args], files, result,
      'The files are shown as if the catalogue were empty: no block is known by name until crc.ini is smaller.');
    result = await run(INFO, ['--json', ...args], new Map([...files, [CATALOGUE, new Uint8Array(0)]]));
  }
  return parsedJson(result.stdout);
}

// Returns: the inspector's JSON document, or null where it printed none.
function parsedJson(bytes) {
  try {
    return JSON.parse(decode(bytes));
  } catch {
    return null;
  }
}

// Tells every file's kind; the kinds change at once when all are told, so
// that a click meanwhile (a ROM checked) meets the list as it is shown.
async function tellKinds() {
  const told = new Map();
  const files = Workspace.files();
  const inspected = [...files.keys()].filter((name) => !NAMED_KINDS.has(name));
  for (const name of files.keys()) if (NAMED_KINDS.has(name)) told.set(name, NAMED_KINDS.get(name));
  const report = inspected.length > 0 ? await inspectJson(['--', ...inspected], files) : null;
  for (const file of report ? report.files : []) told.set(file.file, INSPECTED_KINDS.get(file.kind) || 'other');
  kinds = told;
}

function markText(name) {
  const notKept = kept && !Workspace.isKept(name) ? 'not kept' : '';
  return [marks.get(name) || '', notKept].filter(Boolean).join(', ');
}

function showFiles() {
  const rows = Workspace.names().map((name) => {
    const bytes = Workspace.get(name);
    const remove = element('button', { type: 'button', 'aria-label': `Remove ${name}` }, 'Remove');
    remove.addEventListener('click', () => act(() => removeFile(name)));
    const download = Views.downloadLink(name, bytes, 'Download', `Download ${name}`);
    return element('tr', { className: marks.get(name) || '' }, element('td', {}, element('code', {}, isolated(name))),
      element('td', {}, Views.sizeText(bytes.length)), element('td', {}, kinds.get(name) || 'other'),
      element('td', {}, markText(name)), element('td', {}, download, ' ', remove));
  });
  $('files').tBodies[0].replaceChildren(...rows);
  $('workspace-note').textContent = rows.length ? '' : 'The workspace is empty.';
}

// The ROM checklist; its boxes stay the same elements while the same ROM
// files are listed, so that a change shown from another tab never takes
// a click or the focus away.
function showRomChoices() {
  const roms = namesOfKind('ROM file');
  chosen = chosen.filter((name) => roms.includes(name));
  const list = $('roms');
  const listed = [...list.querySelectorAll('input')].map((box) => box.value);
  if (listed.length !== roms.length || listed.some((name, i) => name !== roms[i])) {
    list.replaceChildren(...roms.map((name) => {
      const box = element('input', { type: 'checkbox', value: name });
      box.addEventListener('change', () => {
        chosen = box.checked ? [...chosen, name] : chosen.filter((rom) => rom !== name);
        showRomChoices();
        showCommand();
      });
      return element('li', {}, element('label', {}, box, ' ', element('code', {}, isolated(name))), ' ',
        element('span', { className: 'order' }));
    }));
    if (roms.length === 0) list.append(element('li', {}, 'No ROM file in the workspace yet.'));
  }
  for (const item of list.children) {
    const box = item.querySelector('input');
    if (!box) continue;
    const place = chosen.indexOf(box.value);
    box.checked = place >= 0;
    item.querySelector('.order').textContent = place < 0 ? '' : `${place + 1}.`;
  }
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
  const ready = allBanks || chosen.length > 0;
  $('run-tool').disabled = !ready;
  $('run-note').textContent = ready ? '' : 'Check a ROM file, or choose all banks.';
}

// Draws the chosen image, with the banks that differ from the expected one marked.
async function showFlash(differing = new Map(), preferred = null) {
  const images = namesOfKind('flash image');
  $('flash-view').hidden = images.length === 0;
  $('flash-note').hidden = images.length > 0;
  if (images.length === 0) return;
  Views.fillChoice($('image-choice'), images, images.includes('flash.bin') ? 'flash.bin' : images[0]);
  if (preferred && images.includes(preferred)) $('image-choice').value = preferred;
  const image = $('image-choice').value;
  const report = await inspectJson(['--', image], new Map([[image, Workspace.get(image)], ...catalogueOnly()]));
  const entry = report && report.files[0];
  if (entry && entry.banks) drawMap({ table: $('map'), legend: $('legend'), detail: $('bank-detail') }, entry.banks, differing);
}

const catalogueOnly = () => (Workspace.get(CATALOGUE) ? [[CATALOGUE, Workspace.get(CATALOGUE)]] : []);

function showChoices() {
  const images = namesOfKind('flash image');
  Views.fillChoice($('inspect-choice'), Workspace.names(), Workspace.names()[0]);
  Views.fillChoice($('expected-choice'), images, images[0]);
  Views.fillChoice($('found-choice'), images, images[1] || images[0]);
  $('inspect-run').disabled = Workspace.names().length === 0;
  $('compare-run').disabled = images.length === 0;
}

async function refresh(preferredImage = null) {
  Views.forgetLinks();
  Views.unalert(alerts(), 'inspect');
  await tellKinds();
  showFiles();
  showRomChoices();
  showCommand();
  showChoices();
  await showFlash(new Map(), preferredImage);
  showOutputs();
  await showStorage();
}

// Links to what the last run wrote, one by one and all together.
function showOutputs() {
  const written = [...marks.keys()].filter((name) => Workspace.get(name));
  if (written.length === 0) {
    $('outputs').replaceChildren();
    return;
  }
  const zip = zipSync(Object.fromEntries(written.map((name) => [name, Workspace.get(name)])));
  $('outputs').replaceChildren(element('h3', {}, 'Written by this run'),
    element('ul', {}, ...written.map((name) => element('li', {}, Views.downloadLink(name, Workspace.get(name), isolated(name)),
      ` (${markText(name)})`))),
    element('p', {}, Views.downloadLink('quillmore-outputs.zip', zip, 'Download all of them as one .zip')));
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

// Says what a change of the workspace could not keep, or takes back the
// last such message when everything is kept now.
function reportChange(outcome) {
  if (outcome.left && outcome.left.length > 0) {
    Views.alert(alerts(), 'left', ['Left out of the workspace, not being files: ',
      ...outcome.left.flatMap(({ name, why }, i) => [i ? '; ' : '', element('code', {}, isolated(name)), ` (${why})`]), '.']);
  }
  const notKept = Workspace.notKept();
  if (outcome.failure) {
    Views.alert(alerts(), 'storage', ['Not kept: ', ...nameList(outcome.failure.names), `: ${outcome.failure.why}. `,
      'They stay here, marked "not kept", until the page is closed: download what matters. ',
      'Each later change tries to keep them again.'], [['Try again', () => act(() => change(() => ({})))]]);
  } else if (notKept.length === 0) {
    Views.unalert(alerts(), 'storage');
  }
}

// Changes the workspace (see Workspace.update), says what was not kept,
// and shows the outcome. Returns: the outcome.
async function change(work) {
  const outcome = await Workspace.update(work);
  reportChange(outcome);
  await refresh();
  return outcome;
}

// Runs the tool on the workspace as stored now, and keeps what it wrote.
async function runTool() {
  const { args } = commandArguments();
  const pieces = [];
  let result = null;
  let inputs = null;
  const outcome = await Workspace.update(async (files) => {
    inputs = files;
    pieces.length = 0;
    result = await run(TOOL, args, files, { onOutput: (stream, bytes) => pieces.push([stream, bytes]) });
    if (result.status < 0) return {};
    marks = new Map();
    const puts = [];
    for (const [name, bytes] of Object.entries(result.files)) {
      const before = files.get(name);
      if (!before) marks.set(name, 'new');
      else if (!Workspace.sameBytes(before, bytes)) marks.set(name, 'changed');
      else continue;
      puts.push([name, bytes]);
    }
    return { puts };
  });
  reportChange(outcome);
  await refresh(marks.has('flash.bin') ? 'flash.bin' : null);
  Views.showConsole($('console'), pieces);
  if (result.status < 0) {
    reportAbort('run', TOOL, args, inputs, result, 'Nothing it did was kept: the workspace is as it was.');
    $('exit-status').textContent = `${TOOL} was aborted`;
  } else {
    Views.unalert(alerts(), 'run');
    $('exit-status').textContent = `${TOOL} ended with exit status ${result.status}`;
  }
}

// Shows a report of the inspector (table), with its JSON to download.
async function showReport(args, jsonName) {
  const pieces = [];
  const files = Workspace.files();
  const result = await run(INFO, args, files, { onOutput: (stream, bytes) => pieces.push([stream, bytes]) });
  pieces.push(['stdout', new TextEncoder().encode(`\n(exit status ${result.status})\n`)]);
  Views.showConsole($('report'), pieces);
  const json = await run(INFO, ['--json', ...args], files);
  $('report-downloads').replaceChildren(element('p', {}, Views.downloadLink(jsonName, json.stdout, `Download the report as JSON (${jsonName})`)));
  return json;
}

async function inspect() {
  const name = $('inspect-choice').value;
  await showReport(['--', name], `${name}.json`);
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
  return (files) => {
    const now = files.get(name);
    return Workspace.sameBytes(now, seen) ? apply(files) : { conflict: { name, now } };
  };
}

async function askAboutConflict(conflict, doing) {
  const what = conflict.now ? 'was changed in another tab since this tab showed it' : 'was removed in another tab';
  return Views.ask([element('code', {}, isolated(conflict.name)), ` ${what}. ${doing}?`], doing, 'Leave it');
}

async function removeFile(name) {
  let seen = Workspace.get(name);
  for (;;) {
    const outcome = await change(unlessChangedElsewhere(name, seen, () => ({ removals: [name] })));
    if (!outcome.conflict) break;
    if (!outcome.conflict.now) break;  // gone already
    if (!(await askAboutConflict(outcome.conflict, `Remove ${name} all the same`))) return;
    seen = outcome.conflict.now;
  }
  chosen = chosen.filter((rom) => rom !== name);
  marks.delete(name);
  await refresh();
}

async function addEntries(entries) {
  let seen = new Map(entries.map(([name]) => [name, Workspace.get(name)]));
  for (;;) {
    const outcome = await change((files) => {
      const changed = entries.filter(([name]) => !Workspace.sameBytes(files.get(name), seen.get(name)));
      return changed.length ? { conflict: { names: changed.map(([name]) => name), files } } : { puts: entries };
    });
    if (!outcome.conflict) return;
    const { names, files } = outcome.conflict;
    const replace = await Views.ask([...nameList(names), names.length === 1 ? ' was' : ' were',
      ' changed or added in another tab since this tab showed the workspace. Replace with the file you are adding?'],
    'Replace', 'Leave it');
    if (!replace) {
      entries = entries.filter(([name]) => !names.includes(name));
      if (entries.length === 0) return;
    }
    seen = new Map(entries.map(([name]) => [name, files.get(name)]));
  }
}

// Adds files the user gave (File objects); folders and unreadable files are named and skipped.
async function addFiles(list, folders = []) {
  const files = [...list];
  const read = await Promise.allSettled(files.map((file) => file.arrayBuffer()));
  const skipped = [...folders.map((name) => [name, 'a folder'])];
  const entries = [];
  read.forEach((outcome, i) => {
    const name = files[i].name;
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

// Runs one action at a time, the page marked busy meanwhile; what fails
// is said on the page, never only in the browser's console.
let acting = Promise.resolve();
let waiting = 0;
function act(action) {
  waiting++;
  document.body.setAttribute('aria-busy', 'true');
  acting = acting.then(action).catch((error) => {
    Views.alert(alerts(), 'failure', ['Something failed: ', String((error && error.message) || error),
      '. The workspace is as the list shows; try again, or reload the page.']);
  }).finally(() => {
    if (--waiting === 0) document.body.removeAttribute('aria-busy');
  });
  return acting;
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
    const { files, folders } = dropped(event.dataTransfer);
    act(() => addFiles(files, folders));
  });
  $('pick').addEventListener('change', () => act(async () => {
    await addFiles($('pick').files);
    $('pick').value = '';
  }));
  $('start-over').addEventListener('click', () => act(async () => {
    marks = new Map();
    chosen = [];
    ['console', 'report', 'report-downloads', 'exit-status'].forEach((id) => $(id).replaceChildren());
    await change(() => ({ clear: true }));
  }));
  for (const id of ['opt-t', 'opt-b', 'opt-v', 'opt-sb']) $(id).addEventListener('input', showCommand);
  document.querySelectorAll('input[name="mode"]').forEach((radio) => radio.addEventListener('change', showCommand));
  $('run-tool').addEventListener('click', () => act(runTool));
  $('image-choice').addEventListener('change', () => act(() => showFlash()));
  $('inspect-run').addEventListener('click', () => act(inspect));
  $('compare-run').addEventListener('click', () => act(compare));
  // Another tab changed the workspace: show it as it is now, once for a burst of changes.
  let told = false;
  Workspace.onChange(() => {
    if (told) return;
    told = true;
    act(async () => {
      told = false;
      reportChange({ left: await Workspace.reload() });
      await refresh();
    });
  });
}

async function start() {
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
  await act(() => refresh());
  document.body.dataset.ready = 'true';
  performance.mark('quillmore-ready');
}

start();
