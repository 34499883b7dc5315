// The page's way to the engine: each run goes to the engine's Web Worker and
// comes back as quillmore.run gives it (files as a Map, the console text in
// pieces). Cancel ends the worker, and every run it had; the next run
// starts a new one.
import workerSource from 'quillmore:worker';

const engine = { worker: null, nextId: 1 };
const waiting = new Map(); // id -> { resolve, reject }

// Why a run gave no result: it was cancelled, or the worker failed.
export class RunStopped extends Error {
  constructor(message, cancelled) {
    super(message);
    this.name = 'RunStopped';
    this.cancelled = cancelled;
  }
}

function stopAll(error) {
  for (const { reject } of waiting.values()) reject(error);
  waiting.clear();
}

function ready() {
  if (engine.worker) return engine.worker;
  const url = URL.createObjectURL(new Blob([workerSource], { type: 'text/javascript' }));
  const worker = new Worker(url);
  engine.worker = worker;
  worker.onmessage = ({ data }) => {
    const pending = waiting.get(data.id);
    if (!pending) return;
    waiting.delete(data.id);
    if (data.error) {
      const error = data.error.name === 'TypeError' ? new TypeError(data.error.message) : new Error(data.error.message);
      pending.reject(error);
      return;
    }
    pending.resolve({ ...data.result, files: new Map(data.result.files) });
  };
  worker.onerror = (event) => {
    event.preventDefault();
    stopAll(new RunStopped(`the engine failed: ${event.message || 'no word why'}`, false));
    cancel();
  };
  return worker;
}

// Runs program with args on files (a Map of name -> bytes), off the page's
// thread; options.digest: 'catalogue' digests the inspector's report of a
// catalogue there (digest.js).
// Returns: a promise of { status, stdout, stderr, files: Map, written, read, unchanged, pieces, digest }.
export function run(program, args, files, options = {}) {
  const id = engine.nextId++;
  const answer = new Promise((resolve, reject) => waiting.set(id, { resolve, reject }));
  ready().postMessage({ id, program, args, files: [...files], digest: options.digest });
  return answer;
}

// Starts the worker, so that its module compiles while the page does other things.
export function warm() {
  ready();
}

// Ends every run under way: their promises reject with a cancelled RunStopped.
export function cancel() {
  if (engine.worker) engine.worker.terminate();
  engine.worker = null;
  stopAll(new RunStopped('cancelled', true));
}
