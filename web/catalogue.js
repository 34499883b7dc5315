// The catalogue in hand: what crc.ini holds as the tool reads it, each
// refused line, each CRC-16 listed more than once and each bank more than
// one entry names flagged.
import { say, text } from './language.js';
import { element, fill, isolated } from './views.js';

const MOST_NOTES = 8;

// Returns: the notes of banks that more than one entry names: the later run writes over the earlier.
function sharedBanks(digest) {
  return Object.entries(digest.byBank || {})
    .filter(([, named]) => named.count > 1)
    .sort(([a], [b]) => (a < b ? -1 : 1))
    .slice(0, MOST_NOTES)
    .map(([bank, named]) =>
      element(
        'p',
        { className: 'note shared' },
        say(named.count > named.entries.length ? 'catalogue.sharedLast' : 'catalogue.shared', {
          bank,
          n: named.count,
          entries: named.entries.map((entry, i) => [
            i ? ', ' : '',
            say('catalogue.entryLine', { name: isolated(entry.name), line: entry.line }),
          ]),
        }),
      ),
    );
}

// Returns: the rows of the entries and refused lines the digest carries, in line order.
function catalogueRows(digest) {
  return [
    ...digest.entries.map((entry) => ({
      line: entry.line,
      cells: [element('code', { translate: false }, entry.crc), entry.banks.join(' '), isolated(entry.name)],
    })),
    ...digest.refused.map((line) => ({
      line: line.line,
      refused: true,
      cells: [say('catalogue.refused', { status: line.status, why: element('span', { translate: false }, line.why) })],
    })),
  ].sort((a, b) => a.line - b.line);
}

function entriesTable(rows) {
  const head = ['catalogue.line', 'catalogue.crc', 'catalogue.banks', 'catalogue.romName'].map((key) =>
    element('th', { scope: 'col' }, text(key)),
  );
  const body = rows.map((row) =>
    element(
      'tr',
      { className: row.refused ? 'refused' : '' },
      element('td', {}, String(row.line)),
      row.cells.map((cell) => element('td', row.refused ? { colSpan: 3 } : {}, cell)),
    ),
  );
  return element(
    'div',
    { className: 'scroll files-box', role: 'region', 'aria-label': text('catalogue.entries'), tabIndex: 0 },
    element(
      'table',
      {},
      element('caption', { className: 'sr-only' }, say('catalogue.entries')),
      element('thead', {}, element('tr', {}, head)),
      element('tbody', {}, body),
    ),
  );
}

function summaryLine({ summary }) {
  return element(
    'p',
    {},
    text('catalogue.summary', {
      entries: text('holds.entries', { n: summary.entries }),
      lines: text('catalogue.lines', { n: summary.lines }),
    }),
    summary.refused ? text('catalogue.refusedCount', { n: summary.refused }) : '',
    summary.listedAgain ? text('catalogue.againCount', { n: summary.listedAgain }) : '',
    '.',
  );
}

// Says there is no crc.ini (and offers the built-in one), or that it cannot be listed here.
function showNoCatalogue(body, digest, onWriteDefault) {
  if (digest) {
    fill(body, element('p', {}, say('catalogue.unlisted', { error: digest.error })));
    return;
  }
  const write = element('button', { type: 'button' }, say('catalogue.writeDefault'));
  write.addEventListener('click', onWriteDefault);
  fill(body, element('p', {}, say('catalogue.none')), element('p', {}, write));
}

// Shows a catalogue as the inspector read it (its digest): each entry (the
// first lines of a long one), the lines refused, the CRC-16s listed more
// than once, the banks more than one entry names.
export function showCatalogue(body, digest, { onWriteDefault }) {
  if (!digest || digest.error) {
    showNoCatalogue(body, digest, onWriteDefault);
    return;
  }
  const rows = catalogueRows(digest);
  const again = digest.listedAgain
    .slice(0, MOST_NOTES)
    .map((listed) =>
      element(
        'p',
        { className: 'problem' },
        text('catalogue.listedAgain', { crc: listed.crc, lines: listed.lines.join(', '), used: listed.used }),
      ),
    );
  const cut = rows.length < digest.summary.entries + digest.summary.refused;
  fill(
    body,
    summaryLine(digest),
    again,
    sharedBanks(digest),
    entriesTable(rows),
    cut ? element('p', { className: 'note' }, say('catalogue.cut', { n: rows.length })) : null,
  );
}
