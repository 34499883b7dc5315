// The page: the workspace, a run of the flash tool in the engine's worker,
// its verdict and the next step to the drive, the picture of the flash, the
// catalogue, and the inspector's reports. What a file is and what a bank
// holds is always the inspector's word; this module wires the views to the
// actions, one action at a time.
import { act, change, onRefresh, retry } from './actions.js';
import { addToCatalogue, writeDefaultCatalogue } from './catalogue-actions.js';
import { showCatalogue } from './catalogue.js';
import { entryForm } from './catalogue-form.js';
import { compare, inspectFile, showAgain, showReportDownload } from './compare.js';
import { makeDisk, showDisks } from './disks.js';
import { kindOf, markText, showFiles } from './files-view.js';
import { showChoices, showCompareChoice, showFlash } from './flash-view.js';
import { inspect, readCatalogue } from './inspection.js';
import { chooseLanguage, onLanguage, say, setLanguage, storedChoice, text, translatePage } from './language.js';
import { reportAbort, reportChange, reportNothingKept, unreport } from './notices.js';
import { loadersForDisk, showDrive, showVerdict } from './result.js';
import { commandArguments, optionsState, restoreOptions, showCommand, showRomChoices } from './run-view.js';
import { keptRun, lookForLostRun, runTool } from './run.js';
import { cancel as cancelRuns, warm } from './runner.js';
import { offerUpdates } from './site.js';
import { page } from './state.js';
import * as Views from './views.js';
import { addFiles, dropped, removeFile, showStorage, startOver, zipOf } from './workspace-actions.js';
import * as Workspace from './workspace.js';
import { CATALOGUE, FLASHER, IMAGE, KIND, TOOL } from './words.js';

const { element, isolated } = Views;
const $ = (id) => document.getElementById(id);

// Tells every file's kind and what it holds, the inspector's word on each
// kept by content; the page's picture changes at once when all are told.
async function tellKinds() {
  const files = Workspace.files();
  const told = [...files.keys()].filter((name) => name !== CATALOGUE && name !== FLASHER);
  const { entries, aborted } = await inspect(told, files);
  if (aborted) {
    reportAbort(aborted.program, aborted.args, aborted.files, aborted.result, 'abort.asEmpty');
  }
  page.reports = entries;
  page.catalogue = files.has(CATALOGUE) ? await readCatalogue(files.get(CATALOGUE)) : null;
}

// Returns: the files the last run wrote, still in the workspace, each to download, and all as one .zip.
function outputsOf(record) {
  const written = record ? record.written.filter((name) => Workspace.get(name)) : [];
  if (written.length === 0) return null;
  return element(
    'div',
    {},
    element('p', {}, text('outputs.written', { n: written.length })),
    element(
      'ul',
      { 'aria-label': text('outputs.label') },
      written.map((name) =>
        element(
          'li',
          {},
          Views.downloadLink(name, () => Workspace.get(name), isolated(name)),
          ` (${markText(name)})`,
        ),
      ),
    ),
    element('p', {}, Views.downloadLink('quillmore-outputs.zip', zipOf(written), text('outputs.zip'))),
  );
}

