// A run of the tool on the workspace, in the engine's worker: its inputs
// read from storage when it starts, what it wrote kept in one change, and
// its record: the command, status and console, and the facts of its verdict
// taken from the inspector's word on the very files it read and wrote. A
// run leaves a mark in storage while it runs, so that one the page lost
// (a reload, a closed tab) is said at the next visit.
import { page } from './state.js';
import { inspect } from './inspection.js';
import { run } from './runner.js';
import { decode } from './views.js';
import { CATALOGUE, CONTENT, FLASHER, IMAGE, KIND, TOOL } from './words.js';
import * as Workspace from './workspace.js';

const MOST_LISTED = 16; // unknown blocks kept one by one; a ROM of thousands is told in a count
const MARK = 'running';
const ALIVE_EVERY = 2000; // ms: how often a run says it is alive, where the browser has no Web Locks
const LOCK_PREFIX = 'quillmore-flashtool-run-';

const byBank = (a, b) => (a.bank < b.bank ? -1 : a.bank > b.bank ? 1 : 0);

// Returns: the facts of a run's verdict: the bank loader files it wrote,
// by bank; the unknown and blank blocks of the ROM files it read; each
// from the inspector, reading the files as the run read and wrote them.
export async function runFacts(result, inputs) {
  const catalogue = result.files.get(CATALOGUE);
  const romNames = result.read.filter((name) => name !== FLASHER && name !== CATALOGUE && inputs.has(name));
  const romFolder = new Map(romNames.map((name) => [name, inputs.get(name)]));
  const outputs = result.written.filter((name) => result.files.has(name) && name !== CATALOGUE && name !== IMAGE);
  const outFolder = new Map(outputs.map((name) => [name, result.files.get(name)]));
  if (catalogue) {
    romFolder.set(CATALOGUE, catalogue);
    outFolder.set(CATALOGUE, catalogue);
  }
  const roms = [...(await inspect(romNames, romFolder)).entries.values()].filter((entry) => entry.kind === KIND.ROM);
  const written = [...(await inspect(outputs, outFolder)).entries.values()].filter(
    (entry) => entry.kind === KIND.LOADER,
  );
  const blocks = roms.flatMap((entry) => entry.blocks.map((block) => ({ file: entry.file, ...block })));
  const unknown = blocks.filter((block) => block.content === CONTENT.UNKNOWN);
  return {
    loaders: written
      .filter((entry) => entry.flasher && entry.block)
      .map((entry) => ({
        file: entry.file,
        bank: entry.flasher.bank,
        inFlash: entry.flasher.inFlash !== false,
        rom: entry.block.name,
        crc: entry.block.crc,
      }))
      .sort(byBank),
    damaged: written.filter((entry) => !(entry.flasher && entry.block)).map((entry) => entry.file),
    unknown: unknown.slice(0, MOST_LISTED).map(({ file, block, crc }) => ({ file, block, crc })),
    unknownCount: unknown.length,
    blank: blocks.filter((block) => block.content === CONTENT.BLANK).length,
    usable: blocks.filter((block) => block.content === CONTENT.KNOWN).length,
    roms: roms.map((entry) => entry.file),
    noFlasher: !inputs.has(FLASHER),
  };
}

const NO_FACTS = {
  loaders: [],
  damaged: [],
  unknown: [],
  unknownCount: 0,
  blank: 0,
  usable: 0,
  roms: [],
  noFlasher: false,
};

// Holds a lock named for the run while it runs, where the browser has Web
// Locks; else renews the mark's time. Returns: what ends it.
function holdAlive(mark) {
  if (typeof navigator === 'object' && navigator.locks) {
    let release;
    const held = new Promise((done) => {
      release = done;
    });
    navigator.locks.request(mark.lock, () => held).catch(() => {});
    return release;
  }
  const timer = setInterval(() => Workspace.saveState(MARK, { ...mark, alive: Date.now() }), ALIVE_EVERY);
  return () => clearInterval(timer);
}

// Returns: whether the run that left mark is gone (its page closed or
// reloaded): its lock is free, or it has not said it was alive for a while.
async function markIsStale(mark) {
  if (typeof navigator === 'object' && navigator.locks) {
    return navigator.locks.request(mark.lock, { ifAvailable: true }, (lock) => lock !== null);
  }
  return Date.now() - (mark.alive || 0) > 3 * ALIVE_EVERY;
}

const validMark = (mark) =>
  !!mark &&
  typeof mark === 'object' &&
  Array.isArray(mark.command) &&
  mark.command.every((word) => typeof word === 'string') &&
  typeof mark.lock === 'string' &&
  Number.isFinite(mark.at);

// Tells from storage whether a run was lost, or is under way in another
// tab: page.lost and page.elsewhere. Returns: true when a run is under way
// (it is looked at again later).
export async function lookForLostRun() {
  const mark = await Workspace.loadState(MARK);
  page.elsewhere = null;
  if (validMark(mark)) {
    if (!(await markIsStale(mark))) {
      page.elsewhere = { command: mark.command, at: mark.at };
      return true;
    }
    await Workspace.saveState('lost', { command: mark.command, at: mark.at });
    await Workspace.saveState(MARK, null);
  }
  const lost = await Workspace.loadState('lost');
  page.lost = validMark({ ...lost, lock: '' }) ? { command: lost.command, at: lost.at } : null;
  return false;
}

