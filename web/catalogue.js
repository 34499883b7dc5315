// The catalogue in hand: what crc.ini holds as the tool reads it, each
// refused line, each CRC-16 listed more than once and each bank more than
// one entry names flagged.
import { element, fill, isolated, plural } from './views.js';

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
        `bank ${bank} is named by ${plural(named.count, 'entry', 'entries')}`,
        named.count > named.entries.length ? ', the last of them' : '',
        ': ',
        named.entries.map((entry, i) => [i ? ', ' : '', isolated(entry.name), ` (line ${entry.line})`]),
        ': a run writes each ROM it is given there, the later over the earlier.',
      ),
    );
}

// Returns: the rows of the entries and refused lines the digest carries, in line order.
function catalogueRows(digest) {
  return [
    ...digest.entries.map((entry) => ({
      line: entry.line,
      cells: [element('code', {}, entry.crc), entry.banks.join(' '), isolated(entry.name)],
    })),
    ...digest.refused.map((line) => ({
      line: line.line,
      refused: true,
      cells: [`refused (rc=${line.status}): ${line.why}`],
    })),
  ].sort((a, b) => a.line - b.line);
}

function entriesTable(rows) {
  const head = ['line', 'CRC-16', 'banks', 'ROM name'].map((h) => element('th', { scope: 'col' }, h));
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
    { className: 'scroll files-box', role: 'region', 'aria-label': 'Entries of crc.ini', tabIndex: 0 },
    element(
      'table',
      {},
      element('caption', { className: 'sr-only' }, 'Entries of crc.ini'),
      element('thead', {}, element('tr', {}, head)),
      element('tbody', {}, body),
    ),
  );
}

function summaryLine({ summary }) {
  return element(
    'p',
    {},
    `${plural(summary.entries, 'entry', 'entries')} on ${plural(summary.lines, 'line')}`,
    summary.refused ? `; ${plural(summary.refused, 'line')} refused` : '',
    summary.listedAgain ? `; ${plural(summary.listedAgain, 'CRC-16')} listed more than once` : '',
    '.',
  );
}

// Says there is no crc.ini (and offers the built-in one), or that it cannot be listed here.
function showNoCatalogue(body, digest, onWriteDefault) {
  if (digest) {
    fill(
      body,
      element(
        'p',
        {},
        `crc.ini cannot be listed here: ${digest.error}. `,
        'A run of the tool reads it on its own, and says so if it cannot.',
      ),
    );
    return;
  }
  const write = element('button', { type: 'button' }, 'Write the built-in crc.ini');
  write.addEventListener('click', onWriteDefault);
  fill(
    body,
    element(
      'p',
      {},
      'There is no crc.ini: the tool writes its built-in catalogue at the first ',
      'run, and takes blocks to banks by it.',
    ),
    element('p', {}, write),
  );
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
        `${listed.crc} is listed on lines ${listed.lines.join(', ')}: the tool uses line ${listed.used}.`,
      ),
    );
  const cut = rows.length < digest.summary.entries + digest.summary.refused;
  fill(
    body,
    summaryLine(digest),
    again,
    sharedBanks(digest),
    entriesTable(rows),
    cut
      ? element(
          'p',
          { className: 'note' },
          `The first ${plural(rows.length, 'line')} of entries and refusals are shown: inspect crc.ini for all of them.`,
        )
      : null,
  );
}
