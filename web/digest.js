// What the page shows of a catalogue, taken from the inspector's JSON report
// of it in the engine's worker, so that a catalogue of a million lines never
// reaches the page's thread whole: the summary, the first lines, and for
// each CRC-16 and each bank what the tool's report says of it.
import { KIND } from './words.js';

const SHOWN = 200; // entries and refused lines carried whole
const LAST = 4; // the last lines: a line just appended, of at most 80 letters of 4 bytes, read back in up to 3 pieces
const PER_BANK = 3; // entries named for each bank

// Returns: for each CRC-16, the entry the tool uses: the only one, or the
// one the report says it uses of those listed more than once.
function usedByCrc(file) {
  const byLine = new Map(file.entries.map((entry) => [entry.line, entry]));
  const byCrc = Object.create(null);
  for (const entry of file.entries) byCrc[entry.crc] = entry;
  for (const again of file.listedAgain) byCrc[again.crc] = byLine.get(again.used) || byCrc[again.crc];
  return byCrc;
}

// Returns: for each bank, how many entries name it, and the last few of them, in line order.
function namedByBank(entries) {
  const byBank = Object.create(null);
  for (const entry of entries) {
    for (const bank of new Set(entry.banks)) {
      const named = byBank[bank] || (byBank[bank] = { count: 0, entries: [] });
      named.count++;
      named.entries.push({ line: entry.line, name: entry.name, crc: entry.crc });
      if (named.entries.length > PER_BANK) named.entries.shift();
    }
  }
  return byBank;
}

// Returns: the digest of report, the inspector's JSON document for one
// catalogue file, or { error } when it holds none (null error: no report at all).
export function catalogueDigest(report) {
  const file = report && Array.isArray(report.files) ? report.files[0] : null;
  if (!file || file.kind !== KIND.CATALOGUE) return { error: (file && file.error) || null, unread: true };
  const last = (item) => item.line > file.summary.lines - LAST;
  return {
    summary: file.summary,
    entries: file.entries.slice(0, SHOWN),
    refused: file.refused.slice(0, SHOWN),
    listedAgain: file.listedAgain.slice(0, SHOWN).map((again) => ({ ...again, lines: again.lines.slice(0, 10) })),
    lastLines: [
      ...file.entries.filter(last).map((entry) => ({ line: entry.line, entry })),
      ...file.refused.filter(last).map((refused) => ({ line: refused.line, refused })),
    ],
    byCrc: usedByCrc(file),
    byBank: namedByBank(file.entries),
  };
}
