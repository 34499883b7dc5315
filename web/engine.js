// The engine: both tools, compiled to WebAssembly, run on a folder held in
// memory. Every run gets a fresh instance of the module, which is compiled
// once; nothing carries over from one run to the next.
//
//   const result = await quillmore.run(program, args, files[, options]);
//   program: "quillmore-flashtool", "quillmore-flashinfo" or "quillmore-flashdisk"
//   args:    the arguments after the program name, as strings
//   files:   { "relative/path": bytes, ... } or a Map of the same: the working
//            folder before the run; bytes are a Uint8Array, an ArrayBuffer or
//            any view of one. Wrong values throw a TypeError before the run.
//   result:  { status, stdout, stderr, files, written }: the exit status
//            (-1 when the run aborted), every byte written to each stream,
//            every regular file of the folder after the run (an object
//            without a prototype: every name is its own key), and the names
//            of the files the run opened for writing, in the order first
//            written, whether their bytes changed or not (a temporary file
//            stands for the name it was renamed to)
//   options.onOutput(stream, bytes): called after the run for each piece of
//            console text in the order written ("stdout" or "stderr")
//   options.reads: an array the run fills with the names of the files it
//            opened for reading only, in the order first opened
//
import { DISK, INFO, TOOL } from './words.js';

const PROGRAMS = [TOOL, INFO, DISK];

const FOLDER = '/work';
// The console text of a run: pieces in the order written, each from one
// stream, its bytes in a buffer that doubles as it fills (a report of
// millions of lines comes a byte at a time).
function consoleLog() {
  const pieces = [];
  const write = (stream) => (byte) => {
    let last = pieces[pieces.length - 1];
    if (!last || last.stream !== stream) pieces.push((last = { stream, buffer: new Uint8Array(256), length: 0 }));
    if (last.length === last.buffer.length) {
      const grown = new Uint8Array(last.buffer.length * 2);
      grown.set(last.buffer);
      last.buffer = grown;
    }
    last.buffer[last.length++] = byte;
  };
  const bytesOf = (piece) => piece.buffer.slice(0, piece.length);
  const join = (stream) => {
    const parts = pieces.filter((piece) => piece.stream === stream);
    const joined = new Uint8Array(parts.reduce((sum, piece) => sum + piece.length, 0));
    let at = 0;
    for (const piece of parts) {
      joined.set(piece.buffer.subarray(0, piece.length), at);
      at += piece.length;
    }
    return joined;
  };
  return { pieces, bytesOf, stdout: write('stdout'), stderr: write('stderr'), join };
}

const describe = (value) =>
  value === null
    ? 'null'
    : Array.isArray(value)
      ? 'an array'
      : typeof value === 'object'
        ? `a ${Object.prototype.toString.call(value).slice(8, -1)}`
        : `a ${typeof value}`;

// Returns: the bytes of a file as given (any ArrayBuffer or view of one), without a copy.
function fileBytes(name, value) {
  if (value instanceof Uint8Array) return value;
  if (value instanceof ArrayBuffer) return new Uint8Array(value);
  if (ArrayBuffer.isView(value)) return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
  throw new TypeError(
    `the bytes of ${JSON.stringify(name)} must be a Uint8Array, an ArrayBuffer or a view of one, not ${describe(value)}`,
  );
}

// Returns: the folder's files as [path, bytes] pairs, every path checked
// before anything runs: relative, inside the folder, and text a file system keeps.
function checkedFiles(files) {
  if (files === undefined || files === null) return [];
  let entries;
  if (files instanceof Map) entries = [...files];
  else if (typeof files === 'object' && !Array.isArray(files) && !ArrayBuffer.isView(files))
    entries = Object.keys(files).map((name) => [name, files[name]]);
  else throw new TypeError(`files must be an object or a Map of paths to bytes, not ${describe(files)}`);
  const paths = new Set();
  const folders = new Set();
  const checked = entries.map(([path, value]) => {
    const bad = (why) => new TypeError(`${why}: ${JSON.stringify(path)}`);
    if (typeof path !== 'string' || path === '') throw bad('a file name must be a non-empty string');
    if (!/^(?:[^\ud800-\udfff\0]|[\ud800-\udbff][\udc00-\udfff])*$/.test(path))
      throw bad('a file name must be well-formed text without NUL');
    const parts = path.split('/');
    if (parts.some((part) => part === '' || part === '.' || part === '..'))
      throw bad('not a relative path inside the folder');
    paths.add(path);
    for (let i = 1; i < parts.length; i++) folders.add(parts.slice(0, i).join('/'));
    return [path, fileBytes(path, value)];
  });
  for (const folder of folders)
    if (paths.has(folder)) throw new TypeError(`both a file and a folder: ${JSON.stringify(folder)}`);
  return checked;
}

function checkedArguments(args) {
  if (!Array.isArray(args) || !args.every((arg) => typeof arg === 'string')) {
    throw new TypeError(`args must be an array of strings, not ${describe(args)}`);
  }
  // A C program's argument ends at its first NUL: the rest would be lost without a word.
  const cut = args.find((arg) => arg.includes('\0'));
  if (cut !== undefined) throw new TypeError(`an argument must not hold NUL: ${JSON.stringify(cut)}`);
  return [...args];
}

