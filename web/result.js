// The verdict of a run, in words, and the next step to the drive. Every
// fact is of that run: its command line, what the tool printed, and the
// inspector's word on the files it read and wrote, taken when it ended.
import { page } from './state.js';
import { commandLine, element, fill, isolated, nameList } from './views.js';
import { addButton } from './files-view.js';
import { known, say, text } from './language.js';
import * as Workspace from './workspace.js';

// Returns: the console lines that hold error text.
export function errorLines(pieces) {
  let lines = 0;
  let inError = false; // the current line holds error text already
  for (const [stream, piece] of pieces) {
    for (const [i, part] of piece.split('\n').entries()) {
      if (i > 0) inError = false;
      if (stream === 'stderr' && part !== '' && !inError) {
        lines++;
        inError = true;
      }
    }
  }
  return lines;
}

// Returns: the files the run wrote that the browser has not kept (now).
export const notKept = (record) =>
  page.kept ? record.written.filter((name) => Workspace.get(name) && !Workspace.isKept(name)) : [];

// Returns: why a run stopped, in words: the page's own (a key kept in the record), or as it was kept.
const stoppedWords = (stopped) => (known(stopped) ? text(stopped) : stopped || text('stopped.aborted'));

// Returns: [tone, first line] of a run's verdict.
function headline(record) {
  const { facts, status } = record;
  if (status < 0) return ['bad', say('verdict.notFinished', { why: stoppedWords(record.stopped) })];
  const refused = notKept(record);
  if (refused.length > 0) return ['bad', say('verdict.notKept', { status, n: refused.length })];
  const written = text('verdict.loaders', { n: facts.loaders.length });
  const away = facts.loaders.filter((loader) => !loader.inFlash).map((loader) => loader.bank);
  if (away.length > 0) {
    // Banks past the flash get no slot in the image (with -t), or are no bank of it.
    const reason = say(record.image ? 'verdict.awayImage' : 'verdict.awayFlash', {
      n: away.length,
      banks: away.join(' '),
    });
    return ['bad', say('verdict.away', { reason, written, status })];
  }
  if (facts.loaders.length === 0) return [status === 0 ? 'warn' : 'bad', say('verdict.none', { status })];
  if (status === 0) return ['good', say('verdict.good', { written })];
  return ['bad', say('verdict.partial', { written, status })];
}

// Returns: why nothing was written, in the run's own facts.
function whyNothing(facts, errors) {
  const why = [];
  if (facts.noFlasher) why.push('why.noFlasher');
  if (facts.roms.length > 0 && facts.usable === 0) why.push('why.noneKnown');
  if (errors > 0) why.push('why.errors');
  if (why.length === 0) why.push('why.nothingSent');
  return element(
    'ul',
    {},
    why.map((key) => element('li', {}, say(key))),
  );
}

const romOf = (loader) =>
  loader.rom === null ? text('verdict.unknownRom', { crc: loader.crc }) : isolated(loader.rom);
const fileCode = (name) => element('code', { translate: false }, isolated(name));

function loaderItem(loader) {
  return element(
    'li',
    {},
    say('verdict.loaderItem', { bank: loader.bank, file: fileCode(loader.file), rom: romOf(loader) }),
  );
}

// The unknown blocks of the run, each with its button to the catalogue, or
// where the catalogue knows it now, the line that names it.
function unknownList(facts, onAdd) {
  const items = facts.unknown.map((block) => {
    const entry = page.catalogue && page.catalogue.byCrc && page.catalogue.byCrc[block.crc];
    const now = entry
      ? say('verdict.nowKnown', {
          line: entry.line,
          banks: text('words.banks', { n: entry.banks.length, banks: entry.banks.join(' ') }),
        })
      : [' ', addButton(block, onAdd)];
    const crc = element('code', { translate: false }, block.crc);
    return element('li', {}, say('verdict.unknownItem', { file: fileCode(block.file), block: block.block, crc }), now);
  });
  const more = facts.unknownCount - facts.unknown.length;
  return [
    element('p', {}, text('verdict.unknownIntro', { n: facts.unknownCount })),
    element('ul', {}, items, more > 0 ? element('li', {}, text('verdict.unknownMore', { n: more })) : null),
  ];
}

