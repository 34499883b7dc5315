// The page: the workspace, a run of the flash tool in the engine's worker,
// its verdict and the next step to the drive, the picture of the flash, the
// catalogue, and the inspector's reports. What a file is and what a bank
// holds is always the inspector's word; this module wires the views to the
// actions, one action at a time.
import { page } from './state.js';
import { inspect, lineCount, readCatalogue } from './inspection.js';
import { draw as drawMap } from './map.js';
import { focusAfter, kindOf, namesOfKind, showFiles } from './files-view.js';
import { commandArguments, optionsState, restoreOptions, showCommand, showRomChoices } from './run-view.js';
import { keptRun, lookForLostRun, runTool } from './run.js';
import { loadersForDisk, showDrive, showVerdict } from './result.js';
import { appended, entryForm, judge, openEntryForm, showCatalogue } from './catalogue.js';
import { compare, inspectFile, showAgain } from './compare.js';
import { makeDisk, showDisks } from './disks.js';
import { addFiles, dropped, reportChange, startOver, zipOf } from './workspace-actions.js';
import { cancel as cancelRuns, run, warm } from './runner.js';
import * as Views from './views.js';
import * as Workspace from './workspace.js';
import { CATALOGUE, FLASHER, IMAGE, TOOL } from './words.js';

const { element, decode, isolated, nameList, plural } = Views;
const $ = (id) => document.getElementById(id);
const alerts = () => $('alerts');

// Says that a run was aborted: which run, on which files, and why.
function reportAbort(program, args, files, result, consequence) {
  const ranOut = decode(result.stderr).includes(`${program}: out of memory`);
  const lines = files.get(CATALOGUE) ? lineCount(files.get(CATALOGUE)) : 0;
  const cause = !ranOut
    ? ['it was aborted: ', decode(result.stderr).trim().split('\n').pop()]
    : lines > 0
      ? [
          'the engine ran out of memory: ',
          isolated(CATALOGUE),
          `: ${Views.number(lines)} lines is more than a run can hold`,
        ]
      : ['the engine ran out of memory'];
  const key = program === TOOL ? 'run' : 'inspect';
  Views.alert(alerts(), key, [
    'The run ',
    Views.commandLine([program, ...args]),
    ` on ${plural(files.size, 'file')} (`,
    nameList([...files.keys()]),
    ') did not finish: ',
    cause,
    '. ',
    consequence,
  ]);
}

// Tells every file's kind and what it holds, the inspector's word on each
// kept by content; the page's picture changes at once when all are told.
async function tellKinds() {
  const files = Workspace.files();
  const { entries, aborted } = await inspect(
    [...files.keys()].filter((name) => name !== CATALOGUE && name !== FLASHER),
    files,
  );
  if (aborted) {
    reportAbort(
      aborted.program,
      aborted.args,
      aborted.files,
      aborted.result,
      'The files are shown as if the catalogue were empty: no block is known by name until crc.ini is smaller.',
    );
  }
  page.reports = entries;
  page.catalogue = files.has(CATALOGUE) ? await readCatalogue(files.get(CATALOGUE)) : null;
}

// Draws the chosen image, with the banks that differ from the expected one marked.
function showFlash(preferred = null) {
  const images = namesOfKind('flash image');
  $('flash-view').hidden = images.length === 0;
  $('flash-note').hidden = images.length > 0;
  if (images.length === 0) return;
  Views.fillChoice($('image-choice'), images, images.includes(IMAGE) ? IMAGE : images[0]);
  if (preferred && images.includes(preferred)) $('image-choice').value = preferred;
  const shown = $('image-choice').value;
  const comparison = page.comparison && page.comparison.found === shown ? page.comparison : null;
  const differing = new Map(comparison ? comparison.banks.map((bank) => [bank.bank, bank]) : []);
  const entry = page.reports.get(shown);
  if (entry && entry.banks)
    drawMap({ table: $('map'), legend: $('legend'), detail: $('bank-detail') }, entry.banks, differing);
}

