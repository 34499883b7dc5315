// The catalogue in hand: what crc.ini holds as the tool reads it, and a
// form that appends a line for an unknown block, kept only when the tool's
// parser reads it back as exactly the entry the form shows.
import { element, fill, isolated, plural } from './views.js';
import { lineCount } from './inspection.js';

const $ = (id) => document.getElementById(id);
const MOST_NOTES = 8;
const CHECK_AFTER = 250; // ms of quiet typing before the line is read back

const banksWord = (banks) => `bank${banks.length === 1 ? '' : 's'} ${banks.join(' ')}`;

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

// Shows a catalogue as the inspector read it: each entry (the first lines
// of a long one), each refused line flagged, each CRC-16 listed more than
// once, each bank named by more than one entry.
export function showCatalogue(body, digest, { onWriteDefault }) {
  if (!digest) {
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
    return;
  }
  if (digest.error) {
    fill(
      body,
      element(
        'p',
        {},
        `crc.ini cannot be listed here: ${digest.error}. A run of the tool reads it on its own, and says so if it cannot.`,
      ),
    );
    return;
  }
  const rows = [
    ...digest.entries.map((entry) => ({
      line: entry.line,
      cells: [entry.crc, entry.banks.join(' '), isolated(entry.name)],
    })),
    ...digest.refused.map((line) => ({
      line: line.line,
      refused: true,
      cells: [`refused (rc=${line.status}): ${line.why}`],
    })),
  ].sort((a, b) => a.line - b.line);
  const { summary } = digest;
  const shown = rows.length < summary.entries + summary.refused;
  fill(
    body,
    element(
      'p',
      {},
      `${plural(summary.entries, 'entry', 'entries')} on ${plural(summary.lines, 'line')}`,
      summary.refused ? `; ${plural(summary.refused, 'line')} refused` : '',
      summary.listedAgain ? `; ${plural(summary.listedAgain, 'CRC-16')} listed more than once` : '',
      '.',
    ),
    digest.listedAgain
      .slice(0, MOST_NOTES)
      .map((again) =>
        element(
          'p',
          { className: 'problem' },
          `${again.crc} is listed on lines ${again.lines.join(', ')}: the tool uses line ${again.used}.`,
        ),
      ),
    sharedBanks(digest),
    element(
      'div',
      { className: 'scroll files-box', role: 'region', 'aria-label': 'Entries of crc.ini', tabIndex: 0 },
      element(
        'table',
        {},
        element('caption', { className: 'sr-only' }, 'Entries of crc.ini'),
        element(
          'thead',
          {},
          element(
            'tr',
            {},
            ['line', 'CRC-16', 'banks', 'ROM name'].map((h) => element('th', { scope: 'col' }, h)),
          ),
        ),
        element(
          'tbody',
          {},
          rows.map((row) =>
            element(
              'tr',
              { className: row.refused ? 'refused' : '' },
              element('td', {}, String(row.line)),
              row.cells.map((cell, i) =>
                element(
                  'td',
                  row.refused ? { colSpan: 3 } : {},
                  i === 0 && !row.refused ? element('code', {}, cell) : cell,
                ),
              ),
            ),
          ),
        ),
      ),
    ),
    shown
      ? element(
          'p',
          { className: 'note' },
          `The first ${plural(rows.length, 'line')} of entries and refusals are shown: inspect crc.ini for all of them.`,
        )
      : null,
  );
}

// Returns: base with line appended as a line of its own.
export function appended(base, line) {
  const text = new TextEncoder().encode(`${base.length > 0 && base[base.length - 1] !== 0x0a ? '\n' : ''}${line}\n`);
  const bytes = new Uint8Array(base.length + text.length);
  bytes.set(base);
  bytes.set(text, base.length);
  return bytes;
}

const numbers = (banks) =>
  [...new Set(banks.map((bank) => (/^[0-9a-f]+$/i.test(bank) ? parseInt(bank, 16) : NaN)))].sort((a, b) => a - b);
const sameNumbers = (a, b) => a.length === b.length && a.every((n, i) => n === b[i]);

