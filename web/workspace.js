// The workspace: the files of the folder the tools run in, kept in this
// browser's own storage (IndexedDB) from one visit to the next, since
// flash.bin and crc.ini are meant to outlive a run. Every tab of the page
// shares the one stored folder: each change reads what is stored, under a
// lock that serialises changes across tabs, writes what it changed in one
// transaction, and tells the other tabs which files changed. A write the
// browser refuses keeps its files on view, marked as not kept, and each later
// change tries again. Where the browser keeps nothing, the workspace lasts as
// long as the page. Beside the files, the page keeps a few records of its
// own (the last run, the options), under keys that are never file names.
import { text } from './language.js';
import { plan, sameBytes, storedAfter } from './merge.js';

const DATABASE = 'quillmore-flashtool';
const STORE = 'files';
const LOCK = 'quillmore-flashtool-workspace';
const LOCK_KEY = ['lock']; // the fallback lock's record: an array, so never a file's name
const LOCK_LEASE = 10000; // ms a fallback lock lasts unless its tab renews it
export const MOST_BYTES = 256 * 1024 * 1024; // the most a workspace file may hold
const ANSWER_WITHIN = 15000; // ms: a storage that has not answered by then is taken to have refused
const OPEN_WITHIN = 10000; // ms: a storage that does not open by then is taken to keep nothing

const folder = {
  shown: new Map(), // name -> Uint8Array: what this tab shows
  lastStored: new Map(), // name -> Uint8Array: what storage held when last read or written
  memory: null, // the folder when the browser keeps nothing: name -> Uint8Array
  database: null,
  changedElsewhere: () => {},
};
const pending = new Map(); // name -> { bytes, base }: shown but not kept; base: the stored bytes it replaces
const memoryState = new Map();
const channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel(LOCK) : null;

export { sameBytes };

// Returns: why a name cannot be a workspace file, or '' when it can: the
// tools' folder is flat, and the engine takes well-formed names only.
export function nameProblem(name) {
  if (typeof name !== 'string' || name === '' || name === '.' || name === '..') return text('name.none');
  if (name.length > 255) return text('name.long');
  if (/[/\0]/.test(name)) return text('name.slash');
  if (!/^(?:[^\ud800-\udfff]|[\ud800-\udbff][\udc00-\udfff])*$/.test(name)) return text('name.malformed');
  return '';
}

// Returns: the bytes of a stored value, or why it cannot be a file's bytes.
function storedBytes(value) {
  let bytes = null;
  if (value instanceof Uint8Array) bytes = value;
  else if (value instanceof ArrayBuffer) bytes = new Uint8Array(value);
  if (!bytes) return { why: text('stored.notBytes') };
  if (bytes.length > MOST_BYTES) return { why: text('stored.tooBig', { n: bytes.length }) };
  return { bytes };
}

function openDatabase() {
  return new Promise((resolve, reject) => {
    const req = indexedDB.open(DATABASE, 1);
    req.onupgradeneeded = () => req.result.createObjectStore(STORE);
    req.onsuccess = () => {
      const opened = req.result;
      // A connection the browser closes (storage cleared, a disk error) is opened again at the next change.
      opened.onclose = () => {
        if (folder.database === opened) folder.database = null;
      };
      opened.onversionchange = () => opened.close();
      resolve(opened);
    };
    req.onerror = () => reject(req.error);
    req.onblocked = () => reject(new Error(text('storage.blocked')));
  });
}

async function connection() {
  if (!folder.database) folder.database = await openDatabase();
  return folder.database;
}

// Runs work(store) in one transaction. Returns: work's value once the
// transaction is written. A connection that broke on a full disk can leave
// a transaction unanswered: after a while it counts as refused, and the
// connection is opened anew at the next one.
async function transaction(mode, work) {
  const db = await connection();
  return new Promise((resolve, reject) => {
    let tx;
    let value;
    try {
      tx = db.transaction(STORE, mode);
      value = work(tx.objectStore(STORE));
    } catch (error) {
      if (error && error.name === 'InvalidStateError') folder.database = null;
      reject(error);
      return;
    }
    const silence = setTimeout(() => {
      if (folder.database === db) folder.database = null;
      reject(Object.assign(new Error(text('storage.silent', { s: ANSWER_WITHIN / 1000 })), { silence: true }));
    }, ANSWER_WITHIN);
    tx.oncomplete = () => {
      clearTimeout(silence);
      resolve(value);
    };
    tx.onabort = () => {
      clearTimeout(silence);
      reject(tx.error || new Error(text('storage.refused')));
    };
    tx.onerror = (event) => event.preventDefault(); // the abort that follows says why
  });
}

