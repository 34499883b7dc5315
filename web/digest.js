// What the page shows of a catalogue, taken from the inspector's JSON report
// of it in the engine's worker, so that a catalogue of a million lines never
// reaches the page's thread whole: the summary, the first lines, and for
// each CRC-16 and each bank what the tool's report says of it.
const SHOWN = 200; // entries and refused lines carried whole
const LAST = 4; // the last lines: a line just appended, of at most 80 letters of 4 bytes, read back in up to 3 pieces
const PER_BANK = 3; // entries named for each bank

// Returns: the digest of report, the inspector's JSON document for one
// catalogue file, or { error } when it holds none.
export function catalogueDigest(report) {
  const file = report && Array.isArray(report.files) ? report.files[0] : null;
  if (!file || file.kind !== 'catalogue') return { error: (file && file.error) || 'the inspector gave no report' };
  const byCrc = Object.create(null); // crc -> the entry the tool uses
  const byBank = Object.create(null); // bank -> { count, entries: the last few, in line order }
  for (const entry of file.entries) {
    byCrc[entry.crc] = entry;
    for (const bank of new Set(entry.banks)) {
      const named = byBank[bank] || (byBank[bank] = { count: 0, entries: [] });
      named.count++;
      named.entries.push({ line: entry.line, name: entry.name, crc: entry.crc });
      if (named.entries.length > PER_BANK) named.entries.shift();
    }
  }
  for (const again of file.listedAgain) {
    const used = file.entries.find((entry) => entry.line === again.used);
    if (used) byCrc[again.crc] = used;
  }
  const lines = file.summary.lines;
  const last = (item) => item.line > lines - LAST;
  return {
    summary: file.summary,
    entries: file.entries.slice(0, SHOWN),
    refused: file.refused.slice(0, SHOWN),
    listedAgain: file.listedAgain.slice(0, SHOWN).map((again) => ({ ...again, lines: again.lines.slice(0, 10) })),
    lastLines: [
      ...file.entries.filter(last).map((entry) => ({ line: entry.line, entry })),
      ...file.refused.filter(last).map((refused) => ({ line: refused.line, refused })),
    ],
    byCrc,
    byBank,
  };
}
