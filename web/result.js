// The verdict of a run, in words, and the next step to the drive. Every fact
// is the tools': the exit status, the console, and the inspector's reports
// of the files the run wrote and of the ROM files it read.
import { element, isolated, nameList, plural } from './views.js';

const FLASHER = 'fcFlash.prg';
const MOST_LISTED = 16;  // unknown blocks offered one by one; a ROM of thousands is told in a count

// Returns: the facts of a run from the inspector's entries (reports: Map
// name -> JSON entry) of the files it wrote and the ROM files it read.
export function runFacts(record, reports, workspaceNames) {
  const written = record.written.map((name) => reports.get(name)).filter(Boolean);
  const loaders = written.filter((entry) => entry.kind === 'bank loader' && entry.flasher && entry.block)
    .map((entry) => ({ file: entry.file, bank: entry.flasher.bank, rom: entry.block.name, crc: entry.block.crc }))
    .sort((a, b) => (a.bank < b.bank ? -1 : a.bank > b.bank ? 1 : 0));
  const damaged = written.filter((entry) => entry.kind === 'bank loader' && !(entry.flasher && entry.block));
  const roms = record.read.map((name) => reports.get(name)).filter((entry) => entry && entry.kind === 'ROM file');
  const unknown = roms.flatMap((entry) => entry.blocks.filter((block) => block.content === 'unknown')
    .map((block) => ({ file: entry.file, block: block.block, crc: block.crc })));
  const blank = roms.reduce((sum, entry) => sum + entry.blocks.filter((block) => block.content === 'blank').length, 0);
  const usable = roms.reduce((sum, entry) => sum + entry.blocks.filter((block) => block.content === 'known').length, 0);
  return { loaders, damaged, unknown, blank, usable, romsRead: roms.length, noFlasher: !workspaceNames.includes(FLASHER) };
}

// Returns: the console lines that hold error text, each as the id of its first error piece.
export function errorLines(pieces) {
  let lines = 0;
  let inError = false;  // the current line holds error text already
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

// Says what the run did, where the user looks first: styled by outcome, in
// words, with the unknown blocks each offered to the catalogue.
export function showVerdict(target, record, facts, { onAddToCatalogue, outputs }) {
  const errors = errorLines(record.pieces);
  const parts = [];
  let tone;
  let headline;
  if (record.status < 0) {
    tone = 'bad';
    headline = `The run did not finish: ${record.stopped || 'it was aborted'}. Nothing it did was kept.`;
  } else if (facts.loaders.length > 0) {
    tone = record.status === 0 ? 'good' : 'bad';
    headline = `${plural(facts.loaders.length, 'bank loader file')} written` +
      (record.status === 0 ? ', and every output in full (exit status 0).' : ', but not every output could be written in full (exit status 1).');
  } else {
    tone = record.status === 0 ? 'warn' : 'bad';
    headline = `No bank loader file was written (exit status ${record.status}).`;
  }
  parts.push(element('p', { className: 'headline' }, headline), element('p', {}, 'Command line: ', element('code', {}, record.command)));
  if (facts.loaders.length > 0) {
    parts.push(element('p', {}, 'Bank loader files, by bank:'), element('ul', {}, ...facts.loaders.map((loader) =>
      element('li', {}, `bank ${loader.bank}: `, element('code', {}, isolated(loader.file)), ', ',
        loader.rom === null ? `unknown ROM (CRC-16 ${loader.crc})` : isolated(loader.rom)))));
  }
  if (record.status >= 0 && facts.loaders.length === 0) {
    const why = [];
    if (facts.noFlasher) why.push(`There is no ${FLASHER} (the flasher program) in the workspace: add it, then run again.`);
    if (facts.romsRead > 0 && facts.usable === 0) {
      why.push('No block of the ROM files run is known to the catalogue: each is unknown or blank.');
    }
    if (errors > 0) why.push('The tool says why in the console: its error lines are set apart there.');
    if (why.length === 0) why.push('No block was sent to a bank: the console tells the steps.');
    parts.push(element('ul', {}, ...why.map((text) => element('li', {}, text))));
  }
  if (facts.unknown.length > 0) {
    const shown = facts.unknown.slice(0, MOST_LISTED);
    parts.push(element('p', {}, `${plural(facts.unknown.length, 'block')} the catalogue does not know (added to it, each goes to its banks at the next run):`),
      element('ul', {}, ...shown.map((block) => {
        const add = element('button', { type: 'button' }, 'Add to catalogue');
        add.addEventListener('click', () => onAddToCatalogue(block));
        return element('li', {}, element('code', {}, isolated(block.file)), `, block ${block.block}: CRC-16 `,
          element('code', {}, block.crc), ' ', add);
      }), facts.unknown.length > shown.length
        ? element('li', {}, `and ${plural(facts.unknown.length - shown.length, 'more')}: the inspector's report of each ROM file lists them all`)
        : null));
  }
  if (facts.blank > 0) parts.push(element('p', {}, `${plural(facts.blank, 'blank block')} (all $FF) passed over: a blank bank needs no programming.`));
  if (facts.damaged.length > 0) parts.push(element('p', {}, 'Damaged: ', ...nameList(facts.damaged.map((entry) => entry.file)), '.'));
  if (errors > 0) {
    parts.push(element('p', {}, `${plural(errors, 'error line')} in the console: `,
      element('a', { href: '#console-error-1' }, 'the first one'), '.'));
  }
  if (outputs) parts.push(outputs);
  target.className = tone;
  target.replaceChildren(...parts);
}

// Offers the bank loader files of the run for the drive, in bank order, and
// flash.bin for a device programmer.
export function showDrive(section, body, facts, { zipLink, imageLink }) {
  section.hidden = facts.loaders.length === 0;
  if (section.hidden) return;
  body.replaceChildren(
    element('p', {}, 'Each bank loader file is a program for the drive: loaded and run on the computer the drive ',
      'hangs on, it carries the flasher, the bank number and the 8 KB block, and programs that one bank. Put them ',
      'on a disk image made below (or copy them to the SD card of an SD drive) and run them one after the other.'),
    element('ol', {}, ...facts.loaders.map((loader) => element('li', {}, element('code', {}, isolated(loader.file)),
      `: bank ${loader.bank}, `, loader.rom === null ? `unknown ROM (CRC-16 ${loader.crc})` : isolated(loader.rom)))),
    element('p', {}, zipLink),
    ...(imageLink ? [element('p', {}, imageLink, ': the image of the whole flash, for a device programmer (the TL866).')] : []));
}