// The two choosers of a comparison start on two different images.
function showChoices() {
  const images = namesOfKind('flash image');
  const inspectable = Workspace.names().filter((name) => name !== FLASHER);
  Views.fillChoice($('inspect-choice'), inspectable, inspectable[0]);
  Views.fillChoice($('expected-choice'), images, images.includes(IMAGE) ? IMAGE : images[0]);
  const other = images.find((name) => name !== $('expected-choice').value);
  Views.fillChoice($('found-choice'), images, other);
  if (other && $('found-choice').value === $('expected-choice').value) $('found-choice').value = other;
  showCompareChoice();
}

function showCompareChoice() {
  const two = $('expected-choice').value !== $('found-choice').value;
  $('inspect-run').disabled = page.running || $('inspect-choice').options.length === 0;
  $('compare-run').disabled = page.running || !two;
  $('compare-note').textContent =
    namesOfKind('flash image').length < 2
      ? 'Compare takes two flash images.'
      : two
        ? ''
        : 'Choose two different images.';
}

// Says where the workspace is kept, and how much room is left there.
async function showStorage() {
  if (!page.kept) {
    $('storage-note').textContent =
      'This browser keeps nothing for this page: the workspace lasts until the page is closed.';
    return;
  }
  const space = await Workspace.space();
  const room =
    space && space.quota
      ? ` (${Views.sizeWords(space.usage)} used, ${Views.sizeWords(Math.max(0, space.quota - space.usage))} left)`
      : '';
  const lasting =
    space && space.persisted
      ? 'until you start over'
      : 'until you start over, unless the browser clears it when space runs short';
  $('storage-note').textContent = `The workspace is kept in this browser${room} ${lasting}.`;
}

// The verdict of the last run, and the step after it.
function showResult() {
  const record = page.record;
  const written = record ? record.written.filter((name) => Workspace.get(name)) : [];
  const markOf = (name) =>
    [
      record.marks[name]
        ? { new: 'new', changed: 'changed', rewritten: 'rewritten, same bytes' }[record.marks[name]]
        : '',
      page.kept && !Workspace.isKept(name) ? 'not kept' : '',
    ]
      .filter(Boolean)
      .join(', ');
  const outputs =
    written.length === 0
      ? null
      : element(
          'div',
          {},
          element('p', {}, `Written by this run (${plural(written.length, 'file')}):`),
          element(
            'ul',
            { 'aria-label': 'Written by this run' },
            written.map((name) =>
              element(
                'li',
                {},
                Views.downloadLink(name, () => Workspace.get(name), isolated(name)),
                ` (${markOf(name)})`,
              ),
            ),
          ),
          element(
            'p',
            {},
            Views.downloadLink('quillmore-outputs.zip', zipOf(written), 'Download all of them as one .zip'),
          ),
        );
  showVerdict($('verdict'), record, { onAdd: addToCatalogue, outputs });
  const loaders = record ? record.facts.loaders.map((loader) => loader.file).filter((name) => Workspace.get(name)) : [];
  showDrive($('drive'), $('drive-body'), record, {
    zipLink: Views.downloadLink(
      'quillmore-bank-loaders.zip',
      zipOf(loaders),
      `Download the ${plural(loaders.length, 'bank loader file')} as one .zip`,
    ),
    imageLink: Workspace.get(IMAGE) ? Views.downloadLink(IMAGE, () => Workspace.get(IMAGE)) : null,
  });
  showDisks($('disks'), record && record.disks);
  showAgain(page.comparison, { onDisk: (files) => act(() => diskAgain(files)) });
  showConsoleIfOpen();
}

// The console is made only where it is open: a run of thousands of blocks
// prints thousands of lines, which the page need not lay out unasked.
const consoleShown = { pieces: null };
function showConsoleIfOpen() {
  if (!page.record || !$('console-box').open || consoleShown.pieces === page.record.pieces) return;
  consoleShown.pieces = page.record.pieces;
  Views.showConsole($('console'), page.record.pieces);
}

