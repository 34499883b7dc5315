// The workspace's files as a grid, one Tab stop: each file with its size,
// its kind and what it holds in the inspector's words, and its actions
// (download, remove, add an unknown block to the catalogue). Rows are made
// anew only for the files whose bytes, words or mark changed.
import { page } from './state.js';
import { language, say, text } from './language.js';
import { element, isolated, sizeText, downloadLink } from './views.js';
import { roving } from './roving.js';
import { CATALOGUE, CONTENT, FLASHER, KIND } from './words.js';
import * as Workspace from './workspace.js';

const MOST_CHARACTERS = 280; // what a row says of a file, at most: a ROM of thousands of blocks is told in counts
const MOST_ADDS = 3; // unknown blocks of a file offered to the catalogue on its row
const FLASHER_KIND = 'flasher';
const OTHER_KIND = 'other';
const NAMED_KINDS = new Map([
  [CATALOGUE, KIND.CATALOGUE],
  [FLASHER, FLASHER_KIND],
]);
const KIND_KEYS = new Map([
  [KIND.IMAGE, 'kind.image'],
  [KIND.ROM, 'kind.rom'],
  [KIND.LOADER, 'kind.loader'],
  [KIND.CATALOGUE, 'kind.catalogue'],
  [KIND.DISK, 'kind.disk'],
  [FLASHER_KIND, 'kind.flasher'],
  [OTHER_KIND, 'kind.other'],
]);

// Returns: the kind of a file (the inspector's "kind", or the flasher's or
// other): the fixed names first, then the inspector's word.
export function kindOf(name) {
  const told = (page.reports.get(name) || {}).kind;
  return NAMED_KINDS.get(name) || (KIND_KEYS.has(told) ? told : OTHER_KIND);
}
export const kindWords = (kind) => text(KIND_KEYS.get(kind));
export const isFixedName = (name) => NAMED_KINDS.has(name);
export const namesOfKind = (kind) => Workspace.names().filter((name) => kindOf(name) === kind);

// Returns: the file's mark after the last run, and "not kept" where the browser refused it.
export function markText(name) {
  const mark = page.record && page.record.marks[name];
  const notKept = page.kept && !Workspace.isKept(name) ? text('mark.notKept') : '';
  return [mark ? text(`mark.${mark}`) : '', notKept].filter(Boolean).join(', ');
}

const textOf = (parts) =>
  parts
    .flat(Infinity)
    .map((part) => (typeof part === 'string' ? part : part.textContent))
    .join('');
const banksWord = (banks) => text('words.banks', { n: banks.length, banks: banks.join(' ') });

// Returns: the ROMs of a file's blocks or banks, each with its banks (each
// once) and how many blocks hold it; and the unknown blocks and the blank ones.
function contents(entry) {
  const blocks = entry.blocks || entry.banks || [];
  const roms = new Map(); // name -> { banks: Set, count }
  const unknown = [];
  let blank = 0;
  for (const block of blocks) {
    if (block.content === CONTENT.BLANK) blank++;
    else if (block.content === CONTENT.UNKNOWN) unknown.push(block);
    else {
      const rom = roms.get(block.name) || { banks: new Set(), count: 0 };
      for (const bank of entry.kind === KIND.ROM ? block.banks : [block.bank]) rom.banks.add(bank);
      rom.count++;
      roms.set(block.name, rom);
    }
  }
  return { blocks, roms, unknown, blank };
}

// Returns: what an image or a ROM file holds, in few words: each ROM with
// its banks, repeated blocks counted, unknown and blank ones counted.
function romWords(entry) {
  const { blocks, roms, unknown, blank } = contents(entry);
  const unit = entry.kind === KIND.ROM ? 'Blocks' : 'Banks';
  const parts = romParts(roms, unit);
  const add = (...more) => parts.push(parts.length ? '; ' : '', ...more);
  if (unknown.length > 0) add(unknownWords(unknown, unit));
  if (blank > 0) add(text(`holds.blank${unit}`, { n: blank }));
  if (entry.kind === KIND.ROM && blocks.length === 0) add(text('holds.noBlock'));
  return parts;
}

