// The picture of the flash: 64 banks, eight to a row, drawn from what
// quillmore-flashinfo --json says of each bank. A ROM's colour comes with a
// letter in its cells and in the legend, unknown banks are hatched with "?",
// misplaced ones dashed with "!", so colour is never the only sign.
import { element, isolated } from './views.js';

const COLOURS = ['#9fd3ff', '#ffc98f', '#b5e8a3', '#f5b0d6', '#d6c3ff', '#fff08a', '#9ee6dc', '#ffb3a7',
  '#c9d98c', '#d2b48c', '#b0c4ef', '#e8c9e8'];
const LETTERS = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';

// Returns: what the bank holds, in the inspector's words, as text and
// elements, the ROM name isolated from the words around it.
function describe(bank, difference) {
  const parts = [];
  if (bank.content === 'blank') parts.push(`bank ${bank.bank}: blank`);
  else if (bank.content === 'unknown') parts.push(`bank ${bank.bank}: unknown, CRC-16 ${bank.crc}`);
  else parts.push(`bank ${bank.bank}: `, isolated(bank.name), `, CRC-16 ${bank.crc}`);
  if (bank.misplaced) parts.push(`; misplaced: the catalogue names ${bank.catalogueBanks.join(' ')}`);
  if (difference) parts.push(`; differs from the expected image in ${difference} bytes`);
  return parts;
}

const text = (parts) => parts.map((part) => (typeof part === 'string' ? part : part.textContent)).join('');

function cell(bank, rom, difference, detail) {
  const label = text(describe(bank, difference));
  const mark = bank.content === 'unknown' ? '?' : bank.misplaced ? `${rom.letter}!` : rom ? rom.letter : '';
  const classes = [bank.content === 'known' ? 'rom' : bank.content, bank.misplaced ? 'misplaced' : '', difference ? 'differs' : ''];
  // The mark is drawn by the style sheet: the name is the whole description.
  const button = element('button', { type: 'button', className: classes.join(' ').trim(), 'aria-label': label, 'data-mark': mark },
    bank.bank);
  if (rom) button.style.setProperty('--rom-colour', rom.colour);
  const tell = () => detail.replaceChildren(...describe(bank, difference));
  button.addEventListener('mouseenter', tell);
  button.addEventListener('focus', tell);
  button.addEventListener('click', tell);
  return button;
}

function swatch(className, text, colour) {
  const node = element('span', { className: `swatch ${className}`, 'aria-hidden': 'true' }, text);
  if (colour) node.style.setProperty('background', colour);
  return node;
}

// Draws banks (the inspector's entries for an image) into view; differing
// maps a bank ("0b") to its count of differing bytes.
export function draw(view, banks, differing = new Map()) {
  const roms = new Map();  // name -> { letter, colour, banks }
  for (const bank of banks.filter((b) => b.content === 'known')) {
    if (!roms.has(bank.name)) {
      const n = roms.size;
      roms.set(bank.name, { letter: LETTERS[n % LETTERS.length], colour: COLOURS[n % COLOURS.length], banks: [] });
    }
    roms.get(bank.name).banks.push(bank.bank);
  }
  const rows = [];
  for (let row = 0; row < 8; row++) {
    const cells = banks.slice(row * 8, row * 8 + 8)
      .map((bank) => element('td', {}, cell(bank, roms.get(bank.name), differing.get(bank.bank), view.detail)));
    rows.push(element('tr', {}, ...cells));
  }
  view.table.tBodies[0].replaceChildren(...rows);
  const entries = [...roms].map(([name, rom]) =>
    element('li', {}, swatch('', rom.letter, rom.colour), isolated(name), `: bank${rom.banks.length > 1 ? 's' : ''} ${rom.banks.join(' ')}`));
  const count = (test) => banks.filter(test).length;
  const more = [
    [count((b) => b.content === 'blank'), swatch('', ' '), 'blank'],
    [count((b) => b.content === 'unknown'), swatch('unknown', '?'), 'unknown: no catalogue entry has its CRC-16'],
    [count((b) => b.misplaced), swatch('misplaced', '!'), 'misplaced: in a bank its catalogue entry does not name'],
    [differing.size, swatch('', '≠'), 'outlined: differs from the expected image'],
  ];
  for (const [n, sign, text] of more) if (n > 0) entries.push(element('li', {}, sign, `${text} (${n})`));
  view.legend.replaceChildren(...entries);
}