const fileActions = {
  onRemove: (name) => act(() => removeFile(name)),
  onAdd: (block, button) => addToCatalogue(block, button),
};

async function refresh(preferredImage = null) {
  Views.unalert(alerts(), 'inspect');
  await tellKinds();
  showFiles(fileActions);
  showRomChoices(optionsChanged);
  showCommand();
  showChoices();
  showFlash(preferredImage);
  showCatalogue($('catalogue-body'), page.catalogue, { onWriteDefault: () => act(writeDefaultCatalogue) });
  showResult();
  if (entryForm.recheck) entryForm.recheck();
  showStorage(); // the browser may take its time to say; nothing waits for it
}

// Changes the workspace (see Workspace.update), says what was not kept,
// and shows the outcome. Returns: the outcome.
export async function change(work, options) {
  const outcome = await Workspace.update(work, options);
  reportChange(outcome, () => act(() => change(() => ({}))));
  await refresh();
  return outcome;
}

// Returns: a change that asks first when another tab changed name since this tab showed it.
function unlessChangedElsewhere(name, seen, apply) {
  return (files) =>
    Workspace.sameBytes(files.get(name), seen) ? apply(files) : { conflict: { name, now: files.get(name) } };
}

async function removeFile(name) {
  let seen = Workspace.get(name);
  const focusNext = focusAfter(name);
  for (;;) {
    const outcome = await change(
      unlessChangedElsewhere(name, seen, () => ({ removals: [name] })),
      { only: [name] },
    );
    if (!outcome.conflict || !outcome.conflict.now) break;
    const what = 'was changed in another tab since this tab showed it';
    if (
      !(await Views.ask(
        [element('code', {}, isolated(name)), ` ${what}. Remove it all the same?`],
        'Remove it',
        'Leave it',
      ))
    )
      return;
    seen = outcome.conflict.now;
  }
  page.chosen = page.chosen.filter((rom) => rom !== name);
  focusNext();
}

// The catalogue the tool itself writes when there is none: a run of the
// tool on a folder with only a stand-in flasher gives its bytes.
async function defaultCatalogue() {
  const result = await run(TOOL, ['-v0'], new Map([[FLASHER, Uint8Array.of(0, 0)]]));
  return result.files.get(CATALOGUE);
}

async function writeDefaultCatalogue() {
  const bytes = await defaultCatalogue();
  await change(
    unlessChangedElsewhere(CATALOGUE, undefined, () => ({ puts: [[CATALOGUE, bytes]] })),
    { only: [CATALOGUE] },
  );
}

// Returns: the verdict on a catalogue line appended to base.
async function checkLine(base, line, wanted) {
  const bytes = appended(base, line);
  return { bytes, verdict: judge(base, await readCatalogue(bytes), wanted) };
}

// Opens the form that adds a line for an unknown block to crc.ini (first
// the tool's own default, where there is none): the line is checked as
// typed against this tab's crc.ini, and when added, against crc.ini as
// stored, under the workspace's lock; it is kept only when the tool's
// parser reads it as the form shows it.
function addToCatalogue(block, opener) {
  const returnFocus = () => {
    const row = [...document.querySelectorAll('#files code.name')].find((code) => code.textContent === block.file);
    const target = opener && opener.isConnected ? opener : row || $('result-title');
    target.focus();
  };
  openEntryForm(block, {
    check: async (line, wanted) =>
      (await checkLine(Workspace.get(CATALOGUE) || (await defaultCatalogue()), line, wanted)).verdict,
    add: (line, wanted) =>
      act(async () => {
        const outcome = await change(
          async (files) => {
            const { bytes, verdict } = await checkLine(
              files.get(CATALOGUE) || (await defaultCatalogue()),
              line,
              wanted,
            );
            return verdict.ok ? { puts: [[CATALOGUE, bytes]], value: verdict } : { value: verdict };
          },
          { only: [CATALOGUE] },
        );
        return outcome.failure && outcome.failure.names.includes(CATALOGUE)
          ? { ok: false, why: `crc.ini was not kept: ${outcome.failure.why}.` }
          : outcome.value;
      }).then((verdict) => verdict || { ok: false, why: 'The line could not be added: see the message above.' }),
    returnFocus,
  });
}

