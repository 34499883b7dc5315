// The engine in a Web Worker, so that a run never holds up the page. A
// message { id, program, args, files: [[name, bytes]] } runs a tool; the
// answer { id, result } carries what quillmore.run gives, with the files as
// [name, bytes] pairs, the console text in pieces in the order written, the
// files the run only read, and those among written whose bytes it left as
// they were (compared here, off the page's thread). With digest: 'catalogue',
// the inspector's JSON report of a catalogue comes digested (digest.js).
import { createModule, version, wasmBase64 } from 'quillmore:module';

import { catalogueDigest } from './digest.js';
import { createEngine } from './engine.js';
import { INFO } from './words.js';

const engine = createEngine(createModule, wasmBase64, version);
engine.run(INFO, ['--version'], new Map()); // compiles the module before the first real run

const parsed = (bytes) => {
  try {
    return JSON.parse(new TextDecoder().decode(bytes));
  } catch {
    return null;
  }
};

self.onmessage = async ({ data }) => {
  const { id, program, args, files, digest } = data;
  try {
    const pieces = [];
    const reads = [];
    const before = new Map(files);
    const result = await engine.run(program, args, before, {
      onOutput: (stream, bytes) => pieces.push([stream, bytes]),
      reads,
    });
    const same = (a, b) => !!a && !!b && a.length === b.length && a.every((byte, i) => byte === b[i]);
    const unchanged = result.written.filter((name) => same(before.get(name), result.files[name]));
    const named = Object.keys(result.files).map((name) => [name, result.files[name]]);
    const buffers = new Set(
      [result.stdout, result.stderr, ...named.map(([, bytes]) => bytes), ...pieces.map(([, bytes]) => bytes)].map(
        (bytes) => bytes.buffer,
      ),
    );
    const digested = digest === 'catalogue' ? catalogueDigest(parsed(result.stdout)) : undefined;
    self.postMessage({ id, result: { ...result, files: named, pieces, read: reads, unchanged, digest: digested } }, [
      ...buffers,
    ]);
  } catch (error) {
    self.postMessage({ id, error: { name: error.name, message: error.message } });
  }
};