// The verdict of the last run, and the steps after it: to the drive, the disks made, the way back from a bad burn.
function showResult() {
  const record = page.record;
  showVerdict($('verdict'), record, { onAdd: addToCatalogue, outputs: outputsOf(record) });
  const loaders = record ? record.facts.loaders.map((loader) => loader.file).filter((name) => Workspace.get(name)) : [];
  showDrive($('drive'), $('drive-body'), record, {
    zipLink: Views.downloadLink('quillmore-bank-loaders.zip', zipOf(loaders), text('drive.zip', { n: loaders.length })),
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

// Draws the whole page from the workspace as it is now.
async function refresh(preferredImage = null) {
  unreport('inspect');
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

function setRunning(on, words = []) {
  page.running = on;
  document.body.classList.toggle('running', on);
  for (const node of document.querySelectorAll('.busy-off, #pick, #start-over, #download-all')) node.disabled = on;
  $('cancel').hidden = !on;
  $('run-note').replaceChildren(...(on ? say('run.running', { command: Views.commandLine(words) }) : []));
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
      reportChange: (outcome) => reportChange(outcome, retry),
      reportAbort: (program, runArgs, files, result) =>
        reportAbort(program, runArgs, files, result, 'abort.nothingKept'),
    });
  } finally {
    setRunning(false);
  }
  if (record.status >= 0) unreport('run');
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
  if (page.record !== record) return;
  record.disks = disks;
  await Workspace.saveState('run', record);
  showResult();
}

// A disk of the bank loader files that program the differing banks again.
async function diskAgain(files) {
  showDisks($('again-disks'), await makeDisk('program-again.d64', files, change));
}

function optionsChanged() {
  showRomChoices(optionsChanged);
  showCommand();
  Workspace.saveState('options', optionsState());
}

// Files dropped anywhere on the page join the workspace; the browser never opens them instead.
function listenForFiles() {
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
    act(() => addFiles(files, folders));
  });
  $('pick').addEventListener('change', () =>
    act(async () => {
      await addFiles($('pick').files, []);
      $('pick').value = '';
    }),
  );
  $('start-over').addEventListener('click', () =>
    act(async () => {
      if (!(await startOver())) return;
      consoleShown.pieces = null;
      ['console', 'report', 'report-downloads', 'again', 'again-disks'].forEach((id) => $(id).replaceChildren());
      showResult();
      $('start-over').focus();
    }),
  );
  $('download-all').addEventListener('click', () =>
    Views.downloadLink('quillmore-workspace.zip', zipOf(Workspace.names())).click(),
  );
}

function listenForRuns() {
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
}

function listenForReports() {
  $('image-choice').addEventListener('change', () => showFlash());
  $('inspect-run').addEventListener('click', () =>
    act(async () => {
      const name = $('inspect-choice').value;
      await inspectFile(name, kindOf(name) === KIND.CATALOGUE);
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
}

// Another tab changed the workspace (or ended a run): show it as it is now, once for a burst of changes.
function listenForOtherTabs() {
  const told = { names: null, waiting: false }; // names: another tab's changed names not shown yet; 'all' when it did not say
  Workspace.onChange((names) => {
    told.names = !names || told.names === 'all' ? 'all' : new Set([...(told.names || []), ...names]);
    if (told.waiting) return;
    told.waiting = true;
    act(async () => {
      const changed = told.names === 'all' ? null : [...told.names];
      told.names = null;
      told.waiting = false;
      reportChange({ left: await Workspace.reload(changed) }, retry);
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
  if (!underWay) return;
  setTimeout(
    () =>
      act(async () => {
        await lookForRuns();
        showResult();
      }),
    5000,
  );
}

// The page in the language the user chose, or the browser asks for; a
// change of it says every text again, the workspace's and the alerts' too.
function speak() {
  const choice = $('language');
  setLanguage(chooseLanguage(storedChoice(), navigator.languages));
  choice.value = document.documentElement.lang;
  translatePage();
  onLanguage(() => {
    translatePage();
    Views.sayAlertsAgain($('alerts'));
    showReportDownload();
    act(() => refresh());
  });
  choice.addEventListener('change', () => setLanguage(choice.value, true));
}

// Served from a web address, the page keeps itself for offline use and
// says when a new version waits.
function offerNewVersions() {
  offerUpdates((takeOver) =>
    Views.alert($('alerts'), 'update', () => say('update.ready'), [['update.reload', takeOver]]),
  );
}

async function start() {
  speak();
  warm();
  onRefresh(refresh);
  listenForFiles();
  listenForRuns();
  listenForReports();
  listenForOtherTabs();
  offerNewVersions();
  const opened = await Workspace.open();
  page.kept = opened.kept;
  if (!page.kept) {
    reportNothingKept(opened.why);
  } else {
    reportChange(opened, retry);
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