// Runs one action at a time, the page marked busy meanwhile; what fails
// is said on the page, never only in the browser's console.
const queue = { acting: Promise.resolve(), waiting: 0 };
function act(action) {
  queue.waiting++;
  document.body.setAttribute('aria-busy', 'true');
  const done = queue.acting.then(action);
  queue.acting = done
    .catch((error) => {
      if (error && error.cancelled) return;
      Views.alert(alerts(), 'failure', [
        'Something failed: ',
        String((error && error.message) || error),
        '. The workspace is as the list shows; try again, or reload the page.',
      ]);
    })
    .finally(() => {
      if (--queue.waiting === 0) document.body.removeAttribute('aria-busy');
    });
  return done.catch(() => undefined);
}

function setRunning(on, words = []) {
  page.running = on;
  document.body.classList.toggle('running', on);
  for (const node of document.querySelectorAll('.busy-off, #pick, #start-over, #download-all')) node.disabled = on;
  $('cancel').hidden = !on;
  $('run-note').replaceChildren(...(on ? ['Running ', Views.commandLine(words), '…'] : []));
  showCommand();
  showCompareChoice();
}

// Runs the tool; afterwards the verdict is brought into view and its heading takes the focus.
async function doRun() {
  const { args } = commandArguments();
  setRunning(true, [TOOL, ...args]);
  $('cancel').focus();
  let record;
  try {
    record = await runTool(args, {
      reportChange: (outcome) => reportChange(outcome, () => act(() => change(() => ({})))),
      reportAbort: (program, runArgs, files, result) =>
        reportAbort(program, runArgs, files, result, 'Nothing it did was kept: the workspace is as it was.'),
    });
  } finally {
    setRunning(false);
  }
  if (record.status >= 0) Views.unalert(alerts(), 'run');
  page.record = record;
  page.elsewhere = null;
  Workspace.announce();
  await refresh(record.written.includes(IMAGE) ? IMAGE : null);
  $('result').scrollIntoView({ block: 'start' });
  $('result-title').focus({ preventScroll: true });
}

// Puts the run's bank loader files, in bank order, onto disk images made
// by quillmore-flashdisk, kept in the workspace.
async function makeDisks() {
  const format = document.querySelector('input[name="disk"]:checked').value;
  const record = page.record;
  const disks = await makeDisk(`bank-loaders.${format}`, loadersForDisk(record), change);
  if (page.record === record) {
    record.disks = disks;
    await Workspace.saveState('run', record);
    showResult();
  }
}

// A disk of the bank loader files that program the differing banks again.
async function diskAgain(files) {
  const disks = await makeDisk('program-again.d64', files, change);
  showDisks($('again-disks'), disks);
}