// Returns: what is stored, all of it or only the files named, as
// { files: Map name -> bytes, left: [{ name, why }] }: the records that
// are not files, by name and why.
async function readStored(only = null) {
  if (folder.memory) return { files: subset(folder.memory, only), left: [] };
  const requests = await transaction('readonly', (store) =>
    only ? only.map((name) => store.get(name)) : [store.getAllKeys(), store.getAll()],
  );
  const records = only
    ? requests.map((req, i) => [only[i], req.result])
    : requests[0].result.map((key, i) => [key, requests[1].result[i]]);
  const { files, left } = filesOf(records);
  if (only) {
    for (const name of only) {
      if (files.has(name)) folder.lastStored.set(name, files.get(name));
      else folder.lastStored.delete(name);
    }
  } else {
    folder.lastStored = new Map(files);
  }
  return { files, left };
}

// Returns: the stored records that are files, and those that are not, by name and why.
function filesOf(records) {
  const files = new Map();
  const left = [];
  for (const [key, value] of records) {
    if (Array.isArray(key) || value === undefined) continue; // the page's own records; a file not there
    const problem = nameProblem(key);
    const { bytes, why } = problem ? {} : storedBytes(value);
    if (problem || why) left.push({ name: typeof key === 'string' ? key : String(key), why: problem || why });
    else files.set(key, bytes);
  }
  return { files, left };
}

// Returns: the files of a folder named in only (all of them without only).
const subset = (files, only) => new Map([...files].filter(([name]) => !only || only.includes(name)));

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// The lock of a browser without Web Locks: a record in the store, taken
// and renewed in a transaction of its own; a tab that closes lets it lapse.
async function withRecordLock(work) {
  const owner = `${Date.now()}-${Math.random()}`;
  const claim = () =>
    transaction('readwrite', (store) => {
      const req = store.get(LOCK_KEY);
      const state = { taken: false };
      req.onsuccess = () => {
        const held = req.result;
        if (held && held.owner !== owner && held.expires > Date.now()) return;
        store.put({ owner, expires: Date.now() + LOCK_LEASE }, LOCK_KEY);
        state.taken = true;
      };
      return state;
    });
  while (!(await claim()).taken) await sleep(50 + Math.random() * 100);
  const renewal = setInterval(() => claim().catch(() => {}), LOCK_LEASE / 4);
  try {
    return await work();
  } finally {
    clearInterval(renewal);
    await transaction('readwrite', (store) => {
      const req = store.get(LOCK_KEY);
      req.onsuccess = () => {
        if (req.result && req.result.owner === owner) store.delete(LOCK_KEY);
      };
    }).catch(() => {});
  }
}

function withLock(work) {
  if (folder.memory) return work();
  if (typeof navigator === 'object' && navigator.locks) return navigator.locks.request(LOCK, () => work());
  return withRecordLock(work);
}

// The files a tab works on: what is stored, with its own files not kept yet on top.
function withPending(stored) {
  const files = new Map(stored);
  for (const [name, entry] of pending) files.set(name, entry.bytes);
  return files;
}

function show(files) {
  folder.shown = new Map([...files].sort(([a], [b]) => (a < b ? -1 : a > b ? 1 : 0)));
}

// Writes a change in one transaction: all of it is kept, or none.
function write(puts, removals, clear) {
  if (folder.memory) {
    if (clear) folder.memory.clear();
    removals.forEach((name) => folder.memory.delete(name));
    for (const [name, entry] of puts) folder.memory.set(name, entry.bytes);
    return Promise.resolve();
  }
  if (puts.size === 0 && removals.length === 0 && !clear) return Promise.resolve();
  return transaction('readwrite', (store) => {
    // Every key below an array: every file, and whatever else is not the page's own.
    if (clear) store.delete(IDBKeyRange.upperBound([], true));
    removals.forEach((name) => store.delete(name));
    for (const [name, entry] of puts) store.put(entry.bytes, name);
  });
}

// Returns: why the browser refused a write, in words a user reads, with
// the browser's own (a full disk comes as "UnknownError: ... (IOError)").
function reason(error) {
  if (error && error.silence) return text('storage.silentWrite', { s: ANSWER_WITHIN / 1000 });
  const named = error && error.name && error.name !== 'Error';
  const words = named ? `${error.name}: ${error.message}` : String((error && error.message) || error || '?');
  return text('storage.full', { words });
}

// Changes the workspace. work(files) gets the files as stored now (a Map,
// with this tab's files not kept yet on top; with only, just the files
// named there) and returns { puts: [[name, bytes]], removals: [names],
// clear, value }, or { conflict, value } to change nothing. Files not kept
// yet are written along, each only over the stored bytes it was meant to
// replace. Returns: { value, conflict, failure: { names, why } or null, left }.
export async function update(work, { only = null } = {}) {
  return withLock(async () => {
    // When the storage cannot be read, the change is made on what was
    // last read, and its files stay on view as not kept.
    const stored = await readStored(only).catch(() => ({ files: subset(folder.lastStored, only), left: [] }));
    const outcome = (await work(withPending(stored.files))) || {};
    if (outcome.conflict) return { value: outcome.value, conflict: outcome.conflict, failure: null, left: stored.left };
    const state = { pending, stored: stored.files, complete: !only, lastStored: folder.lastStored };
    const planned = plan(state, outcome);
    const after = storedAfter(state, planned, outcome.clear);
    let failure = await keep(planned, outcome.clear);
    if (!failure && planned.stale.length > 0) {
      failure = {
        names: planned.stale,
        why: text('storage.stale'),
      };
    }
    show(withPending(after));
    return { value: outcome.value, conflict: null, failure, left: stored.left };
  });
}

