// The picture of the flash: 64 banks, eight to a row, drawn from what
// quillmore-flashinfo --json says of each bank, as a grid with one Tab stop
// that the arrow keys, Home and End move within. A ROM's colour comes with a
// letter in its cells and in the legend, unknown banks are hatched with "?",
// misplaced ones dashed with "!", so colour is never the only sign.
import { CONTENT } from './words.js';
import { say, text as words } from './language.js';
import { element, isolated } from './views.js';

const COLOURS = [
  '#9fd3ff',
  '#ffc98f',
  '#b5e8a3',
  '#f5b0d6',
  '#d6c3ff',
  '#fff08a',
  '#9ee6dc',
  '#ffb3a7',
  '#c9d98c',
  '#d2b48c',
  '#b0c4ef',
  '#e8c9e8',
];
const LETTERS = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';
const ROW = 8;

const grid = { active: 0 }; // the bank whose cell holds the grid's Tab stop

// Returns: what the bank holds, in the inspector's words, as text and
// elements, the ROM name isolated from the words around it.
function describe(bank, difference) {
  const parts = [];
  const { crc } = bank;
  if (bank.content === CONTENT.BLANK) parts.push(say('map.blank', { bank: bank.bank }));
  else if (bank.content === CONTENT.UNKNOWN) parts.push(say('map.unknown', { bank: bank.bank, crc }));
  else parts.push(say('map.known', { bank: bank.bank, name: isolated(bank.name), crc }));
  if (bank.misplaced) parts.push(say('map.misplaced', { banks: bank.catalogueBanks.join(' ') }));
  if (difference) {
    const side = (held) =>
      held.content === CONTENT.BLANK
        ? say('map.sideBlank')
        : held.name
          ? say('map.sideKnown', { name: isolated(held.name), crc: held.crc })
          : say('map.sideUnknown', { crc: held.crc });
    parts.push(
      say('map.differs', {
        n: difference.differingBytes,
        expected: side(difference.expected),
        found: side(difference.found),
      }),
    );
  }
  return parts;
}

const text = (parts) =>
  parts
    .flat(Infinity)
    .map((part) => (typeof part === 'string' ? part : part.textContent))
    .join('');

function cell(bank, rom, difference, detail) {
  const label = text(describe(bank, difference));
  const mark = bank.content === CONTENT.UNKNOWN ? '?' : bank.misplaced ? `${rom.letter}!` : rom ? rom.letter : '';
  const classes = [
    bank.content === CONTENT.KNOWN ? 'rom' : bank.content,
    bank.misplaced ? 'misplaced' : '',
    difference ? 'differs' : '',
  ];
  // The mark is drawn by the style sheet: the name is the whole description.
  const node = element(
    'td',
    { role: 'gridcell', className: classes.join(' ').trim(), 'aria-label': label, 'data-mark': mark, tabIndex: -1 },
    bank.bank,
  );
  if (rom) node.style.setProperty('--rom-colour', rom.colour);
  const tell = () => detail.replaceChildren(...describe(bank, difference).flat(Infinity));
  node.addEventListener('focus', () => {
    grid.active = parseInt(bank.bank, 16);
    tell();
  });
  // A pointer that moves, not a page scrolled under it.
  node.addEventListener('pointermove', tell);
  return node;
}

function swatch(className, mark, colour) {
  const node = element('span', { className: `swatch ${className}`, 'aria-hidden': 'true' }, mark);
  if (colour) node.style.setProperty('background', colour);
  return node;
}

// Moves the focus within the grid: arrows by one, Home and End to the
// row's ends (with Ctrl, the grid's).
function move(table, event) {
  const cells = [...table.querySelectorAll('td')];
  const at = cells.indexOf(document.activeElement);
  if (at < 0) return;
  const row = at - (at % ROW);
  const target = {
    ArrowRight: Math.min(at + 1, cells.length - 1),
    ArrowLeft: Math.max(at - 1, 0),
    ArrowDown: at + ROW < cells.length ? at + ROW : at,
    ArrowUp: at - ROW >= 0 ? at - ROW : at,
    Home: event.ctrlKey ? 0 : row,
    End: event.ctrlKey ? cells.length - 1 : Math.min(row + ROW - 1, cells.length - 1),
  }[event.key];
  if (target === undefined) return;
  event.preventDefault();
  cells[at].tabIndex = -1;
  cells[target].tabIndex = 0;
  cells[target].focus();
}

// Draws banks (the inspector's entries for an image) into view; differing
// maps a bank ("0b") to the comparison's entry for it ({ differingBytes,
// expected, found }).
export function draw(view, banks, differing = new Map()) {
  const roms = romsOf(banks);
  const hadFocus = view.table.contains(document.activeElement);
  const cells = banks.map((bank) => cell(bank, roms.get(bank.name), differing.get(bank.bank), view.detail));
  if (grid.active >= cells.length) grid.active = 0;
  if (cells.length > 0) cells[grid.active].tabIndex = 0;
  const rows = [];
  for (let row = 0; row < cells.length; row += ROW)
    rows.push(element('tr', { role: 'row' }, cells.slice(row, row + ROW)));
  view.table.tBodies[0].replaceChildren(...rows);
  if (!view.table.dataset.keys) {
    view.table.dataset.keys = 'on';
    view.table.addEventListener('keydown', (event) => move(view.table, event));
  }
  if (hadFocus && cells.length > 0) cells[grid.active].focus();
  view.legend.replaceChildren(...legend(roms, banks, differing));
}

// Returns: each ROM the banks hold, with its letter, colour and banks, in the order first met.
function romsOf(banks) {
  const roms = new Map(); // name -> { letter, colour, banks }
  for (const bank of banks.filter((b) => b.content === CONTENT.KNOWN)) {
    if (!roms.has(bank.name)) {
      const n = roms.size;
      roms.set(bank.name, { letter: LETTERS[n % LETTERS.length], colour: COLOURS[n % COLOURS.length], banks: [] });
    }
    roms.get(bank.name).banks.push(bank.bank);
  }
  return roms;
}

// Returns: the legend's items: each ROM with its banks, then each sign the map shows, with how many banks.
function legend(roms, banks, differing) {
  const entries = [...roms].map(([name, rom]) =>
    element(
      'li',
      {},
      swatch('', rom.letter, rom.colour),
      isolated(name),
      `: ${words('words.banks', { n: rom.banks.length, banks: rom.banks.join(' ') })}`,
    ),
  );
  const count = (test) => banks.filter(test).length;
  const more = [
    [count((b) => b.content === CONTENT.BLANK), swatch('', ' '), 'map.legendBlank'],
    [count((b) => b.content === CONTENT.UNKNOWN), swatch('unknown', '?'), 'map.legendUnknown'],
    [count((b) => b.misplaced), swatch('misplaced', '!'), 'map.legendMisplaced'],
    [differing.size, swatch('', '≠'), 'map.legendDiffers'],
  ];
  for (const [n, sign, key] of more) if (n > 0) entries.push(element('li', {}, sign, words(key, { n })));
  return entries;
}