// Returns: each ROM with its banks and how many blocks hold it, as many as
// a row's length allows, and how many more.
function romParts(roms, unit) {
  const parts = [];
  let left = roms.size;
  for (const [rom, { banks, count }] of roms) {
    if (textOf(parts).length > MOST_CHARACTERS - 60) break;
    left--;
    parts.push(parts.length ? '; ' : '', isolated(rom), ` → ${banksWord([...banks])}`);
    if (count > banks.size) parts.push(text(`holds.times${unit}`, { n: count }));
  }
  if (left > 0) parts.push('; ', text('holds.moreRoms', { n: left }));
  return parts;
}

// Returns: the unknown blocks (or banks) in words: the one with its CRC-16, or how many and their first CRC-16s.
function unknownWords(unknown, unit) {
  if (unknown.length === 1) {
    const [one] = unknown;
    const crc = element('span', { className: 'unknown-crc', translate: false }, one.crc);
    return say(`holds.unknown${unit}One`, { at: one.block || one.bank, crc });
  }
  const crcs = [...new Set(unknown.map((block) => block.crc))];
  const listed = `${crcs.slice(0, 3).join(' ')}${crcs.length > 3 ? ' …' : ''}`;
  return text(`holds.unknown${unit}`, { n: unknown.length, crcs: listed });
}

// Returns: what a file holds, in a few words, from the inspector's report of it.
export function holds(name) {
  if (name === CATALOGUE) {
    const summary = page.catalogue && page.catalogue.summary;
    return summary ? [text('holds.entries', { n: summary.entries })] : [];
  }
  if (name === FLASHER) return [text('holds.flasher')];
  const entry = page.reports.get(name);
  if (!entry) return [];
  if (entry.error) return [element('span', { translate: false }, entry.error)]; // the inspector's own words
  if (entry.kind === KIND.LOADER) return loaderWords(entry);
  return entry.kind === KIND.DISK ? diskWords(entry) : romWords(entry);
}

function loaderWords(entry) {
  if (!entry.flasher || !entry.block) {
    const damage = entry.damage ? element('span', { translate: false }, entry.damage.kind) : text('holds.noRecords');
    return say('holds.damaged', { damage });
  }
  const rom =
    entry.block.name === null ? text('words.unknownRom', { crc: entry.block.crc }) : isolated(entry.block.name);
  return say(entry.flasher.inFlash ? 'holds.loader' : 'holds.loaderAway', { bank: entry.flasher.bank, rom });
}

function diskWords(entry) {
  const banks = entry.files
    .filter((file) => file.kind === KIND.LOADER && file.flasher)
    .map((file) => file.flasher.bank);
  const damage = entry.damage.join('; ');
  const told = damage.length > 160 ? `${damage.slice(0, 160)}…` : damage;
  return [
    say('holds.disk', { name: isolated(entry.name), n: entry.files.length }),
    banks.length ? ` (${banksWord(banks.slice(0, 40))}${banks.length > 40 ? ' …' : ''})` : '',
    text('holds.blocksFree', { n: entry.blocksFree }),
    damage ? ['; ', say('holds.damaged', { damage: element('span', { translate: false }, told) })] : '',
    !damage && !entry.ok ? text('holds.diskNotRight') : '',
  ];
}

// Returns: the unknown blocks of a ROM file, each CRC-16 once, as the catalogue form takes them.
export function unknownBlocks(name) {
  const entry = page.reports.get(name);
  if (!entry || entry.kind !== KIND.ROM) return [];
  const seen = new Set();
  return entry.blocks
    .filter((block) => block.content === CONTENT.UNKNOWN && !seen.has(block.crc) && seen.add(block.crc))
    .map((block) => ({ file: name, block: block.block, crc: block.crc }));
}

