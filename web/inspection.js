// The inspector's word on the workspace's files. Each content is inspected
// once for each catalogue it is read against, so a change to one file of
// thousands costs one small run; a file named anew keeps its word.
import { text } from './language.js';
import { decode } from './views.js';
import { run } from './runner.js';
import { CATALOGUE, INFO } from './words.js';

const EMPTY = new Uint8Array(0);
const MOST_KEPT = 20000;

const known = new Map(); // catalogue key / content key -> the inspector's JSON entry of a file, its name left out
const tooBig = new Map(); // catalogue key -> the run that aborted on that catalogue
const keys = new WeakMap(); // bytes -> their content key

// Returns: a key that tells contents apart: their SHA-256 where the browser
// has it, else their length and a 32-bit FNV-1a hash.
async function contentKey(bytes) {
  if (keys.has(bytes)) return keys.get(bytes);
  let key;
  if (typeof crypto === 'object' && crypto.subtle) {
    const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
    key = Array.from(digest, (byte) => byte.toString(16).padStart(2, '0')).join('');
  } else {
    let hash = 0x811c9dc5;
    for (const byte of bytes) hash = Math.imul(hash ^ byte, 0x01000193) >>> 0;
    key = `${bytes.length}-${hash.toString(16)}`;
  }
  keys.set(bytes, key);
  return key;
}

// Returns: the inspector's JSON document of a run, or null when it printed none.
export function parsedJson(bytes) {
  try {
    return JSON.parse(decode(bytes));
  } catch {
    return null;
  }
}

// Returns: the lines of text in bytes (a last line without a line feed counted).
export function lineCount(bytes) {
  let lines = bytes.length > 0 && bytes[bytes.length - 1] !== 0x0a ? 1 : 0;
  for (let i = 0; i < bytes.length; i++) if (bytes[i] === 0x0a) lines++;
  return lines;
}

// Inspects the files named, against the catalogue of files (a Map of the
// folder). Returns: { entries: Map name -> the inspector's JSON entry for
// it, aborted: the run that aborted, if one did }. When the catalogue is
// more than a run can hold, the files are read against an empty one, so
// that their kinds are still told.
export async function inspect(names, files) {
  const catalogue = files.get(CATALOGUE);
  const catalogueKey = catalogue ? await contentKey(catalogue) : 'built-in';
  const readWith = tooBig.has(catalogueKey) ? 'empty' : catalogueKey;
  const entries = new Map();
  const missing = [];
  for (const name of names) {
    const key = await contentKey(files.get(name));
    const found = known.get(`${readWith}/${key}`);
    if (found) entries.set(name, { ...found, file: name });
    else missing.push([name, key]);
  }
  if (missing.length > 0) {
    const told = await inspectAnew(missing, files, catalogueKey);
    if (known.size > MOST_KEPT) known.clear();
    told.forEach((entry, i) => {
      const [name, key] = missing[i];
      known.set(`${tooBig.has(catalogueKey) ? 'empty' : catalogueKey}/${key}`, { ...entry, file: undefined });
      entries.set(name, { ...entry, file: name });
    });
  }
  return { entries, aborted: tooBig.get(catalogueKey) || null };
}

// Runs the inspector on the files named in missing ([name, key]), against
// the catalogue of files; once more against an empty one when that is more
// than a run can hold. Returns: the inspector's entries, in order.
async function inspectAnew(missing, files, catalogueKey) {
  const catalogue = files.get(CATALOGUE);
  const folder = new Map(missing.map(([name]) => [name, files.get(name)]));
  if (catalogue) folder.set(CATALOGUE, tooBig.has(catalogueKey) ? EMPTY : catalogue);
  const args = ['--json', '--', ...missing.map(([name]) => name)];
  let result = await run(INFO, args, folder);
  if (result.status < 0 && !tooBig.has(catalogueKey) && catalogue) {
    tooBig.set(catalogueKey, { program: INFO, args, files: new Map(folder), result });
    folder.set(CATALOGUE, EMPTY);
    result = await run(INFO, args, folder);
  }
  const report = parsedJson(result.stdout);
  return report && report.files ? report.files : [];
}

// Reads bytes as a catalogue, as the tool reads crc.ini. Returns: the
// digest of the inspector's report (digest.js), or { error } when it could
// not read them (a run that ran out of memory: { error, aborted: true }).
export async function readCatalogue(bytes) {
  const key = `catalogue/${await contentKey(bytes)}`;
  if (known.has(key)) return known.get(key);
  // Under another name, so that the inspector checks it against its small
  // built-in table rather than holding its entries twice.
  const result = await run(INFO, ['--json', '--catalogue', 'lines.txt'], new Map([['lines.txt', bytes]]), {
    digest: 'catalogue',
  });
  const digest =
    result.status < 0
      ? { aborted: true, error: text('catalogue.outOfMemory', { n: lineCount(bytes) }) }
      : result.digest.unread
        ? { error: result.digest.error || text('catalogue.noReport') }
        : result.digest;
  known.set(key, digest);
  return digest;
}