// Runs the tool with args on the workspace as stored now and keeps what it
// wrote; Cancel ends it and keeps nothing. ui: { reportChange(outcome),
// reportAbort(program, args, files, result) }. Returns: the run's record.
export async function runTool(args, ui) {
  const command = [TOOL, ...args];
  const mark = { command, at: Date.now(), alive: Date.now(), lock: `${LOCK_PREFIX}${Date.now()}-${Math.random()}` };
  await Workspace.saveState('lost', null);
  page.lost = null;
  await Workspace.saveState(MARK, mark);
  const stopAlive = holdAlive(mark);
  const ran = { result: null, inputs: null, stopped: '' };
  let outcome;
  try {
    outcome = await Workspace.update((files) => runOn(args, files, ran));
  } finally {
    stopAlive();
  }
  ui.reportChange(outcome);
  if (ran.result && ran.result.status < 0) {
    ui.reportAbort(TOOL, args, ran.inputs, ran.result);
    ran.stopped = 'stopped.engine'; // a text's key: said in the language shown
  }
  const record = await recordOf(command, mark.at, args, ran);
  await Workspace.saveState('run', record); // the page's own record: a full storage says so for the files
  await Workspace.saveState(MARK, null);
  return record;
}

// Runs the tool on the files as stored now. Returns: the change to keep:
// what it wrote and changed; nothing when it was cancelled or aborted.
async function runOn(args, files, ran) {
  ran.inputs = files;
  try {
    performance.mark('quillmore-run-start');
    ran.result = await run(TOOL, args, files);
    performance.measure('quillmore-run', 'quillmore-run-start'); // the worker's part of a run, for the benchmark
  } catch (error) {
    if (!error.cancelled) throw error;
    ran.stopped = 'stopped.cancelled';
    return {};
  }
  const { result } = ran;
  if (result.status < 0) return {};
  const changed = result.written.filter((name) => !result.unchanged.includes(name));
  return { puts: changed.map((name) => [name, result.files.get(name)]) };
}

// Returns: the record of a run as the page keeps it, its facts taken from the files it read and wrote.
async function recordOf(command, at, args, { result, inputs, stopped }) {
  const finished = !!result && !stopped;
  const marks = Object.create(null);
  if (finished) {
    for (const name of result.written) {
      marks[name] = !inputs.has(name) ? 'new' : result.unchanged.includes(name) ? 'rewritten' : 'changed';
    }
  }
  return {
    command,
    at,
    status: finished ? result.status : -1,
    stopped,
    marks,
    image: args.includes('-t'),
    pieces: result ? result.pieces.map(([stream, bytes]) => [stream, decode(bytes)]) : [],
    written: finished ? result.written : [],
    facts: finished ? await runFacts(result, inputs) : NO_FACTS,
    disks: null,
  };
}

const strings = (list) => Array.isArray(list) && list.every((item) => typeof item === 'string');
const objects = (list, keys) =>
  Array.isArray(list) && list.every((item) => item && typeof item === 'object' && keys.every((key) => key in item));

function validFacts(facts) {
  if (!facts || typeof facts !== 'object') return false;
  const counts = ['unknownCount', 'blank', 'usable'].every((key) => Number.isInteger(facts[key]));
  return (
    counts &&
    objects(facts.loaders, ['file', 'bank', 'inFlash', 'rom', 'crc']) &&
    strings(facts.damaged) &&
    objects(facts.unknown, ['file', 'block', 'crc']) &&
    strings(facts.roms) &&
    typeof facts.noFlasher === 'boolean'
  );
}

// Returns: the last run as the page keeps it across visits; a stored one
// is taken only when it has this very shape.
export function keptRun(value) {
  if (!validRecord(value)) return null;
  const marks = Object.create(null);
  for (const [name, mark] of Object.entries(value.marks)) if (MARKS.includes(mark)) marks[name] = mark;
  const disks = value.disks && strings(value.disks.images) && Array.isArray(value.disks.pieces) ? value.disks : null;
  return {
    command: value.command,
    at: Number.isFinite(value.at) ? value.at : 0,
    status: value.status,
    pieces: value.pieces,
    written: value.written,
    marks,
    facts: value.facts,
    image: value.image === true,
    disks,
    stopped: typeof value.stopped === 'string' ? value.stopped : '',
  };
}

const MARKS = ['new', 'changed', 'rewritten'];
const validPiece = (piece) =>
  Array.isArray(piece) && piece.length === 2 && ['stdout', 'stderr'].includes(piece[0]) && typeof piece[1] === 'string';

// Returns: whether a stored record has a run's shape.
function validRecord(value) {
  if (!value || typeof value !== 'object') return false;
  const shaped = strings(value.command) && Number.isInteger(value.status) && strings(value.written);
  const marked = !!value.marks && typeof value.marks === 'object';
  return shaped && marked && validFacts(value.facts) && Array.isArray(value.pieces) && value.pieces.every(validPiece);
}