// Returns: the button that offers an unknown block to the catalogue, named for the block.
export function addButton(block, onAdd) {
  const button = element(
    'button',
    { type: 'button', className: 'busy-off add', tabIndex: -1 },
    say('files.addBlock', { block: block.block, file: isolated(block.file) }),
  );
  button.addEventListener('click', () => onAdd(block, button));
  return button;
}

const rows = new Map(); // name -> { row, bytes, signature }

// Returns: a file's download link and remove button, named for it, out of the Tab order (the grid moves to them).
function rowActions(name, actions) {
  const remove = element(
    'button',
    { type: 'button', 'aria-label': text('files.removeNamed', { name }), className: 'busy-off', tabIndex: -1 },
    text('files.remove'),
  );
  const download = downloadLink(
    name,
    () => Workspace.get(name),
    text('files.download'),
    text('files.downloadNamed', { name }),
  );
  download.tabIndex = -1;
  remove.addEventListener('click', () => actions.onRemove(name));
  return [download, ' ', remove];
}

function fileRow(name, bytes, holdsParts, actions) {
  const mark = markText(name);
  const adds = unknownBlocks(name)
    .slice(0, MOST_ADDS)
    .map((block) => addButton(block, actions.onAdd));
  return element(
    'tr',
    { className: (page.record && page.record.marks[name]) || '', role: 'row' },
    element(
      'td',
      { role: 'gridcell' },
      element('code', { className: 'name', tabIndex: -1, translate: false }, isolated(name)),
      element('br'),
      element('span', { className: 'size' }, `${sizeText(bytes.length)}, `),
      element('span', { className: 'kind' }, kindWords(kindOf(name))),
      mark ? element('span', { className: 'kind' }, ` (${mark})`) : null,
    ),
    element('td', { role: 'gridcell' }, element('span', { className: 'holds' }, holdsParts)),
    element(
      'td',
      { role: 'gridcell', className: 'actions-cell' },
      rowActions(name, actions),
      adds.map((add) => [' ', add]),
    ),
  );
}

// Shows the files, each row made anew only when its file changed.
// actions: { onRemove(name), onAdd(block, button) }.
export function showFiles(actions) {
  const table = document.getElementById('files');
  const tbody = table.tBodies[0];
  const names = Workspace.names();
  for (const [name, shown] of rows) {
    if (!Workspace.get(name)) {
      shown.row.remove();
      rows.delete(name);
    }
  }
  let previous = null;
  for (const name of names) {
    const row = rowOf(name, actions);
    const place = previous ? previous.nextSibling : tbody.firstChild;
    if (place !== row) tbody.insertBefore(row, place);
    previous = row;
  }
  roving(table, 'tbody tr', 'code.name, a, button');
  document.getElementById('workspace-note').textContent = names.length
    ? text('files.count', { n: names.length })
    : text('files.empty');
}

// Returns: the row of a file: the one shown, unless its bytes, words or mark changed.
function rowOf(name, actions) {
  const bytes = Workspace.get(name);
  const holdsParts = holds(name);
  const signature = `${language()}|${kindOf(name)}|${markText(name)}|${textOf(holdsParts)}|${unknownBlocks(name).length}`;
  const shown = rows.get(name);
  if (shown && shown.bytes === bytes && shown.signature === signature) return shown.row;
  const row = fileRow(name, bytes, holdsParts, actions);
  if (shown) shown.row.replaceWith(row);
  rows.set(name, { row, bytes, signature });
  return row;
}

// Returns: where the focus goes when name's row is gone: the next row's name, or the file input.
export function focusAfter(name) {
  const shown = rows.get(name);
  const next = shown && (shown.row.nextElementSibling || shown.row.previousElementSibling);
  return () => {
    const target = next && next.isConnected ? next.querySelector('code.name') : document.getElementById('pick');
    target.focus();
  };
}
