// A line for an unknown block, appended to crc.ini only when the tool's
// parser reads it back as exactly the entry the form shows: the CRC-16, the
// banks and the name; otherwise the form says what the tool would read.
import { lineCount } from './inspection.js';
import { say, text } from './language.js';
import { element, fill, isolated } from './views.js';

const $ = (id) => document.getElementById(id);
const CHECK_AFTER = 250; // ms of quiet typing before the line is read back

const banksWord = (banks) => text('words.banks', { n: banks.length, banks: banks.join(' ') });

// Returns: base with line appended as a line of its own.
export function appended(base, line) {
  const added = new TextEncoder().encode(`${base.length > 0 && base[base.length - 1] !== 0x0a ? '\n' : ''}${line}\n`);
  const bytes = new Uint8Array(base.length + added.length);
  bytes.set(base);
  bytes.set(added, base.length);
  return bytes;
}

const numbers = (banks) =>
  [...new Set(banks.map((bank) => (/^[0-9a-f]+$/i.test(bank) ? parseInt(bank, 16) : NaN)))].sort((a, b) => a - b);
const sameNumbers = (a, b) => a.length === b.length && a.every((n, i) => n === b[i]);

// Returns: the lines the tool reads from line on, in words: an entry, a refused line, one it passes over.
function piecesFrom(digest, line) {
  const pieces = [];
  for (let at = line; at <= digest.summary.lines; at++) {
    const item = digest.lastLines.find((read) => read.line === at);
    if (!item) pieces.push(text('form.passedOver'));
    else if (item.entry) pieces.push(text('form.entryNamed', { name: item.entry.name }));
    else pieces.push(text('form.refusedLine', { status: item.refused.status }));
  }
  return pieces;
}

// Returns: the notes of a good line: the banks other entries name, the CRC-16 listed on other lines.
function notesOf(digest, entry, line) {
  const notes = entry.banks.flatMap((bank) =>
    ((digest.byBank[bank] || {}).entries || [])
      .filter((other) => other.line !== line)
      .map((other) => text('form.bankAlso', { bank, name: other.name, line: other.line })),
  );
  const again = digest.listedAgain.find((item) => item.crc === entry.crc);
  if (again) {
    const others = again.lines.filter((n) => n !== line);
    notes.push(text('form.listedToo', { crc: entry.crc, n: others.length, lines: others.join(', ') }));
  }
  return notes;
}

// Returns: why the tool does not read the line appended as one line (the
// line-th), or '' when it does.
function notOneLine(digest, line) {
  if (!digest || digest.error)
    return text('form.unreadable', { error: digest ? digest.error : text('catalogue.noReport') });
  if (digest.summary.lines === line) return '';
  const pieces = piecesFrom(digest, line);
  return text('form.manyLines', { n: pieces.length, pieces: pieces.join(text('form.then')) });
}

// Judges what the tool reads of the form's line appended to base: digest
// is the inspector's reading of the result; wanted the { crc, banks, name }
// the form shows. Returns: { ok, reads (words), why, notes: [words] }.
export function judge(base, digest, wanted) {
  const line = lineCount(base) + 1;
  const unread = notOneLine(digest, line);
  if (unread) return { ok: false, why: unread };
  const read = digest.lastLines.find((item) => item.line === line);
  if (!read || read.refused) {
    const refused = read ? read.refused : { status: '?', why: text('form.noLineReport') };
    return { ok: false, why: text('form.refuses', { status: refused.status, why: refused.why }) };
  }
  const { entry } = read;
  const reads = text('form.reads', { crc: entry.crc, banks: banksWord(entry.banks), name: entry.name });
  const same =
    entry.crc === wanted.crc.toLowerCase() &&
    entry.name === wanted.name &&
    sameNumbers(numbers(entry.banks), numbers(wanted.banks));
  if (!same) return { ok: false, reads, why: text('form.otherwise', { reads }) };
  return { ok: true, reads, notes: notesOf(digest, entry, line) };
}

// The open form, for the workspace to tell when crc.ini changed meanwhile.
export const entryForm = { recheck: null };

// The form's fields, and what it shows of a verdict.
function fields() {
  return {
    dialog: $('add-entry'),
    form: $('add-entry-form'),
    name: $('add-name'),
    banks: $('add-banks'),
    ok: $('add-ok'),
  };
}

function show(verdict) {
  $('add-problem').textContent = verdict && !verdict.ok ? verdict.why : '';
  const reading =
    verdict && verdict.ok
      ? [
          text('form.toolReads', { reads: verdict.reads }),
          verdict.notes.map((note) => element('span', { className: 'note-line' }, note)),
        ]
      : [];
  fill($('add-reading'), reading);
}

// One form's life: its block, what it shows, and the attempts that speak.
function formFor(block, { check, add }) {
  const f = fields();
  const state = { generation: 0, checks: 0, timer: null, open: true, adding: false };
  const wanted = () => ({
    crc: block.crc,
    banks: f.banks.value.split(/[\s,]+/).filter(Boolean),
    name: f.name.value.trim(),
  });
  const line = () => `${block.crc}; ${f.banks.value.trim()}; ${f.name.value.trim()}`;
  // Reads the line back after a pause; what it finds is shown while the input, and no newer check, is the same.
  const recheck = () => {
    const { generation } = state;
    const id = ++state.checks;
    clearTimeout(state.timer);
    if (!f.name.value.trim() || !f.banks.value.trim() || state.adding) return;
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
  return { f, state, wanted, line, recheck, preview, add };
}

// Adds the form's line, once: an attempt's message is shown only while the
// form is open and its input the same.
async function attempt(form) {
  const { f, state } = form;
  const generation = ++state.generation;
  if (!f.name.value.trim()) {
    show({ ok: false, why: text('form.nameNeeded') });
    return;
  }
  f.ok.disabled = true;
  state.adding = true;
  try {
    const verdict = await form.add(form.line(), form.wanted());
    if (!state.open || generation !== state.generation) return;
    if (verdict.ok) f.dialog.close();
    else show(verdict);
  } finally {
    f.ok.disabled = false;
    state.adding = false;
  }
}

// The form for one unknown block (file, block, crc). check(line, wanted)
// reads the line back against this tab's crc.ini and resolves to a verdict
// of judge(); add(line, wanted) does the same against crc.ini as stored, and
// appends it when the verdict is good; returnFocus puts the focus back.
export function openEntryForm(block, { check, add, returnFocus }) {
  const form = formFor(block, { check, add });
  const { f, state } = form;
  const crc = element('code', { id: 'add-crc', translate: false }, block.crc);
  fill($('add-intro'), say('form.intro', { crc, file: isolated(block.file), block: block.block }));
  f.name.value = '';
  f.banks.value = '';
  const submit = (event) => {
    event.preventDefault();
    if (event.submitter && event.submitter.value === 'cancel') f.dialog.close();
    else if (!f.ok.disabled && f.name.reportValidity() && f.banks.reportValidity()) attempt(form);
  };
  f.form.addEventListener('submit', submit);
  f.form.addEventListener('input', form.preview);
  form.preview();
  f.dialog.addEventListener(
    'close',
    () => {
      state.open = false;
      state.generation++;
      clearTimeout(state.timer);
      f.form.removeEventListener('submit', submit);
      f.form.removeEventListener('input', form.preview);
      entryForm.recheck = null;
      returnFocus();
    },
    { once: true },
  );
  entryForm.recheck = form.recheck;
  f.dialog.showModal();
  f.name.focus();
}