// Returns: the parts of one run's verdict.
function verdictParts(record, { onAdd, outputs }) {
  const { facts } = record;
  const errors = errorLines(record.pieces);
  const parts = [element('p', {}, say('verdict.command', { command: commandLine(record.command) }))];
  if (facts.loaders.length > 0)
    parts.push(element('p', {}, text('verdict.byBank')), element('ul', {}, facts.loaders.map(loaderItem)));
  if (record.status >= 0 && facts.loaders.length === 0) parts.push(whyNothing(facts, errors));
  if (facts.unknownCount > 0) parts.push(unknownList(facts, onAdd));
  if (facts.blank > 0) parts.push(element('p', {}, say('verdict.blank', { n: facts.blank })));
  if (facts.damaged.length > 0)
    parts.push(element('p', {}, say('verdict.damaged', { names: nameList(facts.damaged) })));
  if (errors > 0) {
    const link = element('a', { href: '#console-error-1' }, text('verdict.firstError'));
    parts.push(element('p', {}, say('verdict.errors', { n: errors, link })));
  }
  if (outputs) parts.push(outputs);
  return parts;
}

// Says what the last run did, where the user looks first: styled by
// outcome, its first line the outcome; a run that did not finish, or one
// under way in another tab, said above it.
export function showVerdict(target, record, options) {
  const lost = page.lost && (!record || page.lost.at > record.at) ? page.lost : null;
  const before = aboveVerdict(lost);
  if (!record) {
    target.className = lost ? 'bad' : '';
    fill(target, before.length ? before : element('p', {}, text('result.none')));
    return;
  }
  const [tone, line] = headline(record);
  const own = verdictParts(record, options);
  target.className = lost ? 'bad' : tone;
  if (before.length === 0) fill(target, element('p', { className: 'headline' }, line), own);
  else
    fill(
      target,
      before,
      element(
        'div',
        { className: 'previous' },
        element('p', { className: 'headline' }, say('verdict.before', { line })),
        own,
      ),
    );
}

// Returns: what is said above a verdict: a run the page lost, one under way in another tab.
function aboveVerdict(lost) {
  const parts = [];
  if (lost) {
    parts.push(element('p', { className: 'headline' }, say('verdict.lost', { command: commandLine(lost.command) })));
  }
  if (page.elsewhere) {
    parts.push(
      element(
        'p',
        { className: lost ? '' : 'headline' },
        say('verdict.elsewhere', { command: commandLine(page.elsewhere.command) }),
      ),
    );
  }
  return parts;
}

// Offers the bank loader files of the run for the drive, in bank order, and
// flash.bin for a device programmer; a file for a bank past the flash is
// listed apart, and goes on a disk only when ticked.
export function showDrive(section, body, record, { zipLink, imageLink }) {
  const loaders =
    record && record.status >= 0 ? record.facts.loaders.filter((loader) => Workspace.get(loader.file)) : [];
  section.hidden = loaders.length === 0;
  if (section.hidden) return;
  const make = document.getElementById('make-disks');
  const ready = () => {
    make.disabled = page.running || loadersForDisk(record).length === 0;
  };
  const inFlash = loaders.filter((loader) => loader.inFlash);
  const away = loaders.filter((loader) => !loader.inFlash);
  fill(
    body,
    element('p', {}, text('drive.intro')),
    inFlash.length ? element('ol', {}, inFlash.map(driveItem)) : null,
    away.length ? awayLoaders(away, ready) : null,
    element('p', {}, zipLink),
    imageLink ? element('p', {}, imageLink, text('drive.image')) : null,
  );
  ready();
}

const driveItem = (loader) =>
  element('li', {}, fileCode(loader.file), ': ', say('drive.item', { bank: loader.bank, rom: romOf(loader) }));

// Returns: the bank loader files for banks past the flash, apart, each with a box that puts it on the disk all the same.
function awayLoaders(away, ready) {
  const banks = away.map((loader) => text('drive.awayBank', { bank: loader.bank })).join(', ');
  return element(
    'div',
    { className: 'away' },
    element('p', { className: 'problem' }, text('drive.away', { n: away.length, banks })),
    away.map((loader) =>
      element(
        'label',
        {},
        element('input', { type: 'checkbox', className: 'away-loader', value: loader.file, onchange: ready }),
        ' ',
        say('drive.putAnyway', { file: fileCode(loader.file), bank: loader.bank }),
      ),
    ),
  );
}

// Returns: the bank loader files to put on a disk: those for the flash's
// banks, in bank order, and those past it that are ticked.
export function loadersForDisk(record) {
  const ticked = new Set([...document.querySelectorAll('.away-loader:checked')].map((box) => box.value));
  return record.facts.loaders
    .filter((loader) => Workspace.get(loader.file) && (loader.inFlash || ticked.has(loader.file)))
    .map((loader) => loader.file);
}
