// The verdict of a run, in words, and the next step to the drive. Every
// fact is of that run: its command line, what the tool printed, and the
// inspector's word on the files it read and wrote, taken when it ended.
import { page } from './state.js';
import { commandLine, element, fill, isolated, nameList, plural } from './views.js';
import { addButton } from './files-view.js';
import { FLASHER, IMAGE } from './words.js';
import * as Workspace from './workspace.js';

// Returns: the console lines that hold error text.
export function errorLines(pieces) {
  let lines = 0;
  let inError = false; // the current line holds error text already
  for (const [stream, text] of pieces) {
    for (const [i, part] of text.split('\n').entries()) {
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

// Returns: [tone, first line] of a run's verdict.
function headline(record) {
  const { facts, status } = record;
  if (status < 0)
    return ['bad', `The run did not finish: ${record.stopped || 'it was aborted'}. Nothing it did was kept.`];
  const refused = notKept(record);
  if (refused.length > 0) return ['bad', notKeptLine(status, refused)];
  const written = plural(facts.loaders.length, 'bank loader file');
  const away = facts.loaders.filter((loader) => !loader.inFlash).map((loader) => loader.bank);
  if (away.length > 0) return ['bad', `${awayReason(away, record.image)}. ${written} written (exit status ${status}).`];
  if (facts.loaders.length === 0) {
    return [status === 0 ? 'warn' : 'bad', `No bank loader file was written (exit status ${status}).`];
  }
  const whole =
    status === 0
      ? ', and every output in full (exit status 0).'
      : `, but not every output could be written in full (exit status ${status}).`;
  return [status === 0 ? 'good' : 'bad', `${written} written${whole}`];
}

function notKeptLine(status, refused) {
  const one = refused.length === 1;
  return (
    `The run ended with exit status ${status}, but ${plural(refused.length, 'file')} it wrote ${one ? 'was' : 'were'} not kept: ` +
    `the browser refused to store ${one ? 'it' : 'them'}. Download what you need below.`
  );
}

// Returns: why banks past the flash get no slot (with -t), or are no bank of it.
function awayReason(away, image) {
  const one = away.length === 1;
  const banks = `Bank${one ? '' : 's'} ${away.join(' ')}`;
  return image
    ? `${banks} ${one ? 'has' : 'have'} no slot in ${IMAGE}: the flash has banks 00–3f`
    : `${banks} ${one ? 'is' : 'are'} not in the flash: the flash has banks 00–3f`;
}

// Returns: why nothing was written, in the run's own facts.
function whyNothing(facts, errors) {
  const why = [];
  if (facts.noFlasher)
    why.push(`There is no ${FLASHER} (the flasher program) in the workspace: add it, then run again.`);
  if (facts.roms.length > 0 && facts.usable === 0) {
    why.push('No block of the ROM files run is known to the catalogue: each is unknown or blank.');
  }
  if (errors > 0) why.push('The tool says why in the console: its error lines are set apart there.');
  if (why.length === 0) why.push('No block was sent to a bank: the console tells the steps.');
  return element(
    'ul',
    {},
    why.map((text) => element('li', {}, text)),
  );
}

function loaderItem(loader) {
  const rom = loader.rom === null ? `unknown ROM (CRC-16 ${loader.crc})` : isolated(loader.rom);
  return element('li', {}, `bank ${loader.bank}: `, element('code', {}, isolated(loader.file)), ', ', rom);
}

// The unknown blocks of the run, each with its button to the catalogue, or
// where the catalogue knows it now, the line that names it.
function unknownList(facts, onAdd) {
  const items = facts.unknown.map((block) => {
    const entry = page.catalogue && page.catalogue.byCrc && page.catalogue.byCrc[block.crc];
    const now = entry
      ? [
          `: now in the catalogue, line ${entry.line} (bank${entry.banks.length === 1 ? '' : 's'} ${entry.banks.join(' ')}): run again to write it`,
        ]
      : [' ', addButton(block, onAdd)];
    return element(
      'li',
      {},
      element('code', {}, isolated(block.file)),
      `, block ${block.block}: CRC-16 `,
      element('code', {}, block.crc),
      now,
    );
  });
  const more = facts.unknownCount - facts.unknown.length;
  return [
    element(
      'p',
      {},
      `${plural(facts.unknownCount, 'block')} the catalogue did not know (added to it, each goes to its banks at the next run):`,
    ),
    element(
      'ul',
      {},
      items,
      more > 0
        ? element('li', {}, `and ${plural(more, 'more')}: the inspector's report of each ROM file lists them all`)
        : null,
    ),
  ];
}

// Returns: the parts of one run's verdict.
function verdictParts(record, { onAdd, outputs }) {
  const { facts } = record;
  const errors = errorLines(record.pieces);
  const parts = [element('p', {}, 'Command line: ', commandLine(record.command))];
  if (facts.loaders.length > 0)
    parts.push(element('p', {}, 'Bank loader files, by bank:'), element('ul', {}, facts.loaders.map(loaderItem)));
  if (record.status >= 0 && facts.loaders.length === 0) parts.push(whyNothing(facts, errors));
  if (facts.unknownCount > 0) parts.push(unknownList(facts, onAdd));
  if (facts.blank > 0)
    parts.push(
      element(
        'p',
        {},
        `${plural(facts.blank, 'blank block')} (all $FF) passed over: a blank bank needs no programming.`,
      ),
    );
  if (facts.damaged.length > 0) parts.push(element('p', {}, 'Damaged: ', nameList(facts.damaged), '.'));
  if (errors > 0) {
    parts.push(
      element(
        'p',
        {},
        `${plural(errors, 'error line')} in the console: `,
        element('a', { href: '#console-error-1' }, 'the first one'),
        '.',
      ),
    );
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
    fill(target, before.length ? before : element('p', {}, 'No run yet.'));
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
        element('p', { className: 'headline' }, `The run before it: ${line}`),
        own,
      ),
    );
}

// Returns: what is said above a verdict: a run the page lost, one under way in another tab.
function aboveVerdict(lost) {
  const parts = [];
  if (lost) {
    parts.push(
      element(
        'p',
        { className: 'headline' },
        'The run ',
        commandLine(lost.command),
        ' did not finish: nothing of it was kept. The page was closed or reloaded while it ran.',
      ),
    );
  }
  if (page.elsewhere) {
    parts.push(
      element(
        'p',
        { className: lost ? '' : 'headline' },
        'A run is under way in another tab: ',
        commandLine(page.elsewhere.command),
        '.',
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
    element(
      'p',
      {},
      'Each bank loader file is a program for the drive: loaded and run on the computer the drive ',
      'hangs on, it carries the flasher, the bank number and the 8 KB block, and programs that one bank. Put them ',
      'on a disk image made below (or copy them to the SD card of an SD drive) and run them one after the other.',
    ),
    inFlash.length ? element('ol', {}, inFlash.map(driveItem)) : null,
    away.length ? awayLoaders(away, ready) : null,
    element('p', {}, zipLink),
    imageLink
      ? element('p', {}, imageLink, ': the image of the whole flash, for a device programmer (the TL866).')
      : null,
  );
  ready();
}

const driveItem = (loader) =>
  element(
    'li',
    {},
    element('code', {}, isolated(loader.file)),
    `: bank ${loader.bank}, `,
    loader.rom === null ? `unknown ROM (CRC-16 ${loader.crc})` : isolated(loader.rom),
  );

// Returns: the bank loader files for banks past the flash, apart, each with a box that puts it on the disk all the same.
function awayLoaders(away, ready) {
  const banks = away.map((loader) => `bank ${loader.bank}`).join(', ');
  return element(
    'div',
    { className: 'away' },
    element(
      'p',
      { className: 'problem' },
      `Not in the flash, whose banks are 00–3f: ${plural(away.length, 'file')} for ${banks}. `,
      'What the flasher does with such a bank is not known; they are left off the disk unless ticked.',
    ),
    away.map((loader) =>
      element(
        'label',
        {},
        element('input', { type: 'checkbox', className: 'away-loader', value: loader.file, onchange: ready }),
        ' Put ',
        element('code', {}, isolated(loader.file)),
        ` (bank ${loader.bank}) on the disk all the same`,
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