// Judges what the tool reads of the form's line, appended to base: digest
// is the inspector's reading of the result; wanted the { crc, banks, name }
// the form shows. Returns: { ok, reads (words), why, notes: [words] }.
export function judge(base, digest, wanted) {
  if (!digest || digest.error)
    return { ok: false, why: `crc.ini cannot be read: ${digest ? digest.error : 'no report'}. Nothing was written.` };
  const line = lineCount(base) + 1;
  const got = digest.lastLines.filter((item) => item.line >= line);
  if (digest.summary.lines !== line) {
    const pieces = [];
    for (let at = line; at <= digest.summary.lines; at++) {
      const item = got.find((read) => read.line === at);
      pieces.push(
        !item
          ? 'a line it passes over'
          : item.entry
            ? `an entry named "${item.entry.name}"`
            : `a refused line (rc=${item.refused.status})`,
      );
    }
    return {
      ok: false,
      why: `The tool would read this line as ${plural(digest.summary.lines - line + 1, 'line')}: ${pieces.join(', then ')}. Make it shorter; nothing was written.`,
    };
  }
  const read = got.find((item) => item.line === line);
  if (!read || read.refused) {
    const refused = read ? read.refused : { status: '?', why: 'no report of the line' };
    return { ok: false, why: `The tool refuses the line (rc=${refused.status}): ${refused.why}.` };
  }
  const { entry } = read;
  const reads = `CRC-16 ${entry.crc}, ${banksWord(entry.banks)}, name "${entry.name}"`;
  const same =
    entry.crc === wanted.crc.toLowerCase() &&
    entry.name === wanted.name &&
    sameNumbers(numbers(entry.banks), numbers(wanted.banks));
  if (!same)
    return { ok: false, reads, why: `The tool would read this line otherwise: ${reads}. Nothing was written.` };
  const notes = entry.banks.flatMap((bank) =>
    ((digest.byBank[bank] || {}).entries || [])
      .filter((other) => other.line !== line)
      .map(
        (other) =>
          `bank ${bank} also holds ${other.name} (line ${other.line}): a run writes each ROM it is given there, the later over the earlier.`,
      ),
  );
  const again = digest.listedAgain.find((item) => item.crc === entry.crc);
  if (again)
    notes.push(
      `${entry.crc} is listed on line${again.lines.length > 2 ? 's' : ''} ${again.lines.filter((n) => n !== line).join(', ')} too: the tool uses this new line.`,
    );
  return { ok: true, reads, notes };
}

// The form for one unknown block. check(line) reads the line back against
// this tab's crc.ini and resolves to a verdict of judge(); add(line) does
// the same against crc.ini as stored, and appends it when the verdict is
// good. Each message belongs to the attempt that raised it: a newer input,
// attempt or the form's closing makes older ones speak no more.
export function openEntryForm(block, { check, add, returnFocus }) {
  const dialog = $('add-entry');
  const name = $('add-name');
  const banks = $('add-banks');
  const problem = $('add-problem');
  const reading = $('add-reading');
  const ok = $('add-ok');
  const state = { generation: 0, checks: 0, timer: null, open: true, adding: false };
  const wanted = () => ({
    crc: block.crc,
    banks: banks.value.split(/[\s,]+/).filter(Boolean),
    name: name.value.trim(),
  });
  const line = () => `${block.crc}; ${banks.value.trim()}; ${name.value.trim()}`;
  $('add-crc').textContent = block.crc;
  $('add-from').textContent = `${block.file}, block ${block.block}`;
  name.value = '';
  banks.value = '';
  const show = (verdict) => {
    problem.textContent = verdict && !verdict.ok ? verdict.why : '';
    fill(
      reading,
      verdict && verdict.ok
        ? [
            `The tool reads: ${verdict.reads}.`,
            verdict.notes.map((note) => element('span', { className: 'note-line' }, note)),
          ]
        : [],
    );
  };
  // Reads the line back after a pause; what it finds is shown while the
  // input, and no newer check, is the same.
  const recheck = () => {
    const { generation } = state;
    const id = ++state.checks;
    clearTimeout(state.timer);
    if (!name.value.trim() || !banks.value.trim() || state.adding) return;
    state.timer = setTimeout(async () => {
      const verdict = await check(line(), wanted());
      if (state.open && generation === state.generation && id === state.checks && !state.adding) show(verdict);
    }, CHECK_AFTER);
  };
  const preview = () => {
    state.generation++;
    $('add-line').textContent = line();
    show(null);
    recheck();
  };
  const submit = async (event) => {
    event.preventDefault();
    if (event.submitter && event.submitter.value === 'cancel') {
      dialog.close();
      return;
    }
    if (ok.disabled || !name.reportValidity() || !banks.reportValidity()) return;
    const generation = ++state.generation;
    if (!name.value.trim()) {
      show({ ok: false, why: 'A ROM name is needed.' });
      return;
    }
    ok.disabled = true;
    state.adding = true;
    try {
      const verdict = await add(line(), wanted());
      if (!state.open || generation !== state.generation) return;
      if (verdict.ok) dialog.close();
      else show(verdict);
    } finally {
      ok.disabled = false;
      state.adding = false;
    }
  };
  const form = $('add-entry-form');
  form.addEventListener('submit', submit);
  form.addEventListener('input', preview);
  preview();
  dialog.addEventListener(
    'close',
    () => {
      state.open = false;
      state.generation++;
      clearTimeout(state.timer);
      form.removeEventListener('submit', submit);
      form.removeEventListener('input', preview);
      returnFocus();
      entryForm.recheck = null;
    },
    { once: true },
  );
  entryForm.recheck = recheck;
  dialog.showModal();
  name.focus();
}

// The open form, for the workspace to tell when crc.ini changed meanwhile.
export const entryForm = { recheck: null };