// Writes a planned change and tells the other tabs; what the browser
// refuses stays pending. Returns: the failure, or null.
async function keep(planned, clear) {
  const { puts, removals } = planned;
  pending.clear();
  for (const [name, entry] of planned.pending) pending.set(name, entry);
  try {
    await write(puts, removals, clear);
  } catch (error) {
    for (const [name, entry] of puts) pending.set(name, entry);
    return { names: [...puts.keys()], why: reason(error) };
  }
  for (const name of puts.keys()) pending.delete(name);
  if (clear) folder.lastStored = new Map();
  removals.forEach((name) => folder.lastStored.delete(name));
  for (const [name, entry] of puts) folder.lastStored.set(name, entry.bytes);
  const changed = [...puts.keys(), ...removals];
  if (changed.length > 0 || clear) tellOtherTabs(clear ? null : changed);
  return null;
}

function tellOtherTabs(names) {
  if (channel) channel.postMessage({ names });
}

// Shows what is stored now, as another tab left it: every file, or only
// those named. Returns: the records left out, as { name, why }.
export async function reload(names = null) {
  const stored = await readStored(names);
  show(withPending(names ? folder.lastStored : stored.files));
  return stored.left;
}

// Opens the stored workspace. Returns: { kept, left, why }: kept is false
// when this browser keeps nothing (the workspace lasts as long as the
// page); left lists the stored records that are not files, by name and why.
export async function open() {
  const given = { up: false }; // the page went on without storage: what opens late is closed again
  const opening = (async () => {
    if (typeof indexedDB !== 'object' || !indexedDB) throw new Error(text('storage.noIndexedDB'));
    const db = await openDatabase();
    if (given.up) {
      db.close();
      return [];
    }
    folder.database = db;
    return reload();
  })();
  // A storage that never answers is no storage: the page must open all the same.
  const silence = new Promise((resolve, reject) => {
    setTimeout(() => reject(new Error(text('storage.openSilent', { s: OPEN_WITHIN / 1000 }))), OPEN_WITHIN);
  });
  try {
    const left = await Promise.race([opening, silence]);
    if (channel) {
      channel.onmessage = ({ data }) => folder.changedElsewhere(data && Array.isArray(data.names) ? data.names : null);
    }
    return { kept: true, left };
  } catch (error) {
    given.up = true;
    opening.catch(() => {});
    if (folder.database) folder.database.close();
    folder.database = null;
    folder.memory = new Map();
    folder.shown = new Map();
    return { kept: false, left: [], why: String((error && error.message) || error) };
  }
}

// Tells the other tabs to look at the workspace again (a run ended that changed no file).
export function announce() {
  tellOtherTabs([]);
}

// Returns: a record the page keeps for itself under key (its last run, its
// options), or undefined. What is stored is the page's to check.
export async function loadState(key) {
  if (folder.memory) return memoryState.get(key);
  try {
    return await transaction('readonly', (store) => store.get(['state', key])).then((req) => req.result);
  } catch {
    return undefined;
  }
}

// Keeps a record of the page's own. Returns: false when it was not kept.
export async function saveState(key, value) {
  if (folder.memory) {
    memoryState.set(key, value);
    return true;
  }
  try {
    await transaction('readwrite', (store) => store.put(value, ['state', key]));
    return true;
  } catch {
    return false;
  }
}

// Returns: the space the browser gives this page, in bytes, when it says.
export async function space() {
  if (folder.memory || typeof navigator !== 'object' || !navigator.storage || !navigator.storage.estimate) return null;
  try {
    const { usage, quota } = await navigator.storage.estimate();
    const persisted = navigator.storage.persisted ? await navigator.storage.persisted() : false;
    return { usage, quota, persisted };
  } catch {
    return null;
  }
}

// Asks the browser not to clear the workspace when space runs short. Returns: whether it agreed.
export async function persist() {
  if (folder.memory || typeof navigator !== 'object' || !navigator.storage || !navigator.storage.persist) return false;
  try {
    return await navigator.storage.persist();
  } catch {
    return false;
  }
}

// Calls listener(names) when another tab has changed files (null: maybe all of them).
export function onChange(listener) {
  folder.changedElsewhere = listener;
}

export const names = () => [...folder.shown.keys()];
export const get = (name) => folder.shown.get(name);
export const isKept = (name) => folder.shown.has(name) && !pending.has(name);
export const notKept = () => [...pending.keys()];
export const files = () => new Map(folder.shown);
export const count = () => folder.shown.size;
