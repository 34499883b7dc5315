// The catalogue's actions: the built-in crc.ini written where there is none,
// and a line for an unknown block appended once the tool's parser reads it
// back as the form shows it: as typed, against this tab's crc.ini; when
// added, against crc.ini as stored, under the workspace's lock.
import { act, change, unlessChangedElsewhere } from './actions.js';
import { appended, judge, openEntryForm } from './catalogue-form.js';
import { readCatalogue } from './inspection.js';
import { text } from './language.js';
import { run } from './runner.js';
import * as Workspace from './workspace.js';
import { CATALOGUE, FLASHER, TOOL } from './words.js';

// The catalogue the tool itself writes when there is none: a run of the
// tool on a folder with only a stand-in flasher gives its bytes.
async function defaultCatalogue() {
  const result = await run(TOOL, ['-v0'], new Map([[FLASHER, Uint8Array.of(0, 0)]]));
  return result.files.get(CATALOGUE);
}

export async function writeDefaultCatalogue() {
  const bytes = await defaultCatalogue();
  await change(
    unlessChangedElsewhere(CATALOGUE, undefined, () => ({ puts: [[CATALOGUE, bytes]] })),
    { only: [CATALOGUE] },
  );
}

// Returns: crc.ini with the line appended, and the verdict on how the tool reads it.
async function checkLine(stored, line, wanted) {
  const base = stored || (await defaultCatalogue());
  const bytes = appended(base, line);
  return { bytes, verdict: judge(base, await readCatalogue(bytes), wanted) };
}

// Appends the line to crc.ini as stored, when the tool reads it as wanted. Returns: the verdict.
async function addLine(line, wanted) {
  const outcome = await change(
    async (files) => {
      const { bytes, verdict } = await checkLine(files.get(CATALOGUE), line, wanted);
      return verdict.ok ? { puts: [[CATALOGUE, bytes]], value: verdict } : { value: verdict };
    },
    { only: [CATALOGUE] },
  );
  if (outcome.failure && outcome.failure.names.includes(CATALOGUE)) {
    return { ok: false, why: text('form.notKept', { why: outcome.failure.why }) };
  }
  return outcome.value;
}

// Opens the form that adds a line for an unknown block (file, block, crc);
// the focus goes back to opener, or where the block's file is shown.
export function addToCatalogue(block, opener) {
  const returnFocus = () => {
    const row = [...document.querySelectorAll('#files code.name')].find((code) => code.textContent === block.file);
    (opener && opener.isConnected ? opener : row || document.getElementById('result-title')).focus();
  };
  openEntryForm(block, {
    check: async (line, wanted) => (await checkLine(Workspace.get(CATALOGUE), line, wanted)).verdict,
    add: async (line, wanted) => (await act(() => addLine(line, wanted))) || { ok: false, why: text('form.notAdded') },
    returnFocus,
  });
}
