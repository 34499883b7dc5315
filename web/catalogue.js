// The catalogue in hand: what crc.ini holds as the tool reads it, and a
// form that adds a line for an unknown block, checked by the tool's parser.
import { element, isolated, plural } from './views.js';

const $ = (id) => document.getElementById(id);

// Shows a catalogue as the inspector read it: each entry, each refused line
// flagged, each CRC-16 listed more than once.
export function showCatalogue(body, report, { onWriteDefault }) {
  if (!report) {
    const write = element('button', { type: 'button' }, 'Write the built-in crc.ini');
    write.addEventListener('click', onWriteDefault);
    body.replaceChildren(element('p', {}, 'There is no crc.ini: the tool writes its built-in catalogue at the first ',
      'run, and takes blocks to banks by it.'), element('p', {}, write));
    return;
  }
  if (report.aborted || report.error) {
    body.replaceChildren(element('p', {}, 'crc.ini could not be read here: ', report.error || 'it is more than a run can hold', '.'));
    return;
  }
  const rows = [...report.entries.map((entry) => ({ line: entry.line, cells: [entry.crc, entry.banks.join(' '), isolated(entry.name)] })),
    ...report.refused.map((line) => ({ line: line.line, refused: true, cells: [`refused (rc=${line.status}): ${line.why}`] }))]
    .sort((a, b) => a.line - b.line);
  const summary = report.summary;
  body.replaceChildren(
    element('p', {}, `${plural(summary.entries, 'entry', 'entries')} on ${plural(summary.lines, 'line')}`,
      summary.refused ? `; ${plural(summary.refused, 'line')} refused` : '',
      summary.listedAgain ? `; ${plural(summary.listedAgain, 'CRC-16')} listed more than once` : '', '.'),
    ...report.listedAgain.map((again) => element('p', { className: 'problem' },
      `${again.crc} is listed on lines ${again.lines.join(', ')}: the tool uses line ${again.used}.`)),
    element('div', { className: 'scroll files-box', tabIndex: 0, role: 'region', 'aria-label': 'Entries of crc.ini' }, element('table', {},
      element('caption', { className: 'sr-only' }, 'Entries of crc.ini'),
      element('thead', {}, element('tr', {}, ...['line', 'CRC-16', 'banks', 'ROM name'].map((h) => element('th', { scope: 'col' }, h)))),
      element('tbody', {}, ...rows.map((row) => element('tr', { className: row.refused ? 'refused' : '' },
        element('td', {}, String(row.line)), ...row.cells.map((cell, i) =>
          element('td', row.refused ? { colSpan: 3 } : {}, i === 0 && !row.refused ? element('code', {}, cell) : cell))))))));
}

// Asks for the ROM name and banks of an unknown block (file, block, crc)
// and hands the catalogue line made of them to add, which returns a promise
// of why it was refused, or '' when it was added. Returns: a promise kept
// when the form is closed.
export function askForEntry(block, add) {
  const dialog = $('add-entry');
  const name = $('add-name');
  const banks = $('add-banks');
  const problem = $('add-problem');
  const line = () => `${block.crc}; ${banks.value.trim()}; ${name.value.trim()}`;
  $('add-crc').textContent = block.crc;
  $('add-from').textContent = `${block.file}, block ${block.block}`;
  name.value = '';
  banks.value = '';
  problem.textContent = '';
  const preview = () => { $('add-line').textContent = line(); };
  preview();
  return new Promise((done) => {
    const submit = async (event) => {
      event.preventDefault();
      if (event.submitter && event.submitter.value === 'cancel') {
        dialog.close();
        return;
      }
      if (!name.reportValidity() || !banks.reportValidity()) return;
      problem.textContent = '';
      const why = await add(line());
      if (why) problem.textContent = why;
      else dialog.close();
    };
    const form = $('add-entry-form');
    form.addEventListener('submit', submit);
    form.addEventListener('input', preview);
    dialog.addEventListener('close', () => {
      form.removeEventListener('submit', submit);
      form.removeEventListener('input', preview);
      done();
    }, { once: true });
    dialog.showModal();
    name.focus();
  });
}