function writeFolder(FS, entries) {
  FS.mkdir(FOLDER);
  FS.chdir(FOLDER);
  for (const [path, bytes] of entries) {
    const parts = path.split('/');
    if (parts.length > 1) FS.mkdirTree(`${FOLDER}/${parts.slice(0, -1).join('/')}`);
    FS.writeFile(`${FOLDER}/${path}`, bytes);
  }
}

// Returns: the folder's regular files, in an object without a prototype,
// so that names such as "__proto__" or "constructor" are files like any other.
function readFolder(FS, dir = FOLDER, prefix = '', files = Object.create(null)) {
  for (const name of FS.readdir(dir).sort()) {
    if (name === '.' || name === '..') continue;
    const path = `${dir}/${name}`;
    const mode = FS.lstat(path).mode;
    if (FS.isDir(mode)) readFolder(FS, path, `${prefix}${name}/`, files);
    else if (FS.isFile(mode)) files[prefix + name] = FS.readFile(path);
  }
  return files;
}

// Notes every file the run opens, for writing or for reading only, and
// follows the written ones through their renames, so that an output written
// under a temporary name is known by the name it takes.
// Returns: { written, read, stop }: the paths, in the order first opened,
// and what ends the noting, before the folder is read back after the run.
function noteOpens(FS) {
  const written = [];
  const read = [];
  const absolute = (path) => {
    const parts = [];
    for (const part of (path.startsWith('/') ? path : `${FS.cwd()}/${path}`).split('/')) {
      if (part === '..') parts.pop();
      else if (part !== '' && part !== '.') parts.push(part);
    }
    return `/${parts.join('/')}`;
  };
  const { open, rename } = FS;
  FS.open = (path, flags, ...rest) => {
    const stream = open(path, flags, ...rest);
    const list = (stream.flags & 3) !== 0 ? written : read; // O_WRONLY, O_RDWR
    if (!list.includes(stream.path)) list.push(stream.path);
    return stream;
  };
  FS.rename = (from, to) => {
    rename(from, to);
    const at = written.indexOf(absolute(from));
    if (at < 0) return;
    if (written.includes(absolute(to))) written.splice(at, 1);
    else written[at] = absolute(to);
  };
  const stop = () => Object.assign(FS, { open, rename });
  return { written, read, stop };
}

// Returns: the names of the folder's regular files among paths.
const inFolder = (paths, files) =>
  paths
    .filter((path) => path.startsWith(`${FOLDER}/`))
    .map((path) => path.slice(FOLDER.length + 1))
    .filter((name) => name in files);

// Returns: the line that closes the console text of a run that aborted.
// Memory that ran out the run has said itself; anything else is a trap.
function abortLine(program, error) {
  const message = String((error && error.message) || error);
  return `${program}: the run was aborted${message.startsWith('Aborted(') ? '' : `: ${message}`}\n`;
}

// Returns: a promise of the module's bytes from their deflated base64 text, under node or in a page.
async function moduleBytes(wasmBase64) {
  let packed;
  if (typeof Buffer === 'function') packed = new Uint8Array(Buffer.from(wasmBase64, 'base64'));
  else {
    const text = atob(wasmBase64);
    packed = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) packed[i] = text.charCodeAt(i);
  }
  const inflated = new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate'));
  return new Uint8Array(await new Response(inflated).arrayBuffer());
}

// Returns: a fresh instance of the compiled module, its console going to log.
function instantiate(createModule, module, program, log) {
  return createModule({
    thisProgram: program,
    noInitialRun: true,
    quit: (status, toThrow) => {
      throw toThrow;
    },
    print: () => {},
    printErr: () => {},
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(module, imports).then((instance) => receive(instance, module));
      return {};
    },
    preRun: [(engine) => engine.FS.init(() => null, log.stdout, log.stderr)],
  });
}

// Runs the program's main on the folder. Returns: its status, -1 when it
// aborted (the reason then closes its console text).
function callMain(engine, program, argv, log) {
  try {
    return engine.callMain(argv);
  } catch (error) {
    for (const byte of new TextEncoder().encode(abortLine(program, error))) log.stderr(byte);
    return -1;
  }
}

// Returns: the engine, { run, version }, of a module: createModule is
// emscripten's loader of it, wasmBase64 its WebAssembly bytes, deflated (zlib).
export function createEngine(createModule, wasmBase64, version) {
  const compiled = { module: null };

  async function run(program, args, files, options = {}) {
    if (!PROGRAMS.includes(program)) throw new TypeError(`no such program: ${program}`);
    const argv = checkedArguments(args);
    const entries = checkedFiles(files);
    const log = consoleLog();
    if (!compiled.module) compiled.module = moduleBytes(wasmBase64).then((bytes) => WebAssembly.compile(bytes));
    const engine = await instantiate(createModule, await compiled.module, program, log);
    writeFolder(engine.FS, entries);
    const opened = noteOpens(engine.FS);
    const status = callMain(engine, program, argv, log);
    opened.stop(); // the folder read back below is not the run's reading
    const after = readFolder(engine.FS);
    const written = inFolder(opened.written, after);
    if (Array.isArray(options.reads)) {
      options.reads.push(...inFolder(opened.read, after).filter((name) => !written.includes(name)));
    }
    if (options.onOutput) for (const piece of log.pieces) options.onOutput(piece.stream, log.bytesOf(piece));
    return { status, stdout: log.join('stdout'), stderr: log.join('stderr'), files: after, written };
  }

  return Object.freeze({ run, version });
}