function optionsChanged() {
  showRomChoices(optionsChanged);
  showCommand();
  Workspace.saveState('options', optionsState());
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
    if (page.running) return;
    const { files, folders } = dropped(event.dataTransfer);
    act(() => addFiles(files, folders, change));
  });
  $('pick').addEventListener('change', () =>
    act(async () => {
      await addFiles($('pick').files, [], change);
      $('pick').value = '';
    }),
  );
  $('start-over').addEventListener('click', () =>
    act(async () => {
      if (!(await startOver(change))) return;
      consoleShown.pieces = null;
      ['console', 'report', 'report-downloads', 'again', 'again-disks'].forEach((id) => $(id).replaceChildren());
      page.comparison = null;
      showResult();
      $('start-over').focus();
    }),
  );
  $('download-all').addEventListener('click', () =>
    Views.downloadLink('quillmore-workspace.zip', zipOf(Workspace.names())).click(),
  );
  for (const id of ['opt-t', 'opt-b', 'opt-v', 'opt-sb']) $(id).addEventListener('input', optionsChanged);
  document.querySelectorAll('input[name="mode"]').forEach((radio) => radio.addEventListener('change', optionsChanged));
  $('run-tool').addEventListener('click', () => act(doRun));
  $('make-disks').addEventListener('click', () => act(makeDisks));
  $('cancel').addEventListener('click', () => cancelRuns());
  $('skip').addEventListener('click', (event) => {
    event.preventDefault();
    $('run-tool').scrollIntoView({ block: 'center' });
    ($('run-tool').disabled ? $('run-title') : $('run-tool')).focus();
  });
  // The console opens where the verdict points into it, and shows its end when opened.
  $('verdict').addEventListener('click', (event) => {
    if (event.target.closest('a[href="#console-error-1"]')) $('console-box').open = true;
  });
  $('console-box').addEventListener('toggle', showConsoleIfOpen);
  $('image-choice').addEventListener('change', () => showFlash());
  $('inspect-run').addEventListener('click', () =>
    act(async () => {
      const name = $('inspect-choice').value;
      await inspectFile(name, kindOf(name) === 'catalogue');
      showFlash();
    }),
  );
  $('compare-run').addEventListener('click', () =>
    act(async () => {
      await compare($('expected-choice').value, $('found-choice').value);
      $('again-disks').replaceChildren();
      showAgain(page.comparison, { onDisk: (files) => act(() => diskAgain(files)) });
      showFlash(page.comparison.found);
    }),
  );
  $('expected-choice').addEventListener('change', showCompareChoice);
  $('found-choice').addEventListener('change', showCompareChoice);
  // Another tab changed the workspace (or ended a run): show it as it is now, once for a burst of changes.
  const told = { names: null, waiting: false }; // names: another tab's changed names, not shown yet; 'all' when it did not say
  Workspace.onChange((names) => {
    told.names = !names || told.names === 'all' ? 'all' : new Set([...(told.names || []), ...names]);
    if (told.waiting) return;
    told.waiting = true;
    act(async () => {
      const changed = told.names === 'all' ? null : [...told.names];
      told.names = null;
      told.waiting = false;
      reportChange({ left: await Workspace.reload(changed) }, () => act(() => change(() => ({}))));
      await lookForRuns();
      await refresh();
    });
  });
}

// Takes the last run and any run lost or under way from storage; a run
// under way elsewhere is looked at again until it ends.
async function lookForRuns() {
  const underWay = await lookForLostRun();
  const record = keptRun(await Workspace.loadState('run'));
  if (record) page.record = record;
  if (underWay)
    setTimeout(
      () =>
        act(async () => {
          await lookForRuns();
          showResult();
        }),
      5000,
    );
}

async function start() {
  warm();
  listen();
  const opened = await Workspace.open();
  page.kept = opened.kept;
  if (!page.kept) {
    Views.alert(
      alerts(),
      'nothing-kept',
      [
        'This browser keeps nothing for this page',
        opened.why ? ` (${opened.why})` : '',
        ': the workspace lasts only until the page is closed. ',
        'Download what matters, flash.bin above all, before you close it.',
      ],
      [],
      false,
    );
  } else {
    reportChange(opened, () => act(() => change(() => ({}))));
    // Firefox asks the user first: the page goes on meanwhile.
    Workspace.persist().then((granted) => granted && act(showStorage));
  }
  restoreOptions(await Workspace.loadState('options'));
  await lookForRuns();
  // The files are shown at once; what each holds follows as the inspector tells it.
  showFiles(fileActions);
  showRomChoices(optionsChanged);
  showCommand();
  showResult();
  document.body.dataset.ready = 'true';
  performance.mark('quillmore-ready');
  await act(() => refresh());
}

start();
