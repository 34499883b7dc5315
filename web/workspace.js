// The workspace: the files of the folder the tools run in, kept in this
// browser's own storage (IndexedDB) from one visit to the next, since
// flash.bin and crc.ini are meant to outlive a run. Where the browser keeps
// nothing, the workspace lasts as long as the page.
const Workspace = (() => {
  'use strict';

  const DATABASE = 'quillmore-flashtool';
  const STORE = 'files';
  const files = new Map();  // name -> Uint8Array
  let database = null;

  function openDatabase() {
    return new Promise((resolve) => {
      let request;
      try {
        request = indexedDB.open(DATABASE, 1);
      } catch (error) {
        resolve(null);
        return;
      }
      request.onupgradeneeded = () => request.result.createObjectStore(STORE);
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(null);
    });
  }

  // Runs work on the store in one transaction. Returns: a promise kept when it is written.
  function change(work) {
    if (!database) return Promise.resolve();
    return new Promise((resolve, reject) => {
      const transaction = database.transaction(STORE, 'readwrite');
      work(transaction.objectStore(STORE));
      transaction.oncomplete = () => resolve();
      transaction.onerror = () => reject(transaction.error);
    });
  }

  // Returns: true when the workspace is kept between visits.
  async function load() {
    database = await openDatabase();
    if (!database) return false;
    const transaction = database.transaction(STORE, 'readonly');
    const store = transaction.objectStore(STORE);
    const [names, contents] = await Promise.all([store.getAllKeys(), store.getAll()].map(
      (request) => new Promise((resolve, reject) => {
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
      })));
    names.forEach((name, i) => files.set(name, new Uint8Array(contents[i])));
    return true;
  }

  function put(entries) {
    for (const [name, bytes] of entries) files.set(name, bytes);
    return change((store) => entries.forEach(([name, bytes]) => store.put(bytes, name)));
  }

  function remove(name) {
    files.delete(name);
    return change((store) => store.delete(name));
  }

  function clear() {
    files.clear();
    return change((store) => store.clear());
  }

  return {
    load, put, remove, clear,
    names: () => [...files.keys()].sort(),
    get: (name) => files.get(name),
    snapshot: () => Object.fromEntries(files),
  };
})();
